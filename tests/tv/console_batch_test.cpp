// The batch queue: reading scripts with their directives, one line a frame,
// and the waits that hold the queue. ConsoleBatchWaitTest starts the server
// thread (driven) for WAIT's server time.
#include <cstring>
#include <string>
#include <vector>

#include "Tv/client/client_objects.h"
#include "Tv/console/batch.h"
#include "Tv/console/command_registry.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/waits.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_speed.h"
#include "Tv/server/server.h"
#include "core/clock.h"
#include "tests/tv/console_script_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class ConsoleBatchTest : public ConsoleScriptTest {
protected:
    // Queues the script's text as a file and runs every line it lets run.
    Lines RunScript(const std::string& text) {
        EXPECT_TRUE(TvBatchLoadFile(Script("run.tcs", text).c_str()));
        RunFrames(100);
        return Take();
    }
};

TEST_F(ConsoleBatchTest, ScriptLinesAreTrimmedCommentsAndBlankLinesSkippedLongLinesReadInPieces) {
    const std::string longWord(245, 'x');
    const std::string longLine = "SAY " + longWord + "TAIL\n";
    const Lines printed = RunScript("  SAY one  \r\n"
                                    "// SAY comment\n"
                                    "\t \n"
                                    "# CLEAR BATCH\n"
                                    "#UNKNOWN DIRECTIVE\n" +
                                    longLine + "SAY two");
    // A 249-character piece is a line of its own; the rest ("TAIL") is the next line.
    EXPECT_EQ(printed, (Lines{"one", longWord, "Unrecognised command or token.", "two"}));
}

TEST_F(ConsoleBatchTest, AScriptThatCannotBeReadQueuesNothingAndAnswersFalse) {
    EXPECT_FALSE(TvBatchLoadFile(nullptr));
    EXPECT_FALSE(TvBatchLoadFile(""));
    EXPECT_FALSE(TvBatchLoadFile((dir / "missing.tcs").c_str()));
    EXPECT_TRUE(TvBatchIsEmpty());
    Run(("BATCH " + dir / "missing.tcs").c_str());
    EXPECT_TRUE(Printed().empty()) << "BATCH of a missing file prints nothing";
}

TEST_F(ConsoleBatchTest, ImmediateLinesRunBeforeTheRestOfTheRunningScriptNormalOnesBehindIt) {
    const std::string inner = Script("inner.tcs", "#execute immediately now\n"
                                                  "SAY i1\n"
                                                  "SAY i2\n"
                                                  "#NORMAL EXECUTION\n"
                                                  "SAY i3\n");
    const Lines printed = RunScript("SAY o1\nBATCH " + inner + "\nSAY o2\nSAY o3\n");
    EXPECT_EQ(printed, (Lines{"o1", "i1", "i2", "o2", "o3", "i3"}));
}

TEST_F(ConsoleBatchTest, ClearBatchDropsEverythingQueuedBeforeItTheRunningScriptToo) {
    const std::string inner = Script("inner.tcs", "SAY i0\n#CLEAR BATCH\nSAY i1\nSAY i2\n");
    const Lines printed = RunScript("SAY o1\nBATCH " + inner + "\nSAY o2\n");
    EXPECT_EQ(printed, (Lines{"o1", "i1", "i2"}));
}

TEST_F(ConsoleBatchTest, HintsOffStopsReadingAtTheHintsDirective) {
    HintsOn = 0;
    EXPECT_EQ(RunScript("SAY before\n#ONLY IF HINTS ON\nSAY after\n"), (Lines{"before"}));
    HintsOn = 1;
    EXPECT_EQ(RunScript("SAY before\n#ONLY IF HINTS ON\nSAY after\n"), (Lines{"before", "after"}));
}

TEST_F(ConsoleBatchTest, AnEngagedEnemyStopsReadingAtTheSafetyDirective) {
    const char* const script = "SAY before\n#ONLY IF SAFE\nSAY after\n";
    TvResetClientObjects();
    const ObjectDefinition* crate = MakeDefinition("crate", 1);
    ClientObject* friendBusy =
        new ClientObject(1, crate, Vector3(0, 0, 0), Quaternion{0, 0, 0, 1}, kClientFlagsPlain, 1);
    ClientObject* enemy = new ClientObject(2, crate, Vector3(0, 0, 0), Quaternion{0, 0, 0, 1}, kClientFlagsPlain, 2);
    friendBusy->StateEndTime = TicksAfter(GameClock.GetTime(), 5.0f);
    EXPECT_EQ(RunScript(script), (Lines{"before", "after"})) << "a calm enemy and a busy friend";
    enemy->StateEndTime = TicksAfter(GameClock.GetTime(), 5.0f);
    EXPECT_EQ(RunScript(script), (Lines{"before"})) << "an enemy in a timed state";
    enemy->Dead = 1;
    EXPECT_EQ(RunScript(script), (Lines{"before", "after"})) << "a dead enemy";
    ReleaseAllClientObjects();
}

