#include "core/clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cfenv>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "core/serverthread.h"
#include "platform/fpu.h"
#include "platform/threads.h"
#include "platform/timer.h"
#include "platform/virtual_clock.h"

namespace {

constexpr uint64_t kWrapTicks = uint64_t{1} << 22; // span of a counter's 22-bit reading

// The first nanosecond at which the time-stamp counter has reached `tick` ticks.
uint64_t NsOfTick(uint64_t tick) {
    const uint64_t cycles = tick << 20;
    return (cycles + plat::kTimeStampCyclesPerNanosecond - 1) / plat::kTimeStampCyclesPerNanosecond;
}

// Moves a still virtual clock forward by exactly `ticks` ticks.
void AdvanceTicks(plat::VirtualClock& clock, uint64_t ticks) {
    const uint64_t now = clock.NowNanoseconds();
    clock.Set(NsOfTick((now * plat::kTimeStampCyclesPerNanosecond >> 20) + ticks));
}

TEST(TickCounter, CountsTicksAcrossWrapsOfItsReading) {
    plat::VirtualClock clock(0);
    clock.Set(NsOfTick(100));
    TickCounter counter;
    EXPECT_EQ(counter.Read(), 100u);
    clock.Set(NsOfTick(101) - 1);
    EXPECT_EQ(counter.Read(), 100u); // still inside the same tick
    clock.Set(NsOfTick(101));
    EXPECT_EQ(counter.Read(), 101u);
    clock.Set(NsOfTick(kWrapTicks - 3));
    EXPECT_EQ(counter.Read(), kWrapTicks - 3);
    clock.Set(NsOfTick(kWrapTicks + 5)); // the 22-bit reading is now 5
    EXPECT_EQ(counter.Read(), kWrapTicks + 5);
}

// Answers each reading from a list, so the millisecond timer and the
// time-stamp counter can be given any values.
class ScriptedTime : public plat::TimeSource {
public:
    explicit ScriptedTime(std::vector<uint64_t> readings) : readings_(std::move(readings)) {
        plat::SetTimeSource(this);
    }
    ~ScriptedTime() override {
        plat::SetTimeSource(nullptr);
        EXPECT_EQ(next_, readings_.size()) << "readings left unused";
    }
    uint64_t NowNanoseconds() override {
        if (next_ < readings_.size()) return readings_[next_++];
        ADD_FAILURE() << "more readings than scripted";
        return readings_.back() + 1000 * plat::VirtualClock::kMillisecond * ++extra_; // lets waiting loops end
    }

private:
    std::vector<uint64_t> readings_;
    size_t next_ = 0;
    uint64_t extra_ = 0;
};

TEST(TickCounter, CalibrationMeasuresSinceTheReferencePoint) {
    struct Reading {
        uint64_t ms, tick; // a millisecond-timer reading, then a counter reading
    };
    struct Case {
        const char* label;
        uint32_t n;
        // The constructor's reference point, each measurement, and the new
        // reference point taken after every measurement.
        std::vector<Reading> readings;
        int32_t rate;
    };
    const Case cases[] = {
        {"OneMillisecond", 0, {{0, 0}, {1, 3}, {1, 3}}, 3000},
        {"WaitsForTheTimerToMove", 0, {{0, 0}, {0, 1}, {0, 2}, {1, 3}, {1, 3}}, 3000},
        {"RoundsToNearest", 0, {{0, 0}, {3, 2}, {3, 2}}, 667},
        {"SpansMoreThanNTimes70Ms", 1, {{0, 0}, {70, 200}, {71, 203}, {71, 203}}, 2859},
        {"LevelLoad", 200, {{0, 0}, {14001, 40060}, {14001, 40060}}, 2861},
        // No tick passed in the first millisecond: measured again from the new reference.
        {"ZeroRateIsMeasuredAgain", 0, {{0, 0}, {1, 0}, {1, 0}, {101, 286}, {101, 286}}, 2860},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<uint64_t> script;
        for (const Reading& r : c.readings) {
            script.push_back(r.ms * plat::VirtualClock::kMillisecond);
            script.push_back(NsOfTick(r.tick));
        }
        ScriptedTime time(script);
        TickCounter counter;
        counter.Calibrate(c.n);
        EXPECT_EQ(counter.GetTicksPerSecondInt(), c.rate);
        EXPECT_EQ(counter.GetTicksPerSecond(), static_cast<float>(c.rate));
        EXPECT_EQ(counter.GetSecondsPerTick(), 1.0f / static_cast<float>(c.rate));
    }
}

TEST(TickCounter, ACounterOfKnownRateTakesItAtOnce) {
    // The system's counter: 3 GHz, 2^20 cycles a tick.
    TickCounter system;
    const uint32_t start = plat::MillisecondTimer();
    system.Calibrate(200);
    EXPECT_LT(plat::MillisecondTimer() - start, 200u * 70u); // no measurement over 14 s
    EXPECT_EQ(system.GetTicksPerSecondInt(), 2861);
    EXPECT_EQ(system.GetTicksPerSecond(), 2861.0f);
    EXPECT_EQ(system.GetSecondsPerTick(), 1.0f / 2861.0f);

    // A source that states its counter's rate: no reading beyond the reference points.
    struct StatedRate final : plat::TimeSource {
        uint64_t NowNanoseconds() override { return ++readings; }
        uint64_t KnownCounterFrequency() override { return uint64_t{1234} << 20; }
        uint64_t readings = 0;
    } source;
    plat::SetTimeSource(&source);
    TickCounter counter;
    const uint64_t constructed = source.readings;
    counter.Calibrate(200);
    plat::SetTimeSource(nullptr);
    EXPECT_EQ(counter.GetTicksPerSecondInt(), 1234);
    EXPECT_EQ(source.readings, 2 * constructed); // one more reference point
}

TEST(TickCounter, CalibrationUnderTheVirtualClockEndsAtOnce) {
    plat::VirtualClock clock; // 1 ms per reading
    TickCounter counter;
    EXPECT_EQ(counter.GetTicksPerSecondInt(), 0); // not calibrated yet
    counter.Calibrate(200);
    const double ticksPerSecond = 1e9 / (double(1 << 20) / plat::kTimeStampCyclesPerNanosecond);
    EXPECT_NEAR(counter.GetTicksPerSecondInt(), ticksPerSecond, 2.0);
}

TEST(TickCounter, ThreadsSharingACounterNeitherLoseNorInventTicks) {
    plat::VirtualClock clock(1000); // a tick every 350 readings
    TickCounter counter;
    constexpr int kThreads = 4, kReads = 20000;
    std::atomic<int> backwards{0};
    std::vector<std::unique_ptr<plat::Thread>> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.push_back(std::make_unique<plat::Thread>());
        ASSERT_TRUE(threads.back()->Start([&] {
            uint64_t previous = 0;
            for (int i = 0; i < kReads; ++i) {
                const uint64_t now = counter.Read();
                if (now < previous) ++backwards;
                previous = now;
            }
        }));
    }
    for (auto& thread : threads) ASSERT_TRUE(thread->Join(60000));
    EXPECT_EQ(backwards.load(), 0);
    // The count started from 0 at time 0 and never wrapped: it is the reading itself.
    const uint64_t next = clock.NowNanoseconds() + 1000;
    EXPECT_EQ(counter.Read(), next * plat::kTimeStampCyclesPerNanosecond >> 20);
}

