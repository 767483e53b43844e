#pragma once
// The silent backend: it takes from the mixer the frames that the layer's
// clock (platform/timer.h, virtual in tests) has made due since it started,
// and drops them, so play cursors and the ends of play move as with a real
// device. A test may keep the frames instead.

#include <cstdint>
#include <vector>

#include "platform/dsound/audio_output.h"

namespace plat {

class SilentOutput final : public AudioOutput {
public:
    explicit SilentOutput(const SoundCaps& caps = DefaultSoundCaps()) : caps_(caps) {}

    SoundCaps Caps() const override { return caps_; }
    bool Start(Mixer& mixer, const WaveFormat& format) override;
    void Stop() override;
    void CatchUpLocked(Mixer& mixer) override;

    // With capture on, the frames are rendered and kept until taken.
    void SetCapture(bool on);
    std::vector<uint8_t> TakeCaptured();

private:
    SoundCaps caps_;
    Mixer* mixer_ = nullptr;
    WaveFormat format_;
    uint64_t startNs_ = 0;
    uint64_t framesTaken_ = 0;
    bool capture_ = false;
    std::vector<uint8_t> captured_;
};

} // namespace plat
