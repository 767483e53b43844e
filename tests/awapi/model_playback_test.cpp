#include <gtest/gtest.h>

#include "Awapi/model/mul_div.h"
#include "Awapi/model/sequence_player.h"
#include "core/clock.h"
#include "tests/awapi/model_fixture.h"

namespace {

using SequencePlayerTest = ModelTest;

TEST_F(SequencePlayerTest, APlayerEndsOnceAfterItsEndTimeAndDropsItsOwnedReference) {
    uint8_t done = 0;
    AwSequencePlayer player(&done, kUnitSpeed, kPlayerRemoveWhenDone | kPlayerOwned, 2, 1000, 0, nullptr);
    player.Length = 500;
    player.EndTime = 2000;
    player.Advance(2000, nullptr);
    EXPECT_EQ(0, done);
    EXPECT_EQ(2u, player.LoopsDone);
    player.Advance(2001, nullptr);
    EXPECT_EQ(1, done);
    EXPECT_EQ(nullptr, player.DoneFlag);
    EXPECT_TRUE(player.Finished);
    EXPECT_EQ(0, player.References);
    player.Advance(2500, nullptr); // no second release
    EXPECT_EQ(0, player.References);
}

TEST_F(SequencePlayerTest, FrameSoundsPlayWhenPassedWithinHalfASecond) {
    const auto tps = static_cast<uint32_t>(CurrentTicksPerSecond());
    const std::vector<AwFrameSound> sounds{{100, 7}};
    auto* tracked = reinterpret_cast<AwObject*>(&sound); // only passed through
    struct Case {
        int32_t loops;
        uint32_t at;
        std::vector<int32_t> played;
    };
    for (const Case& c : {Case{-1, 1000 + 200, {7}}, Case{-1, 1000 + 100 + tps, {}}, Case{0, 1000 + 200, {}}}) {
        sound.played.clear();
        AwSequencePlayer player(nullptr, kUnitSpeed, 0, c.loops, 1000, 0, &sounds);
        player.Length = 10 * tps;
        player.Advance(c.at, tracked);
        EXPECT_EQ(c.played, sound.played) << c.at - 1000 << " ticks, loop count " << c.loops;
    }
    // Without an object to follow nothing plays.
    sound.played.clear();
    AwSequencePlayer player(nullptr, kUnitSpeed, 0, -1, 1000, 0, &sounds);
    player.Length = 10 * tps;
    player.Advance(1200, nullptr);
    EXPECT_TRUE(sound.played.empty());
}

TEST(MulDiv, RoundsHalfAwayFromZeroAndGivesNoMovementForAZeroDivisor) {
    EXPECT_EQ(2000, AwMulDiv(131072, 1000, 65536));
    EXPECT_EQ(2, AwMulDiv(3, 1, 2));
    EXPECT_EQ(-2, AwMulDiv(-3, 1, 2));
    EXPECT_EQ(0, AwMulDiv(65536, 1000, 0));
}

} // namespace
