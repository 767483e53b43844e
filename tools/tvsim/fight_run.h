#pragma once
// A headless run of a level's fight on the null backends: the level script
// loaded with its placements in a game type (the story game, type 0, unless
// asked) on a driven server, the orders given, then passes in lock-step on a
// virtual clock.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/tvsim/scenario.h"

struct FightOptions {
    std::string level; // path of the level script, inside a tree with a tvdirs.tvs above it
    uint32_t passes = 600;
    uint32_t seed = 1;                 // the server thread's random generator
    std::string trace;                 // "" for none
    uint32_t gameType = 0;             // a GameType
    uint32_t players = 1;              // the session's players in a multiplayer game type
    std::vector<ScenarioOrder> orders; // queued before the first pass
    bool client = false;               // a headless client beside the server, one frame per pass
    bool passesGiven = false;          // --passes was given
    std::string script;                // a command script run after the load ("" for none)
    bool console = false;              // standard input gives typed console lines, one a frame
};

// Without --passes a run with a script or console input ends when both are
// done; it fails when they are not done after this many passes.
constexpr uint32_t kConsolePassCap = 72000;

// Runs the fight with the engine started and prints the summary on standard
// output: `team T alive N` per team with units (its live units), then
// `shots N` and `deaths N`, then `unit NAME rounds N` for every unit given
// orders (the rounds of ammunition it carries at the end, -1 for none or no
// inventory); writes the trace when asked. With the client, then `client
// team T objects N` per team with client objects, `twins matched N missing N
// extra N`, `largest twin distance D` (metres) and `dropped N`, followed by
// `dropped N REASON` per reason. With a script or console input the console
// runs one frame per pass (its lines on standard output as printed); without
// --passes the run ends when the script's queue is empty, no wait is pending
// and the input has ended. False, reported on standard error, when the level,
// an order, the client's handshake, the script or the trace cannot be used, or
// when the script or input is not done within kConsolePassCap passes.
bool RunFight(const FightOptions& options);
