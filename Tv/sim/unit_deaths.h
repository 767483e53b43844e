#pragma once
// How many units have died (their Die has run) since the program started; the
// headless runs report the difference over a run. Written on the server
// thread, read once it has stopped.

#include <cstdint>

#include "core/relaxed.h"

extern Relaxed<int32_t> UnitDeathCount;
