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
};

// Runs the fight with the engine started and prints the summary on standard
// output: `team T alive N` per team with units (its live units), then
// `shots N` and `deaths N`, then `unit NAME rounds N` for every unit given
// orders (the rounds of ammunition it carries at the end, -1 for none or no
// inventory); writes the trace when asked. With the client, then `client
// team T objects N` per team with client objects, `twins matched N missing N
// extra N`, `largest twin distance D` (metres) and `dropped N`, followed by
// `dropped N REASON` per reason. False, reported on standard error, when the
// level, an order, the client's handshake or the trace cannot be used.
bool RunFight(const FightOptions& options);
