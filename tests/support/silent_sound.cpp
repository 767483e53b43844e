#include "tests/support/silent_sound.h"

#include <cstring>

#include "core/clock.h"
#include "platform/dsound/audio_output.h"

SilentSound::SilentSound(const plat::SoundCaps& caps, bool capture) {
    {
        // A step each reading, so the calibration ends; long enough that the
        // measured rate matches the clock's, and RealClock keeps the device's time.
        plat::VirtualClock calibrating;
        RecalibrateClocks(200);
    }
    clock = std::make_unique<plat::VirtualClock>(0);
    clock->Set(1'000'000'000);
    origin_ = clock->NowNanoseconds();
    output = std::make_shared<plat::SilentOutput>(caps);
    output->SetCapture(capture);
    plat::InstallAudioBackend(output);
}

SilentSound::~SilentSound() { plat::InstallAudioBackend(nullptr); }

void SilentSound::MoveFrames(uint64_t n, uint32_t rate) {
    frames_ += n;
    // The first nanosecond at which the frame count is due.
    const uint64_t ns = (frames_ * 1'000'000'000 + rate - 1) / rate;
    clock->Set(origin_ + ns);
}

void SilentSound::MoveSeconds(double seconds) {
    clock->Advance(static_cast<uint64_t>(seconds * 1e9));
    origin_ = clock->NowNanoseconds();
    frames_ = 0;
}

std::vector<int16_t> SilentSound::TakeSamples() {
    const std::vector<uint8_t> bytes = TakeFrames();
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}
