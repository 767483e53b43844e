#include "platform/process.h"

#include <cstdio>
#include <cstdlib>

namespace plat {

void ExitProcess(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

} // namespace plat
