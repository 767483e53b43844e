// The command registry and the dispatcher.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Tv/console/command_registry.h"
#include "Tv/console/tokens.h"
#include "Tv/server/client_service_hooks.h"
#include "tests/tv/console_recorder.h"

namespace {

// Which handler ran and what it found left on the line.
struct Call {
    std::string handler;
    std::string line;
    bool operator==(const Call&) const = default;
};
std::vector<Call> calls;

template <int N>
uint8_t Handler() {
    calls.push_back({"H" + std::to_string(N), ConsoleLine});
    return N;
}

class ConsoleRegistryTest : public testing::Test {
protected:
    void SetUp() override { calls.clear(); }

    // Dispatches `line`; the one call it made ({} when none).
    static Call Run(const char* line) {
        calls.clear();
        ConsoleRecorder::SetLine(line);
        TvDispatchCommand();
        return calls.empty() ? Call{} : calls.back();
    }

    ConsoleRecorder console;
};

TEST_F(ConsoleRegistryTest, TheLongestNameThatBeginsTheLineWinsWithoutRegardToCase) {
    TvRegisterCommand("WAIT", "", &Handler<1>, 1);
    TvRegisterCommand("WAIT FOR", "", &Handler<2>, 1);
    TvRegisterCommand("SET", "", &Handler<3>, 1);
    TvRegisterCommand("SET CAMERA POS", "", &Handler<4>, 1);
    TvRegisterCommand("SET CAMERA", "", &Handler<5>, 1);
    const struct {
        const char* line;
        Call call;
    } cases[] = {
        {"WAIT FOR UPGRADE SCREEN", {"H2", " UPGRADE SCREEN"}},
        {"wait", {"H1", ""}},
        {"set camera pos 1 2 3", {"H4", " 1 2 3"}},
        {"SET CAMERA 1", {"H5", " 1"}},
        {"SETX 4", {"H3", "X 4"}}, // no blank needed after the name
        {"SETTINGS", {"H3", "TINGS"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Run(c.line), c.call) << c.line;
    EXPECT_TRUE(console.lines.empty());
}

TEST_F(ConsoleRegistryTest, TheNewestOfEqualNamesRunsUntilItIsUnregistered) {
    TvRegisterCommand("DARK", "first", &Handler<1>, 1);
    TvRegisterCommand("Dark", "second", &Handler<2>, 1);
    EXPECT_EQ(TvCommandCount(), 2);
    EXPECT_EQ(Run("DARK").handler, "H2");
    EXPECT_EQ(TvFindCommand("dark")->Help, "second");

    EXPECT_EQ(TvUnregisterCommand("dark", &Handler<2>), 1);
    EXPECT_EQ(Run("DARK").handler, "H1");
    EXPECT_EQ(TvCommandCount(), 1);

    EXPECT_EQ(TvUnregisterCommand("DARK", &Handler<1>), 1);
    EXPECT_EQ(TvCommandCount(), 0);
    EXPECT_EQ(TvUnregisterCommand("DARK", &Handler<1>), 0);
    EXPECT_EQ(Run("DARK"), Call{});
    EXPECT_EQ(console.lines, std::vector<std::string>{"Unrecognised command or token."});
}

TEST_F(ConsoleRegistryTest, UnregisteringTakesTheNameWithItsHandlerAndNeverAnotherCommandsHandler) {
    TvRegisterCommand("BRIEF", "", &Handler<1>, 1);
    TvRegisterCommand("BRIEF", "", &Handler<2>, 1);
    TvRegisterCommand("OTHER", "", &Handler<3>, 1);
    // The first registration of the name is the newer; the handler picks the older.
    EXPECT_EQ(TvUnregisterCommand("BRIEF", &Handler<1>), 1);
    EXPECT_EQ(Run("BRIEF").handler, "H2");
    // The handler belongs to another name: nothing is removed.
    EXPECT_EQ(TvUnregisterCommand("BRIEF", &Handler<3>), 0);
    EXPECT_EQ(TvUnregisterCommand("NONE", &Handler<3>), 0);
    EXPECT_EQ(TvCommandCount(), 2);
    // A handler nobody registered: the name's first registration goes.
    EXPECT_EQ(TvUnregisterCommand("BRIEF", &Handler<4>), 1);
    EXPECT_EQ(TvCommandCount(), 1);
    EXPECT_EQ(Run("OTHER").handler, "H3");
}

TEST_F(ConsoleRegistryTest, LinesNamingNoCommandPrintATokenOrComplain) {
    TokenTable::Set("Speed", 2.5f);
    TvRegisterCommand("@", "", &Handler<1>, 1);
    EXPECT_EQ(Run("speed rest"), Call{});
    EXPECT_EQ(Run("NOTHING here"), Call{});
    EXPECT_EQ(console.lines, (std::vector<std::string>{"speed = 2.5", "Unrecognised command or token."}));
    EXPECT_EQ(ConsoleRecorder::Line(), " here") << "the first word is consumed";

    console.lines.clear();
    EXPECT_EQ(Run(""), Call{});
    EXPECT_EQ(Run("@TOKEN RES"), (Call{"H1", "TOKEN RES"})) << "found in bucket 0";
    EXPECT_TRUE(console.lines.empty());
}

TEST_F(ConsoleRegistryTest, CommandsAboveTheCommandLevelAreSkippedSilently) {
    TvRegisterCommand("DEBUG", "", &Handler<1>, 3);
    CommandLevel = 1;
    EXPECT_EQ(Run("DEBUG 5"), Call{});
    EXPECT_EQ(ConsoleRecorder::Line(), " 5") << "the name is gone all the same";
    CommandLevel = 3;
    EXPECT_EQ(Run("DEBUG 5").handler, "H1");
    EXPECT_TRUE(console.lines.empty());
}

TEST_F(ConsoleRegistryTest, ExecutingALineCutsItToTheBufferAndEmptiesItAfterwards) {
    TvRegisterCommand("LONG", "", &Handler<7>, 1);
    const std::string text = "LONG " + std::string(400, 'x');
    EXPECT_EQ(TvExecuteLine(text.c_str()), 7);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].line, text.substr(4, kConsoleLineSize - 1 - 4));
    EXPECT_EQ(ConsoleRecorder::Line(), "");
}

TEST_F(ConsoleRegistryTest, TheRegistryWalksBucketsInOrderNewestFirst) {
    TvRegisterCommand("BETA", "", &Handler<1>, 1);
    TvRegisterCommand("ALPHA", "", &Handler<1>, 1);
    TvRegisterCommand("ANOTHER", "", &Handler<1>, 1);
    TvRegisterCommand("", "", &Handler<1>, 1);
    std::vector<std::string> names;
    TvForEachCommand([&](const ConsoleCommand& command) { names.push_back(command.Name); });
    // '\0' is bucket 0, 'A' (65) bucket 1, 'B' bucket 2.
    EXPECT_EQ(names, (std::vector<std::string>{"", "ANOTHER", "ALPHA", "BETA"}));
    EXPECT_EQ(TvCommandBucket("a"), TvCommandBucket("A"));
    EXPECT_EQ(TvCommandBucket("@"), 0u);
    EXPECT_EQ(Run("@X"), Call{}) << "the empty name never wins";
    EXPECT_EQ(console.lines, std::vector<std::string>{"Unrecognised command or token."});
}

TEST_F(ConsoleRegistryTest, TheStartUpTableNamesItsCommandsAndCreatesTheTeamTokens) {
    std::vector<std::string> services;
    static std::vector<std::string>* reached = nullptr;
    reached = &services;
    ClientServiceHooks hooks;
    hooks.openStatusWindow = [] { reached->emplace_back("status window"); };
    hooks.startNextLevel = [] { reached->emplace_back("next level"); };
    SetClientServiceHooks(hooks);

    TvRegisterBuiltInCommands();
    // The rows whose handlers exist so far; the others wait for theirs.
    EXPECT_EQ(TvCommandCount(), 47);
    EXPECT_TRUE(console.lines.empty()) << "the start-up lines print nothing";
    for (const char* line : {"RES", "friendly", "ENEMY"}) TvExecuteLine(line);
    EXPECT_EQ(console.lines, (std::vector<std::string>{"RES = 0", "friendly = 1", "ENEMY = 2"}));

    console.lines.clear();
    for (const char* line : {"REM anything", "// a comment", "STATUS WINDOW", "next level"}) TvExecuteLine(line);
    EXPECT_TRUE(console.lines.empty());
    EXPECT_EQ(services, (std::vector<std::string>{"status window", "next level"}));
    SetClientServiceHooks(ClientServiceHooks{});

    // Names of the language strings; help texts of either kind.
    ASSERT_NE(TvFindCommand(ConsoleRecorder::String(10000).c_str()), nullptr);
    EXPECT_EQ(TvFindCommand(ConsoleRecorder::String(10000).c_str())->Help, ConsoleRecorder::String(10305));
    EXPECT_EQ(TvFindCommand("set")->Help, ConsoleRecorder::String(10328));
    EXPECT_EQ(TvFindCommand("")->Help, "You shouldn't be seeing this !");
    EXPECT_EQ(TvFindCommand("INC")->Level, 3);
    EXPECT_EQ(TvFindCommand("SELECT")->Level, 1);
}

} // namespace
