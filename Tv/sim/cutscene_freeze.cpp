#include "Tv/sim/world_tick.h"

// STUB: the freeze pass is being written.

void TvCutsceneFreeze() {}
