// The cutscene freeze: what it does to the units instead of the AI step.
#include <gtest/gtest.h>

#include "Tv/defs/objectdefinition.h"
#include "Tv/server/server.h"
#include "Tv/server/shell_state.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/world_tick.h"
#include "tests/tv/sim_crouch_model.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr int32_t kMsgArrived = 59; // Halt
constexpr int32_t kMsgStopped = 60; // StopMoving
constexpr int32_t kMsgStoodUp = 78;

class CutsceneFreezeTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(6, 6);
        walker->model = CrouchingModel(); // every walker here can crouch
    }

    // A unit on its way to a far waypoint, at rest under a player's control when asked.
    ServerUnit* Walking(int32_t team, const Vector3& at, bool atRest) {
        ServerUnit* unit = MakeUnit(team, at);
        if (!unit) return nullptr;
        unit->AddWaypoint({11, 0, 11}, 0, false, 0);
        unit->WalkTo({11, 0, 11}, false);
        unit->AtRestUnderControl = atRest;
        return unit;
    }
};

TEST_F(CutsceneFreezeTest, UnitsAtRestUnderControlStopOrHaltAndCrouchedPlayerUnitsStandUp) {
    ServerUnit* player = Walking(1, {1, 0, 1}, true);
    ServerUnit* computer = Walking(2, {3, 0, 1}, true);
    ServerUnit* free = Walking(1, {5, 0, 1}, false);
    ServerUnit* dead = Walking(1, {7, 0, 1}, true);
    ServerUnit* crouchedPlayer = MakeUnit(1, {1, 0, 5});
    ServerUnit* crouchedComputer = MakeUnit(2, {3, 0, 5});
    ASSERT_TRUE(player && computer && free && dead && crouchedPlayer && crouchedComputer);
    dead->Strength = 0;
    crouchedPlayer->ToggleCrouch();
    crouchedComputer->ToggleCrouch();
    recorder.Clear();

    TvCutsceneFreeze();

    // A player's unit stops and drops its route; another team's halts where it is and keeps it.
    EXPECT_FALSE(player->IsMoving());
    EXPECT_EQ(nullptr, player->CurrentWaypoint());
    EXPECT_EQ(1u, SentFor(kMsgStopped, player->Id).size());
    EXPECT_FALSE(computer->IsMoving());
    EXPECT_NE(nullptr, computer->CurrentWaypoint());
    EXPECT_EQ(1u, SentFor(kMsgArrived, computer->Id).size());
    EXPECT_TRUE(free->IsMoving()) << "not at rest under control";
    EXPECT_TRUE(dead->IsMoving()) << "dead units are left alone";

    EXPECT_EQ(0, crouchedPlayer->Crouched);
    EXPECT_EQ(1u, SentFor(kMsgStoodUp, crouchedPlayer->Id).size());
    EXPECT_EQ(1, crouchedComputer->Crouched);
}

TEST_F(CutsceneFreezeTest, TheServerFreezesInsteadOfTheAiStepOnlyDuringACutscene) {
    StartServer();
    TvStartSimulation();
    ServerUnit* unit = Walking(1, {1, 0, 1}, true);
    ASSERT_NE(nullptr, unit);
    recorder.Clear();
    Pass();
    EXPECT_TRUE(SentFor(kMsgStopped, unit->Id).empty()) << "no cutscene";

    CutsceneActive = 1;
    unit->AtRestUnderControl = 1;
    Pass();
    EXPECT_EQ(1u, SentFor(kMsgStopped, unit->Id).size());
    EXPECT_FALSE(unit->IsMoving());
}

} // namespace
