// What an armed bot makes of the data it is given: the muzzle its model
// places ahead of it, a shot or flare the level's definitions lack, and a
// heading that is no angle.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "Awapi/model/model_node.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/message_types.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/server_bot.h"
#include "tests/tv/sim_bot_fixture.h"

namespace {

constexpr uint32_t kAiFlagFlareShot = 0x80;

// A model whose part "muzzle" sits `ahead` metres in front of its root.
AwModel* MuzzleModel(Real ahead) {
    auto* muzzle = new AwModel;
    muzzle->Name = "muzzle";
    muzzle->Sequences = std::make_unique<AwAnimSequenceList>();
    AwAnimFrame frame;
    frame.Offset = Vector3(0, 0, ahead);
    muzzle->Sequences->emplace_back(std::make_unique<AwAnimSequence>())->Frames.push_back(frame);
    auto* root = new AwModel;
    root->Name = "body";
    root->Children.push_back(muzzle);
    return root;
}

class BotWeaponDataTest : public BotTest {
protected:
    void SetUp() override {
        BotTest::SetUp();
        MakeFloor(20, 20);
    }
    // Orders an attack on the point `ahead` metres in front of the bot (facing
    // +z) and runs world steps until it has fired or stopped, at most `passes`.
    void AttackAhead(ServerBot& bot, Real ahead, int32_t passes = 1) {
        bot.AttackPoint(bot.Position + Vector3(0, 0, ahead), NowSeconds(), 0, 0);
        for (int32_t pass = 0; pass < passes && bot.IsFiring() && SentFor(MSG_PROJECTILE_FIRED, bot.Id).empty(); ++pass)
            Step(0.05f);
    }
};

// The muzzle part, 1 m ahead, decides what is too near to shoot at: nearer
// than it, in front or behind, the attack ends at once.
TEST_F(BotWeaponDataTest, AnAttackPointNearerThanTheModelsMuzzleEndsTheAttack) {
    ObjectDefinition* gunner = MakeGunner("gunner");
    gunner->model = MuzzleModel(1);
    gunner->hotspotName = OwnedText("muzzle");
    struct Case {
        Real ahead;
        bool attacking;
    };
    const Case cases[] = {{0.8f, false}, {-0.8f, false}, {1.5f, true}};
    Real x = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ahead);
        ServerBot* bot = MakeBot(2, {x, 0, 5}, gunner);
        ASSERT_NE(bot, nullptr);
        x += 4;
        EXPECT_NEAR(bot->MuzzlePosition.z, 6, 1e-5f);
        AttackAhead(*bot, c.ahead);
        EXPECT_EQ(bot->IsFiring(), c.attacking);
        EXPECT_EQ(SentFor(kMsgBotStopAttacking, bot->Id).size(), c.attacking ? 0u : 1u);
    }
}

// A weapon row whose shot has no projectile record, or a flare shot in a
// level without "flare", ends the attack with nothing fired. Once the level
// has its flare, the flagged bot fires that.
TEST_F(BotWeaponDataTest, AShotWithoutItsRecordOrAMissingFlareEndsTheAttackUnfired) {
    GunnerSpec recordless;
    recordless.weapon = 3;
    ObjectDefinition* dudGunner = MakeGunner("dud gunner", recordless);
    WeaponTableRow(3, DefaultAmmoType(3))->projectile = MakeDefinition("dud", kAiCoreReserved, false, false, true);
    ServerBot* dudBot = MakeBot(2, {4, 0, 4}, dudGunner);
    ServerBot* flareBot = MakeBot(2, {12, 0, 4}, MakeGunner("gunner"));
    ASSERT_NE(dudBot, nullptr);
    ASSERT_NE(flareBot, nullptr);
    flareBot->AiFlags |= kAiFlagFlareShot;
    for (ServerBot* bot : {dudBot, flareBot}) {
        SCOPED_TRACE(bot == dudBot ? "no record" : "no flare");
        AttackAhead(*bot, 5);
        EXPECT_FALSE(bot->IsFiring());
        EXPECT_EQ(SentFor(kMsgBotStopAttacking, bot->Id).size(), 1u);
        EXPECT_TRUE(SentFor(MSG_PROJECTILE_FIRED, bot->Id).empty());
    }

    ObjectDefinition* flare = MakeShot("flare", 0);
    flare->projectile->maxRange = 400;
    flareBot->AiFlags |= kAiFlagFlareShot;
    AttackAhead(*flareBot, 5, 10);
    const std::vector<RecordedMessage> fired = SentFor(MSG_PROJECTILE_FIRED, flareBot->Id);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(MessageInt(fired[0].bytes, 12), flare->id);
}

// Headings from peers or arithmetic gone wrong index the sine table all the
// same.
TEST_F(BotWeaponDataTest, AHeadingThatIsNoAngleTurnsByAFiniteUnitQuaternion) {
    const Real headings[] = {std::numeric_limits<Real>::quiet_NaN(), std::numeric_limits<Real>::infinity(), 1e30f,
                             -1e30f};
    for (Real heading : headings) {
        const Quaternion q = HeadingRotation(heading);
        for (Real c : {q.x, q.y, q.z, q.w})
            EXPECT_TRUE(std::isfinite(c)) << heading;
        EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1, 1e-3f) << heading;
    }
}

} // namespace
