#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>
#include <vector>

#include "core/random.h"
#include "core/serverthread.h"
#include "platform/threads.h"

namespace {

// The C library's random_r with a 128-byte state is the same additive
// generator (31 words, cursors 3 apart, the same seeding), answering sum >> 1.
class LibcRandom {
public:
    explicit LibcRandom(uint32_t seed) { initstate_r(seed, state_, sizeof state_, &data_); }
    int32_t Next() {
        int32_t v;
        random_r(&data_, &v);
        return v;
    }

private:
    char state_[128] = {};
    random_data data_ = {};
};

std::vector<uint32_t> Draws(RandomGenerator& g, int n) {
    std::vector<uint32_t> out;
    for (int i = 0; i < n; ++i) out.push_back(g.Next());
    return out;
}

std::vector<uint32_t> FreshDraws(uint32_t seed, int skip, int n) {
    RandomGenerator g(seed);
    for (int i = 0; i < skip; ++i) g.Next();
    return Draws(g, n);
}

} // namespace

TEST(RandomGenerator, FollowsTheClassicAdditiveSequence) {
    for (uint32_t seed : {1u, 0u, 12345u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        RandomGenerator ours(seed);
        LibcRandom reference(seed);
        // Draws and raw sums take the same steps; a draw is the sum shifted.
        for (int i = 0; i < 2000; ++i) {
            const uint32_t draw = i % 2 ? ours.Draw() : ours.Next() >> 1;
            ASSERT_EQ(static_cast<int32_t>(draw), reference.Next()) << seed << " draw " << i;
        }
    }
    RandomGenerator fresh;
    EXPECT_EQ(fresh.Next() >> 1, 1804289383u); // seed 1
}

TEST(RandomGenerator, SeedRestartsTheSequence) {
    RandomGenerator g(99);
    const std::vector<uint32_t> first = Draws(g, 50);
    g.Seed(99);
    EXPECT_EQ(Draws(g, 50), first);
    g.Seed(100);
    EXPECT_NE(Draws(g, 50), first);
}

TEST(RandomGenerator, TheServerThreadDrawsFromItsOwnState) {
    RandomGenerator& mine = RandomGenerator::ForCallingThread();
    mine.Seed(7);
    std::vector<uint32_t> serverDraws, otherDraws;
    RandomGenerator* serverState = nullptr;

    plat::Thread server;
    ASSERT_TRUE(server.Start([&] {
        SetServerThread(plat::CurrentThreadId());
        serverState = &RandomGenerator::ForCallingThread();
        serverState->Seed(8);
        for (int i = 0; i < 5; ++i) serverDraws.push_back(TvRandom());
        SetServerThread(0);
    }));
    ASSERT_TRUE(server.Join());
    EXPECT_NE(serverState, &mine);
    EXPECT_EQ(serverDraws, FreshDraws(8, 0, 5));

    // Any other thread shares the main thread's state.
    plat::Thread other;
    ASSERT_TRUE(other.Start([&] {
        for (int i = 0; i < 3; ++i) otherDraws.push_back(TvRandom());
    }));
    ASSERT_TRUE(other.Join());
    EXPECT_EQ(otherDraws, FreshDraws(7, 0, 3));
    EXPECT_EQ(TvRandom(), FreshDraws(7, 3, 1)[0]); // the server's draws did not advance it
    EXPECT_EQ(TvRandomDraw(), FreshDraws(7, 4, 1)[0] >> 1);
}

TEST(RandomGenerator, UniformFloatsTakeTheirMantissaFromTheDraw) {
    RandomGenerator& mine = RandomGenerator::ForCallingThread();
    mine.Seed(3);
    RandomGenerator twin(3);
    for (int i = 0; i < 1000; ++i) {
        const uint32_t unitBits = (twin.Next() >> 1) & 0x7FFFFF;
        const Real unit = RandomUnit();
        ASSERT_EQ(unit, std::bit_cast<Real>(0x3F800000u | unitBits) - 1.0f);
        ASSERT_GE(unit, 0.0f);
        ASSERT_LT(unit, 1.0f);

        const uint32_t signedBits = (twin.Next() >> 1) & 0x7FFFFF;
        const Real value = RandomSigned();
        ASSERT_EQ(value, std::bit_cast<Real>(0x40000000u | signedBits) - 3.0f);
        ASSERT_GE(value, -1.0f);
        ASSERT_LT(value, 1.0f);
    }
}
