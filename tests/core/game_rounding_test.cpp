// The game's stated round-down results must survive the optimizer: computed on
// the main thread, on a thread started the way the server thread is, and right
// after a call wrapped in round-to-nearest.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

#include "core/numeric.h"
#include "core/serverthread.h"
#include "platform/fpu.h"
#include "platform/threads.h"

namespace {

struct Results {
    uint32_t product; // 0.04f x 100.0f
    int32_t floored;  // that product through the flooring helper
    uint32_t root;    // sqrt(5.0f)
    uint32_t angle;   // atan2(1.0f, 3.0f)
    bool operator==(const Results&) const = default;
};

void PrintTo(const Results& r, std::ostream* os) {
    *os << std::hex << "{product 0x" << r.product << ", floored " << std::dec << r.floored << ", root 0x" << std::hex
        << r.root << ", angle 0x" << r.angle << "}";
}

// Inline with constant operands: the optimizer sees the very same expressions
// at every call, so any folding or reuse across a change of mode shows.
inline Results Compute() {
    const float product = 0.04f * 100.0f;
    return {std::bit_cast<uint32_t>(product), FloorToInt(product), std::bit_cast<uint32_t>(std::sqrt(5.0f)),
            std::bit_cast<uint32_t>(std::atan2(1.0f, 3.0f))};
}

constexpr Results kRoundDown{0x407FFFFF, 3, 0x400F1BBC, 0x3EA4BC7C};
constexpr Results kNearest{0x40800000, 4, 0x400F1BBD, 0x3EA4BC7D};

// Before, inside and after a round-to-nearest scope, as one thread sees them.
struct AroundAScope {
    Results before, inside, after;
};

AroundAScope ComputeAroundAScope() {
    AroundAScope r;
    r.before = Compute();
    {
        plat::NearestRoundingScope nearest;
        r.inside = Compute();
    }
    r.after = Compute();
    return r;
}

void ExpectStatedResults(const AroundAScope& r) {
    EXPECT_EQ(r.before, kRoundDown);
    EXPECT_EQ(r.inside, kNearest);
    EXPECT_EQ(r.after, kRoundDown);
}

} // namespace

TEST(GameRounding, StatedResultsHoldOnTheMainThread) {
    ASSERT_TRUE(plat::IsGameFpuMode());
    ExpectStatedResults(ComputeAroundAScope());
}

TEST(GameRounding, StatedResultsHoldOnTheServerThread) {
    AroundAScope results;
    bool gameMode = false;
    plat::Thread server;
    ASSERT_TRUE(server.Start([&] {
        SetServerThread(plat::CurrentThreadId());
        gameMode = plat::IsGameFpuMode();
        results = ComputeAroundAScope();
        SetServerThread(0);
    }));
    ASSERT_TRUE(server.Join());
    EXPECT_TRUE(gameMode);
    ExpectStatedResults(results);
}
