#include "Tv/sim/cheat_switches.h"

Relaxed<bool> GodMode{false};
Relaxed<bool> InfiniteAmmo{false};
