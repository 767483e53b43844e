// Program entry. For now it starts, reports what it found and ends.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/fpu.h"
#include "platform/paths.h"

int main(int argc, char** argv) {
    plat::SetGameFpuMode();
    std::string dataDir = ".";
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-w") == 0 && i + 1 < argc) dataDir = argv[++i];
    if (!plat::SetCurrentDir(dataDir)) {
        std::fprintf(stderr, "tavrin: cannot use data directory '%s'\n", dataDir.c_str());
        return 1;
    }
    std::printf("tavrin: data directory %s\n", plat::GetCurrentDir().c_str());
    return 0;
}
