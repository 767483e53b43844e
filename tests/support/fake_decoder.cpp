#include "tests/support/fake_decoder.h"

#include <algorithm>
#include <memory>
#include <sstream>

#include "platform/files.h"
#include "platform/media/audio_decoder.h"

namespace {

class FakeAudioDecoder final : public plat::AudioDecoder {
public:
    FakeAudioDecoder(const FakeSound& sound, const plat::AudioOutputRequest& request) : failAfter_(sound.failAfter) {
        info_.rate = request.rate ? request.rate : sound.rate;
        info_.channels = request.channels ? request.channels : std::min<uint16_t>(sound.channels, 2);
        info_.frames = sound.frames * info_.rate / sound.rate;
        info_.videoRate = sound.videoRate;
        info_.videoRateScale = sound.videoRateScale;
        info_.videoFrames = sound.videoFrames;
    }

    const plat::AudioStreamInfo& Info() const override { return info_; }

    int64_t Read(int16_t* out, uint32_t frames) override {
        if (failAfter_ >= 0 && read_ >= static_cast<uint64_t>(failAfter_)) return -1;
        uint64_t n = std::min<uint64_t>(frames, info_.frames - position_);
        if (failAfter_ >= 0) n = std::min<uint64_t>(n, static_cast<uint64_t>(failAfter_) - read_);
        for (uint64_t i = 0; i < n; ++i)
            for (uint16_t c = 0; c < info_.channels; ++c) *out++ = FakeSample(position_ + i);
        position_ += n;
        read_ += n;
        return static_cast<int64_t>(n);
    }

    bool Seek(uint64_t frame) override {
        position_ = std::min(frame, info_.frames);
        return true;
    }

private:
    plat::AudioStreamInfo info_;
    int64_t failAfter_;
    uint64_t position_ = 0;
    uint64_t read_ = 0;
};

} // namespace

std::string FakeSoundFile(const FakeSound& s) {
    std::ostringstream out;
    out << "FAKE " << s.rate << ' ' << s.channels << ' ' << s.frames << ' ' << s.failAfter << ' ' << s.videoRate << ' '
        << s.videoRateScale << ' ' << s.videoFrames << '\n';
    return out.str();
}

FakeDecoder::FakeDecoder() {
    plat::RegisterAudioDecoder(
        [this](const std::string& path,
               const plat::AudioOutputRequest& request) -> std::unique_ptr<plat::AudioDecoder> {
            std::string content;
            if (!plat::ReadWholeFile(path, content) || content.rfind("FAKE ", 0) != 0) return nullptr;
            FakeSound sound;
            std::istringstream in(content.substr(5));
            in >> sound.rate >> sound.channels >> sound.frames >> sound.failAfter >> sound.videoRate >>
                sound.videoRateScale >> sound.videoFrames;
            if (!in || sound.rate == 0 || sound.channels == 0) return nullptr;
            {
                std::lock_guard hold(mutex_);
                opened_.push_back(path);
            }
            return std::make_unique<FakeAudioDecoder>(sound, request);
        });
}

FakeDecoder::~FakeDecoder() { plat::RegisterAudioDecoder(nullptr); }

std::vector<std::string> FakeDecoder::Opened() const {
    std::lock_guard hold(mutex_);
    return opened_;
}
