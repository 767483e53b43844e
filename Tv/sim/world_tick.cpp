#include "Tv/sim/world_tick.h"

// STUB: the world step is being written.

void TvWorldTick(uint64_t, Real) {}

bool TvIsHiddenFromEnemies(const ServerUnit*) { return true; }
