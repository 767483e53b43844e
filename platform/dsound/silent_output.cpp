#include "platform/dsound/silent_output.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "platform/dsound/mixer.h"
#include "platform/timer.h"

namespace plat {
namespace {

constexpr uint64_t kNanosecondsPerSecond = 1'000'000'000;

uint64_t NowNanoseconds() { return ReadTimeStampCounter() / kTimeStampCyclesPerNanosecond; }

} // namespace

bool SilentOutput::Start(Mixer& mixer, const WaveFormat& format) {
    std::lock_guard hold(mixer.Mutex());
    mixer_ = &mixer;
    format_ = format;
    startNs_ = NowNanoseconds();
    framesTaken_ = 0;
    return true;
}

void SilentOutput::Stop() {
    if (!mixer_) return;
    std::lock_guard hold(mixer_->Mutex());
    CatchUpLocked(*mixer_);
    mixer_ = nullptr;
}

void SilentOutput::CatchUpLocked(Mixer& mixer) {
    if (&mixer != mixer_) return;
    const uint64_t elapsed = NowNanoseconds() - startNs_;
    const auto due = static_cast<uint64_t>(static_cast<unsigned __int128>(elapsed) * format_.samplesPerSec /
                                           kNanosecondsPerSecond);
    while (framesTaken_ < due) {
        const auto n = static_cast<uint32_t>(std::min<uint64_t>(due - framesTaken_, 1u << 20));
        if (capture_) {
            const size_t at = captured_.size();
            captured_.resize(at + size_t{n} * format_.blockAlign);
            mixer.MixLocked(captured_.data() + at, n);
        } else {
            mixer.SkipLocked(n);
        }
        framesTaken_ += n;
    }
}

void SilentOutput::SetCapture(bool on) {
    // Frames due before the change are taken the old way.
    if (mixer_) {
        std::lock_guard hold(mixer_->Mutex());
        CatchUpLocked(*mixer_);
    }
    capture_ = on;
}

std::vector<uint8_t> SilentOutput::TakeCaptured() {
    if (mixer_) {
        std::lock_guard hold(mixer_->Mutex());
        CatchUpLocked(*mixer_);
    }
    return std::exchange(captured_, {});
}

} // namespace plat
