#pragma once
// A time source for tests and recorded runs: installed for every thread while
// it exists, it advances by a fixed step on every reading, so loops that wait
// for time to pass (clock calibration) end at once, and its owner can move it
// explicitly. Runs on it are repeatable.

#include <atomic>
#include <cstdint>

#include "platform/timer.h"

namespace plat {

class VirtualClock : public TimeSource {
public:
    static constexpr uint64_t kMillisecond = 1'000'000;

    // Installs the clock; it starts at 0 and each reading first adds stepNs.
    explicit VirtualClock(uint64_t stepNs = kMillisecond);
    // Restores the system's clock.
    ~VirtualClock() override;
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    uint64_t NowNanoseconds() override;
    void Advance(uint64_t ns);
    void Set(uint64_t ns);

private:
    std::atomic<uint64_t> now_{0};
    const uint64_t step_;
};

} // namespace plat
