#pragma once
// Game time from the processor's time-stamp counter.
//
// A TickCounter counts ticks of 2^20 counter cycles in 64 bits and, once
// calibrated against the millisecond timer, knows how many ticks make a
// second. The simulation server thread has its own counter (GameThreadTicks);
// every other thread shares OtherThreadTicks. A Clock maps the calling
// thread's tick count to its own time base through a 32.32 fixed-point rate
// and an offset, so its speed can change without a jump.
//
// Every operation is safe from any thread: counters advance with a
// compare-and-swap, clocks are read through a sequence count.

#include <atomic>
#include <cstdint>

class TickCounter {
public:
    // Count 0, then a first reading taken as the reference point. The rates
    // stay 0 until the first calibration.
    TickCounter();
    TickCounter(const TickCounter&) = delete;
    TickCounter& operator=(const TickCounter&) = delete;

    // Advances the count by the time-stamp counter's progress since the
    // previous reading and returns it. A counter must be read at least once
    // every 2^22 ticks (about 24 minutes) to stay exact.
    uint64_t Read();

    // Measures ticks per second over everything since the last reference
    // point, at least n x 70 ms, then takes a new reference point. A
    // measurement that gives no usable rate (zero, negative, not a number) is
    // taken again. A counter whose rate the platform knows (the system's
    // clock, plat::KnownTimeStampFrequency) takes that rate at once.
    void Calibrate(uint32_t n);

    // Copies the whole record (count, reference point and rates) of another counter.
    void CopyFrom(const TickCounter& other);

    int32_t GetTicksPerSecondInt() const { return ticksPerSecond_.load(std::memory_order_relaxed); }
    float GetTicksPerSecond() const { return ticksPerSecondFloat_.load(std::memory_order_relaxed); }
    float GetSecondsPerTick() const { return secondsPerTick_.load(std::memory_order_relaxed); }

private:
    void TakeReferencePoint();
    void SetRate(int32_t ticksPerSecond);

    // The 22-bit reading of the time-stamp counter is not stored: it is always
    // the low 22 bits of the count, so one atomic word holds the whole state.
    std::atomic<uint64_t> count_{0};
    std::atomic<uint64_t> referenceTicks_{0};
    std::atomic<uint32_t> referenceTime_{0};
    std::atomic<int32_t> ticksPerSecond_{0};
    std::atomic<float> ticksPerSecondFloat_{0.0f};
    std::atomic<float> secondsPerTick_{0.0f};
};

// The server thread's counter and the one of every other thread.
extern TickCounter GameThreadTicks;
extern TickCounter OtherThreadTicks;

// The calling thread's counter: GameThreadTicks on the server thread, else OtherThreadTicks.
TickCounter& CurrentTickCounter();

// Operations on the calling thread's counter.
uint64_t CurrentTicks();
uint32_t CurrentTicks32();
int32_t CurrentTicksPerSecond();
float CurrentTicksPerSecondFloat();
float CurrentSecondsPerTick();
// `time` plus `seconds` on the calling thread's counter, rounded down; a negative span adds nothing.
uint64_t TicksAfter(uint64_t time, float seconds);

// Calibrates OtherThreadTicks over at least n x 70 ms and, while the server
// thread runs, copies it over GameThreadTicks. Start-up uses n = 0, the level
// load n = 200.
void RecalibrateClocks(uint32_t n);

class Clock {
public:
    // Rate 1.0, offset 0, speed 1.0.
    constexpr Clock() = default;
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;

    // (T x rate) / 2^32 + offset for the calling thread's tick count T, modulo 2^64.
    uint64_t GetTime() const;
    uint32_t GetTime32() const { return static_cast<uint32_t>(GetTime()); }
    // The time times the calling thread's seconds per tick.
    float GetSeconds() const;

    // The clock reads t now and runs on from there.
    void SetTime(uint64_t t);
    // As SetTime (s x the calling thread's ticks per second, floored).
    void SetSeconds(float s);
    // Changes the rate to speed x 2^32 without a jump in the time; 0 stops the
    // clock; the same speed again changes nothing. Sets the game's
    // floating-point mode.
    void SetSpeed(float speed);
    float GetSpeed() const { return speed_.load(std::memory_order_relaxed); }

private:
    struct Mapping {
        uint64_t rate;
        int64_t offset;
    };
    Mapping Load() const;
    // Writers hold the sequence odd while they change the mapping.
    uint32_t BeginWrite();
    void EndWrite(uint32_t sequence);

    std::atomic<uint32_t> sequence_{0};
    std::atomic<uint64_t> rate_{uint64_t{1} << 32};
    std::atomic<int64_t> offset_{0};
    std::atomic<float> speed_{1.0f};
};

// The wall clock that is never slowed, the client game's clock and the simulation's clock.
extern Clock RealClock;
extern Clock GameClock;
extern Clock ServerClock;
