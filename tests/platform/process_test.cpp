#include <gtest/gtest.h>

#include <cstdio>

#include "platform/process.h"

TEST(ProcessDeathTest, ExitFlushesOutputAndKeepsTheCodesLowEightBits) {
    auto exitWithBufferedText = [] {
        std::setvbuf(stderr, nullptr, _IOFBF, 256);
        std::fputs("buffered farewell", stderr);
        plat::ExitProcess(plat::kExitOutOfMemory);
    };
    EXPECT_EXIT(exitWithBufferedText(), testing::ExitedWithCode(246), "buffered farewell");
}
