// The console window: popping up on output, pending lines in a full window,
// typed input, recall and completion, the print hand-over from the server
// thread and the window's commands. ConsoleWindowTest.PrintsFromTheServerThread
// runs a second thread.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Tv/app/input_event.h"
#include "Tv/console/batch.h"
#include "Tv/console/captions.h"
#include "Tv/console/command_registry.h"
#include "Tv/console/console_commands.h"
#include "Tv/console/console_fonts.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/console_setup.h"
#include "Tv/console/console_window.h"
#include "Tv/server/client_service_hooks.h"
#include "Tv/server/game_options.h"
#include "core/clock.h"
#include "core/serverthread.h"
#include "platform/threads.h"
#include "tests/tv/console_fixture.h"

namespace {

constexpr uint32_t kKeyA = 30, kKeyB = 48, kKeyC = 46, kKeyQ = 16, kKeyZ = 44, kKeyE = 18;
constexpr uint32_t kKeyEscape = 1, kKeyTab = 15, kKeyEnter = 28, kKeyUp = 200, kKeyBackspace = 14;

class ConsoleWindowTest : public ConsoleTest {
protected:
    // Opens the window and lets it arrive at once wherever it is sent.
    void OpenInstantly() {
        ConsoleInstantSlide = 1;
        TvConsoleToggle();
        Frame();
    }
    void PrintAndFrame(const std::string& text) {
        TvConsolePrint(text.c_str());
        Frame();
    }
    void Type(const std::vector<uint32_t>& keys) {
        for (uint32_t key : keys) Press(key);
    }
};

uint8_t Nothing() { return 1; }

TEST_F(ConsoleWindowTest, OutputPopsAClosedWindowUpRowByRowAndItShutsFourteenSecondsAfterTheLastLine) {
    ASSERT_EQ(GameOptions.ConsoleState, kConsoleClosed);
    std::string twoRows;
    for (int i = 0; i < 20; ++i) twoRows += "abcd ";
    TvConsolePrint(twoRows.c_str());
    EXPECT_EQ(GameOptions.ConsoleState, kConsolePoppedUp);
    EXPECT_EQ(ConsoleVisibleLines, 2);
    for (int i = 0; i < 6; ++i) TvConsolePrint("one row");
    EXPECT_EQ(ConsoleVisibleLines, 5); // ConsolePopupMaxLines
    EXPECT_EQ(printed.size(), 7u);

    for (int i = 0; i < 20; ++i) Frame();
    EXPECT_FLOAT_EQ(ConsoleSlide, ConsoleSlideTarget);
    AdvanceSeconds(13.9);
    Frame();
    EXPECT_EQ(GameOptions.ConsoleState, kConsolePoppedUp);
    AdvanceSeconds(0.2);
    Frame();
    EXPECT_EQ(GameOptions.ConsoleState, kConsoleClosed);
    const int expectedFrames = static_cast<int>(std::ceil((ConsoleSlide + 1.0f) / 0.09f - 1e-4f));
    int frames = 0;
    while (ConsoleSlide > -1.0f && frames < 100) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(frames, expectedFrames);
    EXPECT_EQ(ConsoleSlide, -1.0f);
}

TEST_F(ConsoleWindowTest, LinesIntoAFullWindowWaitWhileItsLinesAreFreshAndAKeyShowsAPage) {
    OpenInstantly();
    for (int i = 0; i < 40; ++i) PrintAndFrame("line " + std::to_string(i));
    ASSERT_EQ(ConsoleVisibleLines, ConsoleMaxLines);
    // The window filled, then 20 lines (the cap) waited, then the rest went through.
    ASSERT_EQ(TvConsolePendingCount(), 20);
    const int32_t firstPending = std::stoi(std::string(TvConsolePendingLine(0)).substr(5));
    EXPECT_GT(firstPending, 5); // the window's height in lines went first
    for (int32_t i = 0; i < 20; ++i) EXPECT_EQ(TvConsolePendingLine(i), "line " + std::to_string(firstPending + i));
    EXPECT_EQ(Scrollback().back(), "line 39");

    Press(kKeyA); // shows a page and types nothing
    EXPECT_EQ(TvConsolePendingCount(), 20 - ConsoleVisibleLines);
    EXPECT_STREQ(TvConsoleInputLine(), "");

    // Once the line that would be pushed out is 2 s old, output goes straight through.
    PrintAndFrame("fresh");
    EXPECT_EQ(TvConsolePendingCount(), 20 - ConsoleVisibleLines + 1);
    AdvanceSeconds(2.1);
    PrintAndFrame("late");
    EXPECT_STREQ(TvConsoleScrollbackLine(TvConsoleScrollbackCount() - 1), "late");
}

TEST_F(ConsoleWindowTest, ToggleDropsPendingLinesAndANeverShownConsoleStaysShut) {
    OpenInstantly();
    for (int i = 0; i < 30; ++i) PrintAndFrame("line");
    ASSERT_GT(TvConsolePendingCount(), 0);
    TvConsoleToggle();
    EXPECT_EQ(GameOptions.ConsoleState, kConsoleClosed);
    EXPECT_EQ(TvConsolePendingCount(), 0);

    GameOptions.ConsoleState = kConsoleNeverShown;
    TvConsoleToggle();
    TvConsolePrint("quiet");
    Frame();
    EXPECT_EQ(GameOptions.ConsoleState, kConsoleNeverShown);
    TvCmdHideConsole();
    EXPECT_EQ(GameOptions.ConsoleState, kConsoleClosed);
}

TEST_F(ConsoleWindowTest, EchoOffPrintsNothingAndEveryAcceptedLineReachesTheSink) {
    GameOptions.EchoOn = 0;
    TvConsolePrint("hidden");
    EXPECT_TRUE(printed.empty());
    EXPECT_EQ(TvConsoleScrollbackCount(), 0);
    GameOptions.EchoOn = 1;
    TvConsolePrint("shown");
    EXPECT_EQ(printed, std::vector<std::string>{"shown"});
    EXPECT_EQ(Scrollback(), std::vector<std::string>{"shown"});
}

TEST_F(ConsoleWindowTest, PrintsFromTheServerThreadWaitForTheNextFrame) {
    plat::Thread server;
    ASSERT_TRUE(server.Start([] {
        SetServerThread(plat::CurrentThreadId());
        TvConsolePrint("from the server");
        SetServerThread(0);
    }));
    ASSERT_TRUE(server.Join());
    EXPECT_EQ(TvConsoleScrollbackCount(), 0);
    EXPECT_TRUE(printed.empty());
    Frame();
    EXPECT_EQ(Scrollback(), std::vector<std::string>{"from the server"});
    EXPECT_EQ(printed, std::vector<std::string>{"from the server"});
    EXPECT_EQ(GameOptions.ConsoleState, kConsolePoppedUp);
}

TEST_F(ConsoleWindowTest, TypingEditingAndEscapeStash) {
    OpenInstantly();
    Type({kKeyA, kKeyB, kKeyC});
    Press(kKeyA, kModifierShift);
    Press(79); // keypad 1
    EXPECT_STREQ(TvConsoleInputLine(), "abcA1");
    EXPECT_EQ(TvConsoleCursor(), 5);
    Press(kKeyBackspace);
    Press(203); // left
    Press(211); // delete
    EXPECT_STREQ(TvConsoleInputLine(), "abc");
    Press(kKeyEscape);
    EXPECT_STREQ(TvConsoleInputLine(), "");
    Press(kKeyEscape);
    EXPECT_STREQ(TvConsoleInputLine(), "abc");
    EXPECT_EQ(TvConsoleCursor(), 3);

    for (int i = 0; i < 300; ++i) Press(kKeyB);
    EXPECT_EQ(std::string(TvConsoleInputLine()).size(), 249u);
    EXPECT_EQ(TvConsoleCursor(), 249);
}

TEST_F(ConsoleWindowTest, TheConsoleKeyTogglesOnlyWhenEnabled) {
    OpenInstantly();
    Press(ConsoleKeyCode, kModifierShift); // Shift does not count
    EXPECT_EQ(GameOptions.ConsoleState, kConsoleClosed);
    ConsoleEnabled = 0;
    GameOptions.ConsoleState = kConsoleOpen;
    Press(ConsoleKeyCode);
    EXPECT_EQ(GameOptions.ConsoleState, kConsoleOpen);
    EXPECT_STREQ(TvConsoleInputLine(), "");
}

TEST_F(ConsoleWindowTest, EnterEchoesDispatchesAtLevelThreeAndGrowsTheWindow) {
    OpenInstantly();
    static int32_t levelSeen = -1;
    TvRegisterCommand(
        "QUIETLY", "",
        []() -> uint8_t {
            levelSeen = CommandLevel;
            return 1;
        },
        3);
    CommandLevel = 1;
    const int32_t rows = ConsoleVisibleLines;
    TvConsoleSubmitLine("quietly");
    EXPECT_EQ(levelSeen, 3);
    EXPECT_EQ(CommandLevel, 1);
    EXPECT_EQ(ConsoleVisibleLines, rows + 1);
    ASSERT_EQ(TvConsoleScrollbackCount(), 1);
    EXPECT_STREQ(TvConsoleScrollbackLine(0), "quietly");
    EXPECT_EQ(TvConsoleScrollbackColour(0), kConsoleInputColour);
    EXPECT_STREQ(TvConsoleInputLine(), "");
    CommandLevel = 3;

    Type({kKeyA});
    Press(kKeyEnter); // "a" names nothing: the dispatcher's answer is printed
    EXPECT_EQ(Scrollback().back(), "Unrecognised command or token.");
}

TEST_F(ConsoleWindowTest, UpRecallsScrollbackLinesCutToTheLineSize) {
    OpenInstantly();
    const std::string longLine(300, 'x');
    TvConsoleAddLine("first", ConsoleTextColour);
    TvConsoleAddLine(longLine.c_str(), ConsoleTextColour);
    Press(kKeyUp);
    EXPECT_EQ(std::string(TvConsoleInputLine()), longLine.substr(0, 249));
    EXPECT_EQ(TvConsoleCursor(), 249);
    Press(kKeyUp); // the cursor is at the end of a wrapping line: one row up, no recall
    EXPECT_LT(TvConsoleCursor(), 249);
    EXPECT_EQ(std::string(TvConsoleInputLine()), longLine.substr(0, 249));
    Press(199); // home
    Press(kKeyUp);
    EXPECT_STREQ(TvConsoleInputLine(), "first");
}

TEST_F(ConsoleWindowTest, TabCompletesTheShortestNameOnlyWithTheFullConsole) {
    TvRegisterCommand("ZQUUX", "", Nothing, 0);
    TvRegisterCommand("ZQUX", "", Nothing, 0);
    OpenInstantly();
    Type({kKeyZ, kKeyQ});
    Press(kKeyTab);
    EXPECT_STREQ(TvConsoleInputLine(), "zq");
    FullConsole = 1;
    Press(kKeyTab);
    EXPECT_STREQ(TvConsoleInputLine(), "ZQUX");
    EXPECT_EQ(TvConsoleCursor(), 4);

    Press(kKeyEscape);
    Type({kKeyE, kKeyC});
    Press(kKeyTab);
    EXPECT_STREQ(TvConsoleInputLine(), "ECHO");
}

TEST_F(ConsoleWindowTest, AClickOnTheVisibleWindowClosesIt) {
    OpenInstantly();
    for (int i = 0; i < 3; ++i) PrintAndFrame("line");
    const int32_t bottom = static_cast<int32_t>((ConsoleSlide + 1.0f) * 480.0f);
    EXPECT_FALSE(TvConsoleCloseOnClick(bottom + 2));
    EXPECT_EQ(GameOptions.ConsoleState, kConsoleOpen);
    EXPECT_TRUE(TvConsoleCloseOnClick(bottom - 2));
    EXPECT_EQ(GameOptions.ConsoleState, kConsoleClosed);
}

struct CapCase {
    const char* line;
    uint8_t (*handler)();
    int32_t* cap;
    int32_t expectedCap;
    std::string expectedLine;
};

TEST_F(ConsoleWindowTest, CapCommandsSetShowAndRefuse) {
    const CapCase cases[] = {
        {"5", TvCmdPendingCap, &ConsolePendingCap, 5, StringTableLookup(10601)},
        {"201", TvCmdPendingCap, &ConsolePendingCap, 20, StringTableLookup(11004)},
        {"", TvCmdPendingCap, &ConsolePendingCap, 20, std::string(StringTableLookup(10600)) + "20"},
        {"-3", TvCmdPendingCap, &ConsolePendingCap, 20, std::string(StringTableLookup(10600)) + "20"},
        {"100", TvCmdScrollbackCap, &ConsoleScrollbackCap, 100, StringTableLookup(10604)},
        {"101", TvCmdScrollbackCap, &ConsoleScrollbackCap, 20, StringTableLookup(11005)},
        {"-1", TvCmdScrollbackCap, &ConsoleScrollbackCap, 20, std::string(StringTableLookup(10602)) + "20"},
    };
    for (const CapCase& c : cases) {
        SCOPED_TRACE(c.line);
        ConsolePendingCap = ConsoleScrollbackCap = 20;
        printed.clear();
        std::snprintf(ConsoleLine, kConsoleLineSize, "%s", c.line);
        c.handler();
        EXPECT_EQ(*c.cap, c.expectedCap);
        EXPECT_EQ(printed, std::vector<std::string>{c.expectedLine});
    }
}

TEST_F(ConsoleWindowTest, TheScrollbackDropsItsOldestLinesBeyondTheCap) {
    std::snprintf(ConsoleLine, kConsoleLineSize, "2");
    TvCmdScrollbackCap();
    ASSERT_EQ(ConsoleScrollbackCap, 2);
    TvConsoleClearScreen();
    for (const char* line : {"one", "two", "three"}) TvConsolePrint(line);
    EXPECT_EQ(Scrollback(), (std::vector<std::string>{"two", "three"}));
}

TEST_F(ConsoleWindowTest, HeightInstantTextAndHideCommands) {
    const struct {
        const char* line;
        std::vector<std::string> printed;
        int32_t maxLines;
    } heights[] = {
        {"0", {StringTableLookup(11010)}, 14},
        {"", {StringTableLookup(11010)}, 14},
        {"15", {StringTableLookup(11011)}, 14},
        {"7", {}, 7},
    };
    for (const auto& h : heights) {
        SCOPED_TRACE(h.line);
        printed.clear();
        std::snprintf(ConsoleLine, kConsoleLineSize, "%s", h.line);
        TvCmdConsoleHeight();
        EXPECT_EQ(printed, h.printed);
        EXPECT_EQ(ConsoleMaxLines, h.maxLines);
    }
    EXPECT_EQ(ConsoleVisibleLines, 7);

    printed.clear();
    std::snprintf(ConsoleLine, kConsoleLineSize, " on");
    TvCmdConsoleInstant();
    std::snprintf(ConsoleLine, kConsoleLineSize, " maybe");
    TvCmdConsoleInstant();
    std::snprintf(ConsoleLine, kConsoleLineSize, " FALSE");
    TvCmdConsoleInstant();
    EXPECT_EQ(printed, (std::vector<std::string>{StringTableLookup(10606),
                                                 std::string(StringTableLookup(10603)) + StringTableLookup(12000),
                                                 StringTableLookup(10607)}));
    EXPECT_EQ(ConsoleInstantSlide, 0);

    printed.clear();
    Run("TEXT 5");
    Run("TEXT  two  blanks");
    EXPECT_EQ(printed, (std::vector<std::string>{StringTableLookup(3405), " two  blanks"}));

    OpenInstantly();
    Run("HIDE CONSOLE");
    EXPECT_EQ(GameOptions.ConsoleState, kConsoleClosed);
    EXPECT_EQ(TvConsoleScrollbackCount(), 0);
}

TEST_F(ConsoleWindowTest, KeysWithoutTextGoToTheDebugKeyHandler) {
    static std::vector<uint32_t> debugKeys;
    debugKeys.clear();
    ClientServiceHooks hooks;
    hooks.handleDebugKey = [](uint32_t key, uint32_t) { debugKeys.push_back(key); };
    SetClientServiceHooks(hooks);
    OpenInstantly();
    Press(59); // F1
    Press(kKeyA);
    SetClientServiceHooks(ClientServiceHooks{});
    EXPECT_EQ(debugKeys, std::vector<uint32_t>{59});
    EXPECT_STREQ(TvConsoleInputLine(), "a");
}

TEST_F(ConsoleWindowTest, AnOpenWindowDrawsTheMorePromptWhileLinesWait) {
    auto queuedTexts = [] {
        std::vector<std::string> texts;
        for (const QueuedText& queued : TakeQueued(SmallFont())) texts.push_back(queued.text);
        return texts;
    };
    OpenInstantly();
    Type({kKeyA, kKeyB});
    queuedTexts();
    Frame();
    EXPECT_EQ(queuedTexts(), std::vector<std::string>{"ab"});
    for (int i = 0; i < 40; ++i) PrintAndFrame("line");
    ASSERT_GT(TvConsolePendingCount(), 0);
    queuedTexts();
    Frame();
    const std::vector<std::string> drawn = queuedTexts();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.front(), StringTableLookup(10605));
}

TEST_F(ConsoleWindowTest, TheLevelEndShutsAndEmptiesTheConsole) {
    OpenInstantly();
    for (int i = 0; i < 30; ++i) PrintAndFrame("line");
    TvShowCaption(0.2f, 0.5f, "caption", 0, 0.5f);
    TvBatchAppend("TEXT later");
    ASSERT_GT(TvConsolePendingCount(), 0);
    TvConsoleReset();
    EXPECT_EQ(GameOptions.ConsoleState, kConsoleClosed);
    EXPECT_EQ(ConsoleSlide, -1.0f);
    EXPECT_EQ(TvConsoleScrollbackCount(), 0);
    EXPECT_EQ(TvConsolePendingCount(), 0);
    EXPECT_TRUE(CaptionList.IsEmpty());
    EXPECT_TRUE(TvBatchIsEmpty());
}

} // namespace
