#include "core/clock.h"

#include <algorithm>

#include "core/numeric.h"
#include "core/serverthread.h"
#include "platform/fpu.h"
#include "platform/threads.h"
#include "platform/timer.h"

namespace {

constexpr int kTickShift = 20;               // a tick is 2^20 counter cycles
constexpr uint64_t kReadingMask = 0x3FFFFF;  // the 22 bits of a reading
constexpr uint32_t kCalibrationStepMs = 70;

// (ticks x rate) / 2^32 with a 32.32 rate, modulo 2^64.
uint64_t ScaleTicks(uint64_t ticks, uint64_t rate) {
    return static_cast<uint64_t>((static_cast<unsigned __int128>(ticks) * rate) >> 32);
}

} // namespace

TickCounter GameThreadTicks;
TickCounter OtherThreadTicks;

Clock RealClock;
Clock GameClock;
Clock ServerClock;

TickCounter::TickCounter() { TakeReferencePoint(); }

uint64_t TickCounter::Read() {
    // The reading is taken after the count it is compared with, and committed
    // only if no other thread advanced the count in between: a thread holding
    // an older reading never sees it as a wrap of the counter.
    uint64_t count = count_.load(std::memory_order_acquire);
    for (;;) {
        const uint64_t reading = (plat::ReadTimeStampCounter() >> kTickShift) & kReadingMask;
        const uint64_t advanced = count + ((reading - count) & kReadingMask);
        if (advanced == count) return count;
        if (count_.compare_exchange_weak(count, advanced, std::memory_order_acq_rel, std::memory_order_acquire))
            return advanced;
    }
}

void TickCounter::TakeReferencePoint() {
    plat::Sleep(0);
    referenceTime_.store(plat::MillisecondTimer(), std::memory_order_relaxed);
    referenceTicks_.store(Read(), std::memory_order_relaxed);
}

void TickCounter::Calibrate(uint32_t n) {
    // A counter of known rate needs no measurement: no stall at a level load,
    // and the same rate on every run.
    const auto known = static_cast<int32_t>(std::min<uint64_t>(plat::KnownTimeStampFrequency() >> kTickShift, INT32_MAX));
    if (known > 0) {
        TakeReferencePoint();
        SetRate(known);
        return;
    }
    const uint32_t limitMs = n * kCalibrationStepMs;
    for (;;) {
        const uint32_t startTime = referenceTime_.load(std::memory_order_relaxed);
        const uint64_t startTicks = referenceTicks_.load(std::memory_order_relaxed);
        uint32_t now;
        uint64_t ticks;
        do {
            plat::Sleep(0);
            now = plat::MillisecondTimer();
            ticks = Read();
        } while (now - startTime <= limitMs);

        const int64_t tickDifference = static_cast<int64_t>(ticks - startTicks);
        const int32_t rate = MulDiv(static_cast<int32_t>(static_cast<uint32_t>(tickDifference)), 1000,
                                    static_cast<int32_t>(now - startTime));
        TakeReferencePoint();
        // A rate of 0 would make every seconds-to-ticks conversion 0 and the
        // seconds per tick infinite: measure again from the new reference.
        if (tickDifference < 0 || rate <= 0) continue;

        SetRate(rate);
        return;
    }
}

void TickCounter::SetRate(int32_t ticksPerSecond) {
    const float rateFloat = static_cast<float>(ticksPerSecond);
    ticksPerSecond_.store(ticksPerSecond, std::memory_order_relaxed);
    ticksPerSecondFloat_.store(rateFloat, std::memory_order_relaxed);
    secondsPerTick_.store(1.0f / rateFloat, std::memory_order_relaxed);
}

