#include "platform/media/stream_buffer.h"

#include <algorithm>
#include <cstring>

#include "platform/dsound/direct_sound.h"
#include "platform/media/audio_decoder.h"

namespace plat {

int32_t AttenuationOfLinearVolume(int32_t volume) {
    if (volume >= 32768) return kVolumeMax;
    if (volume <= 0) return kVolumeMin;
    // Gains fall as attenuations grow: find the nearest of the two around the wanted gain.
    const int32_t wanted = volume * 2; // 16.16
    int32_t low = 0, high = -kVolumeMin;
    while (high - low > 1) {
        const int32_t middle = (low + high) / 2;
        if (AttenuationGain(-middle) >= wanted) low = middle;
        else high = middle;
    }
    const bool lowNearer = AttenuationGain(-low) - wanted <= wanted - AttenuationGain(-high);
    return -(lowNearer ? low : high);
}

StreamBuffer::StreamBuffer(DirectSound* device, uint32_t rate, uint16_t channels, uint32_t frames, GainGroup group)
    : frames_(frames), blockAlign_(channels * 2u) {
    if (!device) {
        scratch_.resize(size_t{frames} * channels);
        return;
    }
    const WaveFormat format = PcmFormat(rate, 16, channels);
    SoundBufferDesc desc;
    desc.flags = kBufferCtrlVolume | kBufferGetCurrentPosition2;
    desc.bufferBytes = frames * blockAlign_;
    desc.format = &format;
    if (Failed(device->CreateSoundBuffer(desc, &buffer_, nullptr))) {
        buffer_ = nullptr;
        scratch_.resize(size_t{frames} * channels);
        return;
    }
    buffer_->SetGainGroup(group);
}

StreamBuffer::~StreamBuffer() {
    if (buffer_) buffer_->Release();
}

template <class Fill>
int64_t StreamBuffer::WriteAt(uint32_t frames, Fill fill) {
    frames = std::min(frames, frames_);
    if (frames == 0) return 0;
    void* first = nullptr;
    void* second = nullptr;
    uint32_t firstBytes = 0, secondBytes = 0;
    if (buffer_) {
        if (Failed(buffer_->Lock(writeFrame_ * blockAlign_, frames * blockAlign_, &first, &firstBytes, &second,
                                 &secondBytes, 0)))
            return 0;
    } else {
        // Without a device the scratch stands in, wrapping the same way.
        const uint32_t n1 = std::min(frames, frames_ - writeFrame_);
        first = scratch_.data() + size_t{writeFrame_} * blockAlign_ / 2;
        firstBytes = n1 * blockAlign_;
        second = scratch_.data();
        secondBytes = (frames - n1) * blockAlign_;
    }
    const uint32_t firstFrames = firstBytes / blockAlign_, secondFrames = secondBytes / blockAlign_;
    int64_t written = fill(static_cast<int16_t*>(first), firstFrames);
    if (written == firstFrames && secondFrames > 0) {
        const int64_t more = fill(static_cast<int16_t*>(second), secondFrames);
        written = more < 0 ? -1 : written + more;
    }
    const uint32_t done = written < 0 ? 0 : static_cast<uint32_t>(written);
    if (buffer_) {
        const uint32_t doneFirst = std::min(done, firstFrames);
        buffer_->Unlock(first, doneFirst * blockAlign_, done > firstFrames ? second : nullptr,
                        (done - doneFirst) * blockAlign_);
    }
    writeFrame_ = (writeFrame_ + done) % frames_;
    return written;
}

int64_t StreamBuffer::Decode(AudioDecoder& decoder, uint32_t frames) {
    if (decoder.Info().channels * 2u != blockAlign_) return -1;
    return WriteAt(frames, [&decoder](int16_t* out, uint32_t n) -> int64_t {
        uint32_t got = 0;
        while (got < n) {
            const int64_t r = decoder.Read(out + size_t{got} * decoder.Info().channels, n - got);
            if (r < 0) return -1;
            if (r == 0) break;
            got += static_cast<uint32_t>(r);
        }
        return got;
    });
}

void StreamBuffer::WriteSilence(uint32_t frames) {
    while (frames > 0) {
        const uint32_t n = std::min(frames, frames_);
        WriteAt(n, [this](int16_t* out, uint32_t count) -> int64_t {
            std::memset(out, 0, size_t{count} * blockAlign_);
            return count;
        });
        frames -= n;
    }
}

void StreamBuffer::Skip(uint32_t frames) {
    writeFrame_ = static_cast<uint32_t>((uint64_t{writeFrame_} + frames) % frames_);
}

void StreamBuffer::Play() {
    if (buffer_) buffer_->Play(0, 0, kPlayLooping);
}

void StreamBuffer::Stop() {
    if (buffer_) buffer_->Stop();
}

void StreamBuffer::SetVolume(int32_t volume) {
    if (buffer_) buffer_->SetVolume(AttenuationOfLinearVolume(volume));
}

uint32_t StreamBuffer::Unplayed() const {
    if (!buffer_) return 0;
    uint32_t play = 0;
    buffer_->GetCurrentPosition(&play, nullptr);
    return (writeFrame_ + frames_ - play / blockAlign_) % frames_;
}

} // namespace plat
