#include "Tv/sim/world_tick.h"

void TvWorldTick(uint64_t, Real) {}