// Makes a plat::Thread the server thread while it runs.
class ServerThreadScope {
public:
    explicit ServerThreadScope(uint32_t id) { SetServerThread(id); }
    ~ServerThreadScope() { SetServerThread(0); }
};

TEST(TickCounter, ServerThreadUsesItsOwnCounter) {
    plat::Event idPublished;
    std::atomic<TickCounter*> serverCounter{nullptr};
    plat::Thread server;
    ASSERT_TRUE(server.Start([&] {
        idPublished.Wait();
        serverCounter = &CurrentTickCounter();
    }));
    ServerThreadScope scope(server.Id());
    idPublished.Set();
    ASSERT_TRUE(server.Join(10000));
    EXPECT_EQ(serverCounter.load(), &GameThreadTicks);
    EXPECT_EQ(&CurrentTickCounter(), &OtherThreadTicks);
}

TEST(TickCounter, RecalibrationCopiesToTheServerCounterOnlyWhileItRuns) {
    plat::VirtualClock clock; // 1 ms per reading
    constexpr uint64_t kSecond = 1000 * plat::VirtualClock::kMillisecond;
    auto lead = [] { return static_cast<int64_t>(OtherThreadTicks.Read() - GameThreadTicks.Read()); };
    const int64_t earlierLead = lead(); // earlier tests moved the counters apart
    // Over 2,000 s the server's counter, read only at the ends, misses one wrap
    // of its reading; the other, read half-way, does not.
    clock.Advance(1000 * kSecond);
    OtherThreadTicks.Read();
    clock.Advance(1000 * kSecond);
    ASSERT_NEAR(lead() - earlierLead, static_cast<int64_t>(kWrapTicks), 16);

    RecalibrateClocks(0); // no server thread
    EXPECT_NEAR(lead() - earlierLead, static_cast<int64_t>(kWrapTicks), 16);

    ServerThreadScope scope(0x7FFFFFFF); // a server that is not this thread
    RecalibrateClocks(0);
    EXPECT_NEAR(lead(), 0, 16);
    EXPECT_GT(GameThreadTicks.GetTicksPerSecondInt(), 0);
    EXPECT_EQ(GameThreadTicks.GetTicksPerSecondInt(), OtherThreadTicks.GetTicksPerSecondInt());
    EXPECT_EQ(GameThreadTicks.GetSecondsPerTick(), OtherThreadTicks.GetSecondsPerTick());
}

