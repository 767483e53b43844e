#pragma once
// The world step of the simulation: paths, then the step and think of every
// actor. Does nothing until the actors' steps are built.

#include <cstdint>

#include "core/maths.h"

// One world step at the pass's ServerClock time (ticks and seconds).
void TvWorldTick(uint64_t time, Real seconds);