TEST_F(ConsoleBatchTest, ALineRunsWithoutDisturbingTheLineBeingTyped) {
    TvBatchAppend("SAY scripted");
    std::strcpy(ConsoleLine, "half typed");
    EXPECT_TRUE(TvBatchRunNext());
    EXPECT_STREQ(ConsoleLine, "half typed");
    EXPECT_EQ(Take(), (Lines{"scripted"}));
    EXPECT_FALSE(TvBatchRunNext()) << "an empty queue runs nothing";
}

TEST_F(ConsoleBatchTest, DrainStopsAtTheFirstWaitAndLeavesTheRestForTheFrames) {
    TvBatchAppend("SAY a");
    TvBatchAppend("WAIT 5");
    TvBatchAppend("SAY b");
    TvBatchDrain();
    EXPECT_EQ(Take(), (Lines{"a"}));
    EXPECT_EQ(TvBatchCount(), 1);
    EXPECT_TRUE(TvBatchWaitPending());
    AdvanceSeconds(5.0);
    RunFrames(1);
    EXPECT_EQ(Take(), (Lines{"b"}));
}

TEST_F(ConsoleBatchTest, WhileTheLevelIsOverOneLineRunsEveryFrameWhateverTheWaits) {
    GameOptions.LevelStatus = kLevelOver;
    for (const char* line : {"WAIT 100", "REAL WAIT 100", "SAY a", "SAY b"}) TvBatchAppend(line);
    RunFrames(3);
    EXPECT_EQ(Take(), (Lines{"a"}));
    RunFrames(1);
    EXPECT_EQ(Take(), (Lines{"b"}));
}

class ConsoleBatchWaitTest : public ConsoleBatchTest {
protected:
    // Advances real time in `step`s, one frame each, until the line runs; the seconds it took.
    double SecondsUntilNextLine(double step = 0.1) {
        const int32_t before = TvBatchCount();
        for (int32_t frame = 1; frame <= 1000; ++frame) {
            AdvanceSeconds(step);
            TvBatchRunNext();
            if (TvBatchCount() < before) return frame * step;
        }
        return -1.0;
    }
};

TEST_F(ConsoleBatchWaitTest, WaitCountsGameTimeRealWaitRealTime) {
    struct Case {
        const char* wait;
        bool server;
        float speed;
        double seconds;
    };
    // Two seconds of server time take four at half speed; WAIT alone waits one second.
    const Case cases[] = {
        {"WAIT 2", false, 1.0f, 2.0},     {"WAIT 2", true, 1.0f, 2.0}, {"WAIT 2", true, 0.5f, 4.0},
        {"REAL WAIT 2", true, 0.5f, 2.0}, {"WAIT", false, 1.0f, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.wait) + (c.server ? " with the server" : " without") + " at " +
                     std::to_string(c.speed));
        if (c.server) StartServer();
        if (c.server) TvSetGameSpeed(c.speed);
        TvBatchAppend(c.wait);
        TvBatchAppend("SAY after");
        TvBatchRunNext();
        EXPECT_NEAR(SecondsUntilNextLine(), c.seconds, 0.11);
        EXPECT_EQ(Take(), (Lines{"after"}));
        TvStopServer();
        TvBatchReset();
        GameClock.SetSpeed(1.0f);
        ServerClock.SetSpeed(1.0f);
    }
}

TEST_F(ConsoleBatchWaitTest, RealWaitOrClickEndsAtTheFirstClickAfterItRan) {
    TvBatchAppend("REAL WAIT OR CLICK 30");
    TvBatchAppend("SAY after");
    EXPECT_FALSE(TvRealWaitClicked()) << "a click before the wait ran has no effect";
    TvBatchRunNext();
    AdvanceSeconds(1.0);
    RunFrames(1);
    EXPECT_TRUE(Printed().empty());
    EXPECT_TRUE(TvRealWaitClicked());
    EXPECT_FALSE(TvRealWaitClicked()) << "a second click changes nothing";
    RunFrames(1);
    EXPECT_EQ(Take(), (Lines{"after"}));
    EXPECT_FALSE(TvRealWaitClicked()) << "no wait left to end";
    EXPECT_FALSE(TvBatchWaitPending());
}

TEST_F(ConsoleBatchWaitTest, APlainRealWaitIgnoresClicksAndAWaitSurvivesInTheGameOptionsBytes) {
    Run("REAL WAIT 30");
    EXPECT_FALSE(TvRealWaitClicked());
    const WaitDeadlines waits = TvGetWaits();
    EXPECT_NE(waits.realWait, 0u);
    EXPECT_EQ(waits.orClick, 0);
    // Field by field, little-endian, at the start of GameOptions.
    uint64_t stored = 0;
    for (int i = 7; i >= 0; --i) stored = (stored << 8) | GameOptions.WaitState[8 + i];
    EXPECT_EQ(stored, waits.realWait);
    TvBatchReset();
    EXPECT_FALSE(TvBatchWaitPending());
}

} // namespace
