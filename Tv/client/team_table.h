#pragma once
// The least of the team table that the level load reads: how many teams the
// game has and whether each takes part. The team table of the client game
// objects takes its place; until a game sets its teams up there are none, so
// a level load places no actors.

#include <cstdint>

struct TeamRecord {
    uint8_t active = 0;
};

// Teams 0 to TeamCount - 1 exist.
extern int32_t TeamCount;

namespace TeamTable {
// `count` teams (none for a count below 1), every one inactive.
void Reset(int32_t count);
// Null outside 0 to TeamCount - 1.
TeamRecord* GetTeam(int32_t index);
} // namespace TeamTable
