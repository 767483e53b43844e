#pragma once
// The sound layer on its silent backend and a clock that stands still until
// moved: tests start sounds, move time by exact frame counts or seconds and
// take the frames the mixer produced. The clocks are calibrated first, so
// RealClock reads seconds.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/dsound/silent_output.h"
#include "platform/virtual_clock.h"

class SilentSound {
public:
    explicit SilentSound(const plat::SoundCaps& caps = plat::DefaultSoundCaps(), bool capture = false);
    ~SilentSound();
    SilentSound(const SilentSound&) = delete;
    SilentSound& operator=(const SilentSound&) = delete;

    // Moves the clock on so that exactly n more frames at the rate are due
    // (counted from the last MoveFrames at that rate, or from the start).
    void MoveFrames(uint64_t n, uint32_t rate);
    void MoveSeconds(double seconds);
    std::vector<uint8_t> TakeFrames() { return output->TakeCaptured(); }
    // The frames taken as samples of a 16-bit mix.
    std::vector<int16_t> TakeSamples();

    std::shared_ptr<plat::SilentOutput> output;
    std::unique_ptr<plat::VirtualClock> clock;

private:
    uint64_t origin_ = 0;
    uint64_t frames_ = 0;
};
