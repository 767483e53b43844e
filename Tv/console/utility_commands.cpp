#include "Tv/console/utility_commands.h"

#include <cstdlib>

#include "Tv/console/command_args.h"
#include "Tv/console/command_registry.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/console_window.h"
#include "Tv/console/line_parser.h"
#include "core/log.h"

namespace {

constexpr uint32_t kStringNoSuchCommand = 11012;

void PrintEveryName() {
    TvForEachCommand([](const ConsoleCommand& command) {
        if (!command.Name.empty()) TvConsolePrint(command.Name.c_str());
    });
}

} // namespace

uint8_t TvCmdHelp() {
    if (TvSkipBlanks()) {
        const ConsoleCommand* command = TvFindCommand(ConsoleLine);
        if (command)
            TvConsolePrint(command->Help.c_str());
        else
            TvPrintString(kStringNoSuchCommand);
    } else if (FullConsole) {
        PrintEveryName();
    }
    return 1;
}

uint8_t TvCmdListCommands() {
    PrintEveryName();
    return 1;
}

uint8_t TvCmdQuit() { std::exit(1); }

uint8_t TvCmdLog() {
    LogLine("Log message called from console");
    return 1;
}

uint8_t TvCmdAssert() {
    LogLine("Assert called from console");
    return 1;
}

uint8_t TvCmdBreak() { return 1; }
