// The client bot's attacks: the orders it sends for the player and shows in
// its queue, the attack orders of the server and their aim.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "Tv/client/client_bot.h"
#include "Tv/client/shown_orders.h"
#include "Tv/server/message_types.h"
#include "core/clock.h"
#include "tests/tv/client_bot_fixture.h"

namespace {

constexpr int32_t kPistol = 0, kInterfaceArm = 14, kBolts = 2, kNoneNeeded = 18;

// A bot that notes the animation ranges it is asked to play.
class RangeRecordingBot final : public ClientBot {
public:
    using ClientBot::ClientBot;
    struct Range {
        int32_t sequence, from, to;
        uint8_t* done;
    };
    bool PlayAnimationRange(int32_t sequence, int32_t speed, int32_t from, int32_t to, uint32_t startTime,
                            uint32_t* endTime, uint8_t* done, uint32_t flags) override {
        ranges.push_back({sequence, from, to, done});
        return ClientBot::PlayAnimationRange(sequence, speed, from, to, startTime, endTime, done, flags);
    }
    std::vector<Range> ranges;
};

class ClientBotOrdersTest : public ClientBotTest {
protected:
    void SetUp() override {
        ClientBotTest::SetUp();
        AddWeaponRow(kPistol, kBolts, 12, 1);
        AddWeaponRow(kInterfaceArm, kNoneNeeded, 1, 1);
    }
    void TearDown() override {
        AlternateFireHeld = false;
        ClientBotTest::TearDown();
    }
};

TEST_F(ClientBotOrdersTest, PlayerOrdersGoOutInTheirLayoutsAndShowTheQueuedOnes) {
    struct Case {
        const char* name;
        std::function<void(ClientBot&, ClientObject*)> order;
        int32_t type, alternateType;
        uint32_t size;
        bool emptiesShown;
        int32_t shownKind; // appended, or -1
    } cases[] = {
        {"attack object", [](ClientBot& b, ClientObject* t) { b.BotHookA(t); }, MSG_ATTACK_ACTOR, MSG_ATTACK_ACTOR_ALT,
         16, true, -1},
        {"attack point",
         [](ClientBot& b, ClientObject*) {
             b.BotHookB({1, 2, 3});
         },
         MSG_ATTACK_POINT, MSG_ATTACK_POINT_ALT, 24, true, -1},
        {"cease fire", [](ClientBot& b, ClientObject*) { b.BotHookC(); }, MSG_CEASE_FIRE, MSG_CEASE_FIRE, 16, false,
         -1},
        {"queue point",
         [](ClientBot& b, ClientObject*) {
             b.BotHookD({1, 2, 3});
         },
         MSG_QUEUE_ATTACK_POINT, MSG_QUEUE_ATTACK_POINT_ALT, 24, false, kShownAttackPoint},
        {"queue object", [](ClientBot& b, ClientObject* t) { b.BotHookE(t); }, MSG_QUEUE_ATTACK_ACTOR,
         MSG_QUEUE_ATTACK_ACTOR_ALT, 16, false, kShownAttackTarget},
        {"decoy",
         [](ClientBot& b, ClientObject*) {
             b.BotHookF({1, 2, 3});
         },
         MSG_LAUNCH_DECOY, MSG_LAUNCH_DECOY, 24, true, -1},
    };
    ClientBot* bot = MakeBot(3, kPistol, true);
    ASSERT_NE(bot, nullptr);
    ClientObject* target = MakeClientObject(9, 2);
    for (const Case& c : cases) {
        for (bool alternate : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (alternate ? " alternate" : ""));
            bot->ShownOrders.Clear();
            bot->QueueSelectAmmo(5);
            AlternateFireHeld = alternate;
            const size_t before = ClientSends().size();
            c.order(*bot, target);
            const std::vector<RecordedMessage> sends = ClientSends();
            ASSERT_EQ(sends.size(), before + 1);
            const std::vector<uint8_t>& bytes = sends.back().bytes;
            ASSERT_EQ(bytes.size(), c.size);
            EXPECT_EQ(MessageInt(bytes, 0), alternate ? c.alternateType : c.type);
            EXPECT_EQ(MessageInt(bytes, 4), 3);
            EXPECT_EQ(MessageFloat(bytes, 8), GameClock.GetSeconds());
            if (c.size == 24) {
                EXPECT_EQ(MessageFloat(bytes, 12), 1.0f);
                EXPECT_EQ(MessageFloat(bytes, 20), 3.0f);
            } else {
                EXPECT_EQ(MessageInt(bytes, 12), c.type == MSG_CEASE_FIRE ? 0 : 9);
            }
            EXPECT_EQ(bot->ShownOrders.Count(), (c.emptiesShown ? 0 : 1) + (c.shownKind >= 0 ? 1 : 0));
            if (c.shownKind >= 0) {
                EXPECT_EQ(bot->ShownOrders.Back()->Type, c.shownKind);
                EXPECT_EQ(bot->ShownOrders.Back()->LastValue, alternate ? 1 : 0);
            }
        }
    }
    EXPECT_EQ(bot->ShotSpeed, 30.0f * 0.65f); // the last direct attack was the alternate one
}

