#pragma once
// A headless run of a level's fight on the null backends: the level script
// loaded with its placements in the story game (type 0) on a driven server,
// then passes in lock-step on a virtual clock.

#include <cstdint>
#include <string>

struct FightOptions {
    std::string level; // path of the level script, inside a tree with a tvdirs.tvs above it
    uint32_t passes = 600;
    uint32_t seed = 1; // the server thread's random generator
    std::string trace; // "" for none
};

// Runs the fight with the engine started and prints the summary on standard
// output: `team T alive N` per team with units (its live units), then
// `shots N` and `deaths N`; writes the trace when asked. False, reported on
// standard error, when the level or the trace cannot be used.
bool RunFight(const FightOptions& options);
