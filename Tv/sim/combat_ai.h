#pragma once
// The combat core: the AI of armed bots, centipedes and the president.

#include <cstdint>

class ServerObject;

void TvCombatAi(ServerObject* actor, uint64_t time);
