#include "Tv/sim/world_tick.h"

// STUB: the conflict pass is being written.

void TvResolvePathConflicts(uint64_t, Real) {}
