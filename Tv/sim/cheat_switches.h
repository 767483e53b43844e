#pragma once
// The console's cheat switches. The console thread sets them; the server
// thread reads them each pass.

#include "core/relaxed.h"

// Units of player teams take neither damage nor repairs.
extern Relaxed<bool> GodMode;
// A bot's empty magazine is refilled with one round at once.
extern Relaxed<bool> InfiniteAmmo;
