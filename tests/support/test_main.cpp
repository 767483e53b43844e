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