TEST(Clock, SetTimeAndSpeedKeepTheTimeContinuous) {
    // Every reading of the counter moves it exactly 3 ticks.
    plat::VirtualClock clock(NsOfTick(3));
    Clock c;
    c.SetTime(1000);                  // reading at T
    EXPECT_EQ(c.GetTime(), 1003u);    // T + 3
    c.SetSpeed(2.0f);                 // 1006 at T + 6, continued from T + 9
    EXPECT_EQ(c.GetSpeed(), 2.0f);
    EXPECT_EQ(c.GetTime(), 1012u);    // T + 12
    c.SetSpeed(2.0f);                 // the same speed: nothing happens, not even a reading
    EXPECT_EQ(c.GetTime(), 1018u);    // T + 15
    c.SetSpeed(0.0f);                 // 1024 at T + 18: stopped
    EXPECT_EQ(c.GetTime(), 1024u);
    EXPECT_EQ(c.GetTime(), 1024u);
    std::fesetround(FE_TONEAREST);
    c.SetSpeed(1.0f);
    EXPECT_TRUE(plat::IsGameFpuMode());
    EXPECT_EQ(c.GetTime(), 1027u);
    c.SetTime(0);
    EXPECT_EQ(c.GetTime32(), 3u);
}

TEST(Clock, TimeStaysExactWhenTheScaledTicksPassTwoToThe32) {
    plat::VirtualClock clock(0);
    constexpr uint64_t kTwoTo32 = uint64_t{1} << 32;
    // Brings the calling thread's count to 10 ticks below a multiple of 2^32,
    // reading it often enough that no wrap of its reading is missed.
    auto approachMultiple = [&] {
        for (;;) {
            const uint64_t needed = (kTwoTo32 - CurrentTicks() % kTwoTo32 + kTwoTo32 - 10) % kTwoTo32;
            if (needed == 0) return;
            AdvanceTicks(clock, std::min(needed, kWrapTicks / 2));
        }
    };
    for (float speed : {1.0f, 3.0f}) {
        SCOPED_TRACE(speed);
        approachMultiple();
        Clock c;
        c.SetSpeed(speed);
        c.SetTime(0);
        AdvanceTicks(clock, 20);
        EXPECT_EQ(c.GetTime(), static_cast<uint64_t>(20 * speed));
        EXPECT_EQ(c.GetTime32(), static_cast<uint32_t>(20 * speed));
    }
}

TEST(Clock, SecondsFollowTheCallingThreadsRate) {
    {
        // The second calibration measures from a reference point taken on the virtual clock.
        plat::VirtualClock calibrating;
        RecalibrateClocks(0);
        RecalibrateClocks(200);
    }
    plat::VirtualClock clock(0);
    const float secondsPerTick = CurrentSecondsPerTick();
    Clock c;
    for (float seconds : {0.0f, 2.5f, 1000.0f, -3.0f}) {
        SCOPED_TRACE(seconds);
        c.SetSeconds(seconds);
        EXPECT_EQ(static_cast<int64_t>(c.GetTime()),
                  static_cast<int64_t>(std::floor(seconds * CurrentTicksPerSecondFloat())));
        EXPECT_NEAR(c.GetSeconds(), seconds, secondsPerTick);
    }
}

TEST(Clock, ReadersNeverSeeAHalfChangedRate) {
    // With time standing still, every speed change keeps the same reading:
    // a reader that mixed an old offset with a new rate would see another.
    plat::VirtualClock clock(0);
    Clock c;
    c.SetTime(5000);
    constexpr int kChanges = 20000;
    std::atomic<bool> done{false};
    std::atomic<int> wrongReadings{0};
    std::vector<std::unique_ptr<plat::Thread>> readers;
    for (int t = 0; t < 2; ++t) {
        readers.push_back(std::make_unique<plat::Thread>());
        ASSERT_TRUE(readers.back()->Start([&] {
            while (!done) {
                if (c.GetTime() != 5000) ++wrongReadings;
            }
        }));
    }
    for (int i = 0; i < kChanges; ++i) c.SetSpeed(i % 2 ? 1.0f : 7.0f);
    done = true;
    for (auto& reader : readers) ASSERT_TRUE(reader->Join(60000));
    EXPECT_EQ(wrongReadings.load(), 0);
}

} // namespace