TEST_F(ClientBotOrdersTest, ServerAttacksAimTrackTargetsAndBreakCloaks) {
    ClientBot* bot = MakeBot(3, kPistol, false);
    ASSERT_NE(bot, nullptr);
    ClientObject* target = MakeClientObject(9, 2, {5, 0, 5});
    bot->Cloaked = 1;
    bot->CloakEffect = 4;
    bot->CloakEnd = 9;
    ClientBotAttackPoint(bot, {1, 2, 3}, 7.0f, true);
    EXPECT_TRUE(bot->GetBotFlag());
    EXPECT_EQ(bot->AttackSetting, 7.0f);
    EXPECT_TRUE(bot->HighArc);
    EXPECT_EQ(bot->ShotSpeed, 30.0f * 0.65f);
    EXPECT_EQ(bot->PitchDone + bot->YawDone, 0);
    EXPECT_FALSE(bot->IsCloaked());
    EXPECT_EQ(bot->CloakEffect, -1);
    EXPECT_EQ(bot->CloakEnd, 0.0f);

    const int32_t references = target->RefCount;
    ClientBotAttackObject(bot, target, 8.0f, false);
    EXPECT_EQ(bot->GetBotValue(), 9);
    EXPECT_EQ(target->RefCount, references + 1);
    ClientBotAttackObject(bot, target, 8.5f, false); // the same target again: still one reference
    EXPECT_EQ(target->RefCount, references + 1);
    ClientBotAttackObject(bot, nullptr, 9.0f, false); // no target: the attack stops
    EXPECT_FALSE(bot->GetBotFlag());
    EXPECT_EQ(bot->GetBotValue(), -1);
    EXPECT_EQ(target->RefCount, references);

    bot->Dying = 1; // orders for a bot that is not alive are ignored
    ClientBotAttackPoint(bot, {1, 2, 3}, 10.0f, false);
    EXPECT_FALSE(bot->GetBotFlag());
}

TEST_F(ClientBotOrdersTest, InterfaceArmOnAMineRaisesTheBeam) {
    ClientBot* bot = MakeBot(3, kInterfaceArm, false);
    ASSERT_NE(bot, nullptr);
    ObjectDefinition* mineDefinition = MakeDefinition("mine", kAiCoreMine);
    TvBuildClientObject(2, *mineDefinition, {9, 0, 0}, Quaternion{0, 0, 0, 1}, 9);
    ClientObject* crate = MakeClientObject(10, 2, {9, 0, 0});
    ClientBotAttackObject(bot, TvFindClientObject(9), 1.0f, false);
    EXPECT_TRUE(bot->BotFlag);
    ClientBotAttackObject(bot, crate, 2.0f, false);
    EXPECT_FALSE(bot->BotFlag);
}

TEST_F(ClientBotOrdersTest, StopAttackingCentresGunAndTorsoAndKeepsTheDoneFlags) {
    ObjectDefinition* definition = MakeDefinition("gunner", kAiCoreBot, true);
    definition->character->weapon = kPistol;
    auto* bot = new RangeRecordingBot(1, definition, {0, 0, 0}, Quaternion{0, 0, 0, 1}, 3);
    bot->AttackPoint({1, 0, 1}, 1.0f, false, false);
    bot->ranges.clear();
    bot->StopAttacking(2.0f);
    EXPECT_FALSE(bot->Attacking);
    ASSERT_EQ(bot->ranges.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(bot->ranges[i].sequence, i == 0 ? kBotSequencePitch : kBotSequenceYaw);
        EXPECT_EQ(bot->ranges[i].from, 0x8000);
        EXPECT_EQ(bot->ranges[i].to, 0x8000);
        EXPECT_EQ(bot->ranges[i].done, nullptr);
    }
    EXPECT_EQ(bot->PitchDone, 0);
    EXPECT_EQ(bot->YawDone, 0);
}

TEST_F(ClientBotOrdersTest, YawDifferenceKeepsTheHalfTurnPositive) {
    const struct {
        Real in, out;
    } cases[] = {{2048, 2048}, {-2048, 2048}, {2049, -2047}, {-2049, 2047}, {4096 + 100, 100}, {0, 0}};
    for (const auto& c : cases) EXPECT_EQ(ClientBot::YawDifference(c.in), c.out) << c.in;
}

TEST_F(ClientBotOrdersTest, AimElevationHandlesVerticalShotsAndPointsOutOfReach) {
    EXPECT_EQ(ClientBot::AimElevation({0, -5, 0}, 30, false, false), -1024.0f); // straight above (y down)
    EXPECT_EQ(ClientBot::AimElevation({0, 5, 0}, 30, true, true), 1024.0f);     // straight below, ballistic
    EXPECT_NEAR(ClientBot::AimElevation({10, 0, 0}, 30, false, false), 0.0f, 0.01f);
    EXPECT_NEAR(ClientBot::AimElevation({10, -10, 0}, 30, false, false), -512.0f, 0.5f);

    const Real low = ClientBot::AimElevation({20, 0, 0}, 20, true, false);
    const Real high = ClientBot::AimElevation({20, 0, 0}, 20, true, true);
    EXPECT_LT(high, low); // the high arc points further up
    EXPECT_LT(low, 0.0f);
    EXPECT_LT(high, -512.0f);

    // 100 m away at 10 m/s is out of reach: one arc, tan e = -v^2 / (g x).
    const Real far = ClientBot::AimElevation({100, 0, 0}, 10, true, false);
    EXPECT_TRUE(std::isfinite(far));
    EXPECT_NEAR(far, std::atan(-100.0f / (9.81f * 100.0f)) * 4096.0f / 6.2831853f, 1.0f);
    EXPECT_EQ(ClientBot::AimElevation({100, 0, 0}, 10, true, true), far);
}

} // namespace
