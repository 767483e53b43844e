// The lead character's special shot (39): paid for with a share of its
// maximum health, five projectiles at falling speeds.

#include "Tv/defs/objectdefinition.h"
#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server_state.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/server_unit.h"
#include "tests/tv/server_orders_fixture.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr size_t kFiredTarget = 8, kFiredSpeed = 52, kFiredKind = 56;

class ServerOrdersLeadPower : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(10, 10);
        SimulationRunning = true;
        for (const char* name : {"tavrin_power", "tavrin_power_second"})
            MakeDefinition(name, 99, false, true, true)->projectile->maxRange = 400;
        shooter = MakeUnit(1, {3, 0, 3}, MakeWalker("Tavrin"));
        target = MakeUnit(2, {15, 0, 15});
        ASSERT_TRUE(shooter && target);
        recorder.Clear();
    }

    void Shoot() { Dispatch(ClientRecord(MSG_LEAD_POWER).I32(shooter->Id).I32(target->Id)); }

    ServerUnit* shooter = nullptr;
    ServerUnit* target = nullptr;
};

TEST_F(ServerOrdersLeadPower, FiveShotsAtFallingSpeedsCostExactlyTheShare) {
    Shoot();
    const std::vector<RecordedMessage> fired = recorder.Sent(MSG_PROJECTILE_FIRED);
    ASSERT_EQ(fired.size(), 5u);
    const float speeds[] = {150, 130, 100, 70, 40};
    for (size_t i = 0; i < fired.size(); ++i) {
        EXPECT_EQ(MessageFloat(fired[i].bytes, kFiredSpeed), speeds[i]);
        EXPECT_EQ(MessageInt(fired[i].bytes, kFiredTarget), i == 0 ? target->Id : -1);
        EXPECT_EQ(MessageInt(fired[i].bytes, kFiredKind), 15);
    }
    EXPECT_EQ(shooter->Strength, 80.0f) << "0.2 of 100 in the story game";
    const std::vector<RecordedMessage> reports = SentFor(kMsgDamageReport, shooter->Id);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(MessageFloat(reports[0].bytes, 8), 80.0f);
    EXPECT_EQ(GameOptions.MissionStats[kStatPlayerShots], 5);
}

TEST_F(ServerOrdersLeadPower, AShooterWithLessHealthThanTheCostOrNoTargetDoesNothing) {
    CurrentGameType = kGameLeadKills; // 0.7 of the maximum
    shooter->Strength = 69.0f;
    Shoot();
    EXPECT_EQ(shooter->Strength, 69.0f);
    shooter->Strength = 80.0f;
    Dispatch(ClientRecord(MSG_LEAD_POWER).I32(shooter->Id).I32(12345));
    EXPECT_EQ(shooter->Strength, 80.0f);
    EXPECT_TRUE(recorder.Messages().empty());
    Shoot();
    EXPECT_EQ(shooter->Strength, 80.0f - 0.7f * 100.0f) << "exactly the cost";
    EXPECT_EQ(recorder.CountSent(MSG_PROJECTILE_FIRED), 5);
}

TEST_F(ServerOrdersLeadPower, OnlyTheLeadCharacterHasIt) {
    shooter = MakeUnit(1, {5, 0, 3});
    recorder.Clear();
    Shoot();
    EXPECT_TRUE(recorder.Messages().empty());
    EXPECT_EQ(shooter->Strength, 100.0f);
}

} // namespace
