// Test entry: every test thread runs in the program's floating-point mode, and
// message boxes never wait for a user.
#include <gtest/gtest.h>

#include "platform/fpu.h"
#include "platform/msgbox.h"

int main(int argc, char** argv) {
    plat::SetGameFpuMode();
    plat::SetMessageBoxTestMode(true);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The leak checker of the sanitized build reads this at exit: render tests
// open an OpenGL window, and a system library the window system loads leaks a
// buffer of its own.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
