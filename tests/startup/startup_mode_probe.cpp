// Exits with 0 when main starts in the game's floating-point mode.
#include <cstdio>

#include "platform/fpu.h"

int main() {
    if (plat::IsGameFpuMode()) return 0;
    std::fputs("startup_mode_probe: main started in another floating-point mode\n", stderr);
    return 1;
}
