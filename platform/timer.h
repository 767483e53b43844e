#pragma once
// Time sources: the virtual time-stamp counter and the millisecond timer.
//
// The "time-stamp counter" is a virtual 3 GHz counter (monotonic nanoseconds
// x 3), so a tick of the game's clocks (counter >> 20) is about 0.35 ms. The
// millisecond timer comes from the same source. Tests install a virtual source.

#include <cstdint>

namespace plat {

class TimeSource {
public:
    virtual ~TimeSource() = default;
    // Monotonic nanoseconds since an arbitrary origin.
    virtual uint64_t NowNanoseconds() = 0;
    // The time-stamp counter's cycles per second when the source vouches for
    // it; 0 (the default) when it must be measured.
    virtual uint64_t KnownCounterFrequency() { return 0; }
};

// Installs a source for every thread (null restores the system's monotonic clock).
void SetTimeSource(TimeSource* source);

// The virtual 3 GHz cycle counter.
uint64_t ReadTimeStampCounter();

// Milliseconds from the same source, wrapping at 2^32 (like timeGetTime).
uint32_t MillisecondTimer();

constexpr uint64_t kTimeStampCyclesPerNanosecond = 3;

// The time-stamp counter's cycles per second when they are known without
// measuring: always for the system's clock (the counter is virtual), as the
// installed source says otherwise (0: measure it).
uint64_t KnownTimeStampFrequency();

} // namespace plat
