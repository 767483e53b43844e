#include "tests/tv/console_script_fixture.h"

#include "Tv/console/batch.h"
#include "Tv/console/captions.h"
#include "Tv/console/command_args.h"
#include "Tv/console/command_registry.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/console_window.h"
#include "Tv/console/line_parser.h"
#include "Tv/console/repeat_text.h"
#include "Tv/console/tokens.h"
#include "Tv/console/training_commands.h"
#include "Tv/console/wait_for.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/game_options.h"
#include "Tv/server/shell_state.h"

namespace {

std::vector<std::string> printed;

void Record(const char* text) { printed.emplace_back(text); }

uint8_t Say() {
    ConsoleText rest;
    TvParseRestOfLine(rest);
    TvConsolePrint(rest);
    ConsoleLine[0] = '\0';
    return 1;
}

// Texts the tests tell apart: each message's text names its id; the
// string-named commands the tests run get names of their own.
constexpr uint32_t kFirstTextId = 3400;
constexpr uint32_t kLastTextId = 13300;
constexpr uint32_t kMessageIds[] = {3405,  10355, 10608, 10609, 10610, 11006, 11007, 11008,
                                    11009, 11012, 11017, 11019, 12000, 12001, 13202, 13103};
const std::map<uint32_t, std::string> kCommandNames = {
    {10000, "QUIT"}, {10001, "EXIT"}, {10003, "COMMANDS"}, {10006, "HELP"}};

void ResetConsoleModules() {
    TvBatchReset();
    TvClearWaitFor();
    TvClearRepeatText();
    TvClearCaptions();
    TvConsoleWindowClear();
    TvResetCommandArgs();
    TvResetCommandRegistry();
    TokenTable::Clear();
    VisionConesShown = 0;
    HintsOn = 1;
    SetConsoleHooks({});
    printed.clear();
}

} // namespace

void ConsoleScriptTest::SetUp() {
    SimTest::SetUp();
    saved_ = ResourceStrings;
    entries_.resize(kLastTextId - kFirstTextId + 1);
    for (uint32_t i = 0; i < entries_.size(); ++i) entries_[i] = {kFirstTextId + i, nullptr};
    static std::map<uint32_t, std::string> texts = kCommandNames;
    for (uint32_t id : kMessageIds) texts[id] = Text(id);
    for (auto& [id, text] : texts) entries_[id - kFirstTextId].text = text.data();
    ResourceStrings = StringTable{entries_.data(), static_cast<uint32_t>(entries_.size())};
    ResetConsoleModules();
    ConsoleHooks hooks;
    hooks.print = &TvConsoleWindowPrint;
    hooks.batchLoadFile = &TvBatchReadFile;
    SetConsoleHooks(hooks);
    TvSetConsoleOutputSink(&Record);
    TvRegisterBuiltInCommands();
    TvRegisterCommand("SAY", "Prints the rest of the line.", &Say, 1);
    CurrentGameState = kGameStatePlay;
}

void ConsoleScriptTest::TearDown() {
    ResetConsoleModules();
    CurrentGameState = 0;
    ResourceStrings = saved_;
    SimTest::TearDown();
}

const std::vector<std::string>& ConsoleScriptTest::Printed() const { return printed; }

std::vector<std::string> ConsoleScriptTest::Take() { return std::exchange(printed, {}); }

void ConsoleScriptTest::Run(const char* line) { TvExecuteLine(line); }

std::string ConsoleScriptTest::Script(const std::string& name, const std::string& text) {
    return dir.Write(name, text);
}

void ConsoleScriptTest::RunFrames(int32_t frames) {
    for (int32_t i = 0; i < frames && !TvBatchIsEmpty(); ++i) TvBatchRunNext();
}

std::string ConsoleScriptTest::Text(uint32_t id) { return "string " + std::to_string(id); }
