// Clock, game speed and pause messages on the client (no server thread).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Tv/client/teamtable.h"
#include "Tv/server/client_link.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/shell_state.h"
#include "core/clock.h"
#include "tests/tv/client_dispatch_fixture.h"

namespace {

ByteWriter FloatRecord(int32_t type, std::initializer_list<float> floats, int32_t tail = 0, bool withTail = false) {
    ByteWriter w;
    w.I32(type);
    for (float f : floats) w.F32(f);
    if (withTail) w.I32(tail);
    return w;
}

ByteWriter ClockSync(float sent, float serverTime) { return FloatRecord(202, {sent, serverTime}); }

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

} // namespace

TEST_F(ClientDispatchTest, ClockSyncCorrectsTheClockSpeedWithinBounds) {
    struct Case {
        float error;
        float roundTrip;
        float correction;
        bool resync;
    } const cases[] = {
        {0.04f, 0.1f, 1.0f, false},                             // below the 0.05 threshold
        {0.3f, 2.0f, 1.0f, false},                              // below a quarter of the round trip
        {1.0f, 0.1f, 1.2f, false},                              // 1.5 clamped
        {0.2f, 0.1f, 1.1f, false},  {-0.5f, 0.1f, 0.8f, false}, // 0.75 clamped
        {3.5f, 0.1f, 1.2f, true},   {-3.5f, 0.1f, 0.8f, true},
    };
    ClientBaseSpeed = 0.5f;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "error " << c.error);
        ClockCorrection = 1.0f;
        const size_t sendsBefore = ClientSends().size();
        const float now = GameClock.GetSeconds();
        const float sent = now - c.roundTrip;
        Dispatch(ClockSync(sent, (now + sent) / 2.0f + c.error));
        EXPECT_NEAR(ClockCorrection, c.correction, 1e-4f);
        EXPECT_NEAR(GameClock.GetSpeed(), 0.5f * c.correction, 1e-4f);
        const std::vector<RecordedMessage> sends = ClientSends();
        ASSERT_EQ(sends.size(), sendsBefore + (c.resync ? 1 : 0));
        if (c.resync) {
            EXPECT_EQ(MessageInt(sends.back().bytes, 0), 51);
            EXPECT_EQ(sends.back().bytes.size(), 8u);
        }
    }
}

TEST_F(ClientDispatchTest, ClockSyncIsIgnoredInCutscenesAndForEchoesNotBeforeNow) {
    ClockCorrection = 1.0f;
    const float now = GameClock.GetSeconds();
    CutsceneActive = 1;
    Dispatch(ClockSync(now - 0.1f, now + 5.0f));
    CutsceneActive = 0;
    Dispatch(ClockSync(now, now + 5.0f));
    Dispatch(ClockSync(now + 1.0f, now + 5.0f));
    EXPECT_EQ(ClockCorrection, 1.0f);
    EXPECT_TRUE(ClientSends().empty());
    ExpectDropped(ClockSync(kNaN, now));
    ExpectDropped(ClockSync(now - 0.1f, kInf));
    EXPECT_EQ(ClockCorrection, 1.0f);
}

TEST_F(ClientDispatchTest, PauseAnswersWithItsSequenceAndSetsTheSpeed) {
    Dispatch(FloatRecord(136, {0.25f}, 4711, true));
    EXPECT_EQ(ClientBaseSpeed, 0.25f);
    EXPECT_EQ(GameClock.GetSpeed(), 0.25f);
    const std::vector<RecordedMessage> sends = ClientSends();
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].bytes, MessageOf({4, 4711}));
    EXPECT_EQ(seen.lines, std::vector<std::string>{"Game speed set to 0.25"});

    Dispatch(FloatRecord(137, {2.0f}));
    EXPECT_EQ(ClientBaseSpeed, 2.0f);
    EXPECT_EQ(ClientSends().size(), 1u);
    EXPECT_EQ(seen.lines.back(), "Game speed set to 2.00");

    for (float bad : {-1.0f, kNaN, kInf}) {
        ExpectDropped(FloatRecord(136, {bad}, 1, true));
        ExpectDropped(FloatRecord(137, {bad}));
    }
    EXPECT_EQ(ClientBaseSpeed, 2.0f);
}

TEST_F(ClientDispatchTest, TeamEffectPausesForACheckedTeamAndUnpauseEndsIt) {
    ByteWriter effect = Record(153, {1});
    effect.F32(10.0f);
    Dispatch(effect);
    EXPECT_TRUE(TvIsGamePaused());
    EXPECT_EQ(TimedTeamEffect.Team, 1);
    EXPECT_NEAR(TimedTeamEffect.EndTime, RealClock.GetSeconds() + 10.0f, 1e-3f);

    Dispatch(Record(154));
    EXPECT_FALSE(TvIsGamePaused());
    EXPECT_EQ(TimedTeamEffect.Team, -1);
    EXPECT_EQ(TimedTeamEffect.EndTime, std::numeric_limits<float>::max());

    for (int32_t team : {-1, static_cast<int32_t>(TeamCount), 1000}) {
        ByteWriter bad = Record(153, {team});
        bad.F32(1.0f);
        ExpectDropped(bad);
    }
    ByteWriter endless = Record(153, {1});
    endless.F32(kNaN);
    ExpectDropped(endless);
    EXPECT_FALSE(TvIsGamePaused());
    EXPECT_EQ(TimedTeamEffect.Team, -1);
}

TEST_F(ClientDispatchTest, SetClockSetsTheGameClockToAFiniteTime) {
    Dispatch(FloatRecord(203, {0.0f, 123.5f}));
    EXPECT_NEAR(GameClock.GetSeconds(), 123.5f, 1e-2f);
    for (float bad : {kNaN, -kInf, -5.0f}) ExpectDropped(FloatRecord(203, {0.0f, bad}));
    EXPECT_NEAR(GameClock.GetSeconds(), 123.5f, 1e-2f);
}
