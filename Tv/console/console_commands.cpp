#include "Tv/console/console_commands.h"

#include <string>

#include "Tv/console/command_args.h"
#include "Tv/console/console_fonts.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/console_window.h"
#include "Tv/console/line_parser.h"
#include "Tv/server/game_options.h"
#include "core/stringtable.h"

namespace {

constexpr int32_t kTallestWindow = 14;
constexpr uint32_t kTextBaseId = 3400;

struct CapCommand {
    int32_t& cap;
    int32_t bound; // caps lie below it
    uint32_t setId, tooLargeId, showId;
};

void PrintStrings(uint32_t first, uint32_t second) {
    TvConsolePrint((std::string(StringTableLookup(first)) + StringTableLookup(second)).c_str());
}

// A cap below 1 is shown, not set: nothing else keeps the drop-the-oldest rule sound.
uint8_t RunCapCommand(const CapCommand& command) {
    const int32_t value = TvParseInt(0);
    if (value < 1) {
        TvConsolePrint((std::string(StringTableLookup(command.showId)) + std::to_string(command.cap)).c_str());
    } else if (value >= command.bound) {
        TvPrintString(command.tooLargeId);
    } else {
        command.cap = value;
        TvPrintString(command.setId);
    }
    return 1;
}

} // namespace

uint8_t TvCmdConsoleHeight() {
    const int32_t rows = TvParseInt(0);
    if (rows < 1) {
        TvPrintString(11010);
    } else if (rows > kTallestWindow) {
        TvPrintString(11011);
    } else {
        ConsoleMaxLines = rows;
        ConsoleVisibleLines = rows;
        ConsoleSlideTarget = static_cast<float>(rows) * TvSmallLineHeight() - 1.0f;
    }
    return 1;
}

uint8_t TvCmdConsoleInstant() {
    switch (TvParseBool()) {
    case 1:
        ConsoleInstantSlide = 1;
        TvPrintString(10606);
        break;
    case 0:
        ConsoleInstantSlide = 0;
        TvPrintString(10607);
        break;
    default: PrintStrings(10603, ConsoleInstantSlide ? 12000 : 12001); break;
    }
    return 1;
}

uint8_t TvCmdPendingCap() { return RunCapCommand({ConsolePendingCap, 201, 10601, 11004, 10600}); }

uint8_t TvCmdScrollbackCap() { return RunCapCommand({ConsoleScrollbackCap, 101, 10604, 11005, 10602}); }

uint8_t TvCmdClearScreen() {
    TvConsoleClearScreen();
    return 1;
}

uint8_t TvCmdText() {
    if (TvNextArgIsNumber()) {
        TvPrintString(kTextBaseId + static_cast<uint32_t>(TvParseInt(0)));
    } else {
        TvCutLineFront(1);
        TvConsolePrint(ConsoleLine);
    }
    return 1;
}

uint8_t TvCmdHideConsole() {
    TvConsoleClearScreen();
    if (GameOptions.ConsoleState == kConsoleOpen)
        TvConsoleToggle();
    else
        GameOptions.ConsoleState = kConsoleClosed;
    return 1;
}
