// The server pass: step pacing, end-of-game detection and team pause expiry.
#include "Tv/client/teamtable.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/game_speed.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server.h"
#include "Tv/server/server_hooks.h"
#include "Tv/server/server_state.h"
#include "Tv/server/shell_state.h"
#include "Tv/sim/server_object.h"
#include "core/clock.h"
#include "tests/tv/server_fixture.h"

namespace {

// Steps are counted through the cutscene freeze, which replaces the AI step.
std::atomic<int32_t> steps{0};

class ServerPassTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        steps = 0;
        ServerHooks hooks;
        hooks.cutsceneFreeze = [] { ++steps; };
        SetServerHooks(hooks);
        CutsceneActive = 1;
    }
    // Starts a driven server whose simulation runs; counts from 0 after that.
    void StartRunning() {
        StartServer();
        TvStartSimulation();
        TvWaitForServerIdle();
        steps = 0;
    }
};

TEST_F(ServerPassTest, TheStoryGameStepsEveryPass) {
    StartRunning();
    RunPasses(5);
    EXPECT_EQ(steps, 5);
}

TEST_F(ServerPassTest, OtherGameTypesStepAfterMoreThanFourHundredthsOfASecond) {
    CurrentGameType = kGamePresident;
    StartRunning();
    RunPasses(3);
    EXPECT_EQ(steps, 0) << "the start's own pass stepped";
    AdvanceSeconds(0.039);
    Pass();
    EXPECT_EQ(steps, 0);
    AdvanceSeconds(0.002);
    Pass();
    Pass();
    EXPECT_EQ(steps, 1);
    // The real clock set back: the pacing restarts from the new time.
    RealClock.SetSeconds(RealClock.GetSeconds() - 100.0f);
    Pass();
    EXPECT_EQ(steps, 1);
    AdvanceSeconds(0.05);
    Pass();
    EXPECT_EQ(steps, 2);
}

TEST_F(ServerPassTest, NothingStepsWhileTheSimulationIsStopped) {
    StartServer();
    RunPasses(3);
    EXPECT_EQ(steps, 0);
}

TEST_F(ServerPassTest, WhenTheLocalTeamDiesTheGameEndsThreeSecondsAfterTheNextFourthPass) {
    ServerObject* unit = MakeActor(1);
    MakeActor(2);
    StartRunning();
    RunPasses(8);
    EXPECT_FALSE(GameOverFlag);
    TvKillActor(unit->Id);
    TvWaitForServerIdle();
    for (int32_t i = 0; i < 4 && !GameOverFlag; ++i) Pass();
    ASSERT_TRUE(GameOverFlag);
    EXPECT_EQ(ServerPass.passCounter % 4, 0u);
    AdvanceSeconds(2.99);
    RunPasses(4);
    EXPECT_EQ(recorder.CountSent(MSG_END_OF_GAME), 0);
    AdvanceSeconds(0.02);
    RunPasses(8);
    EXPECT_EQ(recorder.CountSent(MSG_END_OF_GAME), 1);
    AdvanceSeconds(10);
    RunPasses(8);
    EXPECT_EQ(recorder.CountSent(MSG_END_OF_GAME), 1);
}

TEST_F(ServerPassTest, KillingTheLocalTeamEndsTheGameWithoutTheEndMessage) {
    MakeActor(1);
    MakeActor(1);
    StartRunning();
    TvKillTeam(LocalTeam);
    EXPECT_TRUE(GameOverFlag);
    EXPECT_EQ(recorder.CountSent(MSG_REMOVE_OBJECT), 2);
    AdvanceSeconds(5);
    RunPasses(12);
    EXPECT_EQ(recorder.CountSent(MSG_END_OF_GAME), 0);
}

TEST_F(ServerPassTest, AnExpiredTeamPauseEndsWithTheOldSpeed) {
    TeamRecord* team = TeamTable::GetTeam(1);
    ASSERT_NE(team, nullptr);
    team->PauseTimeLeft = 5.0f;
    StartRunning();
    {
        ServerLockHold hold;
        PausingTeam = 1;
        PauseStartTime = RealClock.GetSeconds();
        SpeedBeforePause = 1.0f;
        TvSetGameSpeed(0.0f);
    }
    AdvanceSeconds(4.9);
    Pass();
    EXPECT_EQ(PausingTeam, 1);
    EXPECT_EQ(ServerClock.GetSpeed(), 0.0f);
    AdvanceSeconds(0.2);
    Pass();
    EXPECT_EQ(PausingTeam, -1);
    EXPECT_EQ(team->PauseTimeLeft, 0.0f);
    EXPECT_EQ(ServerClock.GetSpeed(), 1.0f);
    EXPECT_EQ(SpeedBeforePause, kLargestFloat);
    EXPECT_EQ(recorder.CountSent(MSG_UNPAUSE), 1);
}

} // namespace
