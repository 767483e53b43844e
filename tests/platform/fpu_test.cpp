#include <gtest/gtest.h>

#include "platform/fpu.h"

namespace {
// Kept out of line so the product is computed at run time in the current mode.
__attribute__((noinline)) float Multiply(float a, float b) { return a * b; }
}

TEST(FpuMode, TestThreadsRunInTheGameModeAndScopesRestoreIt) {
    ASSERT_TRUE(plat::IsGameFpuMode());
    EXPECT_EQ(Multiply(0.04f, 100.0f), 3.99999976f);
    {
        plat::NearestRoundingScope nearest;
        EXPECT_FALSE(plat::IsGameFpuMode());
        EXPECT_EQ(Multiply(0.04f, 100.0f), 4.0f);
    }
    EXPECT_TRUE(plat::IsGameFpuMode());
}
