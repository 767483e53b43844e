#include "Tv/console/flow_commands.h"

#include <string>

#include "Tv/client/inventory.h"
#include "Tv/client/teamtable.h"
#include "Tv/console/batch.h"
#include "Tv/console/command_args.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/line_parser.h"
#include "Tv/console/tokens.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/server/command_scripts.h"
#include "Tv/server/game_options.h"
#include "Tv/server/server.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "core/stringtable.h"

namespace {

constexpr uint32_t kStringConditionFailed = 11009;
constexpr uint32_t kStringNoTokenName = 11017;
constexpr uint32_t kStringEchoIs = 10608;
constexpr uint32_t kStringEchoOn = 10609;
constexpr uint32_t kStringEchoOff = 10610;
constexpr uint32_t kStringOn = 12000;
constexpr uint32_t kStringOff = 12001;

// Runs what is left of ConsoleLine as a line of its own (its own command
// level applies, so it may be another IF or @), then empties the line.
void DispatchRestOfLine() {
    TvSkipBlanks();
    TvDispatchCommand();
    ConsoleLine[0] = '\0';
}

bool CarriedByPlayerTeam(const char* item) {
    for (uint32_t team = 0; team < TeamCount; ++team) {
        if (!TeamTable::IsPlayerTeam(static_cast<int32_t>(team))) continue;
        const List<ServerObject*>* actors = TeamActorListOf(static_cast<int32_t>(team));
        if (!actors) continue;
        for (const ServerObject* actor : *actors) {
            const Inventory* inventory = actor->GetInventory();
            if (inventory && inventory->CountCarried(item) != 0) return true;
        }
    }
    return false;
}

// Runs a script file's lines through `run` from the scripts directory.
template <class F>
void InScriptsDirectory(F run) {
    ConsoleText name;
    TvParseRestOfLine(name);
    DataDirEnter(kDataDirScripts);
    run(name);
    DataDirRestore();
}

} // namespace

uint8_t TvCmdToken() {
    if (!TvGuardLevelNotOver()) return 0;
    ConsoleText name;
    TvParseWord(name);
    if (!name[0]) {
        TvPrintString(kStringNoTokenName);
        return 0;
    }
    TokenTable::Set(name, 0.0f);
    return 1;
}

uint8_t TvCmdIf() {
    switch (TvEvaluateCondition()) {
    case 1:
        DispatchRestOfLine();
        return 1;
    case 0:
        return 1;
    default:
        TvPrintString(kStringConditionFailed);
        return 0;
    }
}

uint8_t TvCmdIfCarrying() {
    if (!TvIsServerRunning()) return 0;
    ServerLockHold lock;
    ConsoleText item;
    TvParseWord(item);
    // The nested line runs once, still under the (re-entrant) lock.
    if (CarriedByPlayerTeam(item)) DispatchRestOfLine();
    return 1;
}

uint8_t TvCmdSilent() {
    const uint8_t echo = GameOptions.EchoOn;
    GameOptions.EchoOn = 0;
    TvDispatchCommand();
    GameOptions.EchoOn = echo;
    ConsoleLine[0] = '\0';
    return 1;
}

uint8_t TvCmdEcho() {
    switch (TvParseBool()) {
    case 1:
        TvPrintString(kStringEchoOn);
        GameOptions.EchoOn = 1;
        break;
    case 0:
        GameOptions.EchoOn = 0;
        TvPrintString(kStringEchoOff);
        break;
    default: {
        std::string text = StringTableLookup(kStringEchoIs);
        text += StringTableLookup(GameOptions.EchoOn ? kStringOn : kStringOff);
        TvConsolePrint(text.c_str());
    }
    }
    return 1;
}

uint8_t TvCmdBatch() {
    if (!TvGuardLevelNotOver()) return 0;
    InScriptsDirectory([](const char* name) { TvBatchLoadFile(name); });
    return 1;
}

uint8_t TvCmdBatchAndBroadcast() {
    if (!TvGuardLevelNotOver() || !TvIsServerRunning()) return 0;
    InScriptsDirectory([](const char* name) {
        ServerLockHold lock;
        TvRunCommandScript(name);
    });
    return 1;
}