void TickCounter::CopyFrom(const TickCounter& other) {
    count_.store(other.count_.load(std::memory_order_acquire), std::memory_order_release);
    referenceTicks_.store(other.referenceTicks_.load(std::memory_order_relaxed), std::memory_order_relaxed);
    referenceTime_.store(other.referenceTime_.load(std::memory_order_relaxed), std::memory_order_relaxed);
    ticksPerSecond_.store(other.ticksPerSecond_.load(std::memory_order_relaxed), std::memory_order_relaxed);
    ticksPerSecondFloat_.store(other.ticksPerSecondFloat_.load(std::memory_order_relaxed), std::memory_order_relaxed);
    secondsPerTick_.store(other.secondsPerTick_.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

TickCounter& CurrentTickCounter() { return OnServerThread() ? GameThreadTicks : OtherThreadTicks; }

uint64_t CurrentTicks() { return CurrentTickCounter().Read(); }
uint32_t CurrentTicks32() { return static_cast<uint32_t>(CurrentTicks()); }
int32_t CurrentTicksPerSecond() { return CurrentTickCounter().GetTicksPerSecondInt(); }
float CurrentTicksPerSecondFloat() { return CurrentTickCounter().GetTicksPerSecond(); }
uint64_t TicksAfter(uint64_t time, float seconds) {
    return time + static_cast<uint64_t>(std::max<int64_t>(0, FloorToInt64(CurrentTicksPerSecondFloat() * seconds)));
}
float CurrentSecondsPerTick() { return CurrentTickCounter().GetSecondsPerTick(); }

void RecalibrateClocks(uint32_t n) {
    OtherThreadTicks.Calibrate(n);
    if (TvIsServerRunning()) GameThreadTicks.CopyFrom(OtherThreadTicks);
}

Clock::Mapping Clock::Load() const {
    for (;;) {
        const uint32_t sequence = sequence_.load(std::memory_order_acquire);
        if ((sequence & 1) == 0) {
            const Mapping mapping{rate_.load(std::memory_order_relaxed), offset_.load(std::memory_order_relaxed)};
            std::atomic_thread_fence(std::memory_order_acquire);
            if (sequence_.load(std::memory_order_relaxed) == sequence) return mapping;
        }
        plat::Sleep(0);
    }
}

uint32_t Clock::BeginWrite() {
    uint32_t sequence = sequence_.load(std::memory_order_relaxed);
    for (;;) {
        if ((sequence & 1) == 0 &&
            sequence_.compare_exchange_weak(sequence, sequence + 1, std::memory_order_acquire,
                                            std::memory_order_relaxed)) {
            std::atomic_thread_fence(std::memory_order_release);
            return sequence + 1;
        }
        if (sequence & 1) {
            plat::Sleep(0);
            sequence = sequence_.load(std::memory_order_relaxed);
        }
    }
}

void Clock::EndWrite(uint32_t sequence) { sequence_.store(sequence + 1, std::memory_order_release); }

uint64_t Clock::GetTime() const {
    const uint64_t ticks = CurrentTicks();
    const Mapping mapping = Load();
    return ScaleTicks(ticks, mapping.rate) + static_cast<uint64_t>(mapping.offset);
}

float Clock::GetSeconds() const {
    // One rounding of the exact product, as the floating-point unit gives it.
    return static_cast<float>(static_cast<double>(static_cast<int64_t>(GetTime())) *
                              static_cast<double>(CurrentSecondsPerTick()));
}

void Clock::SetTime(uint64_t t) {
    const uint32_t sequence = BeginWrite();
    const uint64_t now = ScaleTicks(CurrentTicks(), rate_.load(std::memory_order_relaxed));
    offset_.store(static_cast<int64_t>(t - now), std::memory_order_relaxed);
    EndWrite(sequence);
}

void Clock::SetSeconds(float s) {
    const float ticks = s * CurrentTicksPerSecondFloat();
    SetTime(static_cast<uint64_t>(FloorToInt64(ticks)));
}

void Clock::SetSpeed(float speed) {
    const uint32_t sequence = BeginWrite();
    if (speed != speed_.load(std::memory_order_relaxed)) {
        speed_.store(speed, std::memory_order_relaxed);
        const uint64_t oldRate = rate_.load(std::memory_order_relaxed);
        const uint64_t current =
            ScaleTicks(CurrentTicks(), oldRate) + static_cast<uint64_t>(offset_.load(std::memory_order_relaxed));
        plat::SetGameFpuMode();
        const uint64_t newRate = static_cast<uint64_t>(FloorToInt64(static_cast<double>(speed) * 4294967296.0));
        const uint64_t continued = ScaleTicks(CurrentTicks(), newRate);
        rate_.store(newRate, std::memory_order_relaxed);
        offset_.store(static_cast<int64_t>(current - continued), std::memory_order_relaxed);
    }
    EndWrite(sequence);
}
