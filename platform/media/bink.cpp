#include "platform/media/bink.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>

#include "platform/media/audio_decoder.h"
#include "platform/media/stream_buffer.h"
#include "platform/timer.h"

namespace plat {
namespace {

constexpr uint64_t kNanosecondsPerSecond = 1'000'000'000;
constexpr uint32_t kSoundOnlyFrameRate = 30;

std::atomic<DirectSound*> g_soundOutput{nullptr};

uint64_t NowNs() { return ReadTimeStampCounter() / kTimeStampCyclesPerNanosecond; }

uint64_t MulDivCeil(uint64_t a, uint64_t b, uint64_t c) {
    return static_cast<uint64_t>((static_cast<unsigned __int128>(a) * b + c - 1) / c);
}
uint64_t MulDiv(uint64_t a, uint64_t b, uint64_t c) {
    return static_cast<uint64_t>(static_cast<unsigned __int128>(a) * b / c);
}

} // namespace

struct Bink {
    std::unique_ptr<AudioDecoder> decoder;
    std::unique_ptr<StreamBuffer> buffer;
    uint32_t rate = 0;
    uint32_t frameRate = kSoundOnlyFrameRate, frameRateScale = 1; // frames a second = rate / scale
    uint32_t frameCount = 1;
    std::atomic<uint32_t> currentFrame{0};
    uint64_t fileSample = 0; // the sound's position, in frame time
    uint32_t prerollFrames = 0; // frames decoded ahead of their time

    std::mutex mutex; // the pacing and play state below, shared with the pausing thread
    bool sounding = false; // the buffer plays (unless paused)
    bool ending = false;   // the last frame was decoded; its sound ends at endNs
    uint64_t endNs = 0;
    uint64_t framesDone = 0;
    uint64_t startNs = 0, pausedAtNs = 0;
    bool paused = false;

    // The first sample frame of frame k.
    uint64_t SampleAt(uint64_t k) const { return MulDiv(k * rate, frameRateScale, frameRate); }
};

DirectSound* BinkOpenDirectSound(DirectSound* device) { return device; }

bool BinkSetSoundSystem(BinkSoundOpen open, DirectSound* device) {
    g_soundOutput.store(open ? open(device) : nullptr);
    return true;
}

Bink* BinkOpen(std::string_view name, uint32_t) {
    std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(name);
    if (!decoder) return nullptr;
    const AudioStreamInfo& info = decoder->Info();
    auto bink = std::make_unique<Bink>();
    bink->rate = info.rate;
    if (info.videoRate > 0 && info.videoRateScale > 0) {
        bink->frameRate = info.videoRate;
        bink->frameRateScale = info.videoRateScale;
    }
    const uint64_t frames = info.videoRate > 0 && info.videoFrames > 0
                                ? info.videoFrames
                                : MulDivCeil(info.frames, bink->frameRate, uint64_t{info.rate} * bink->frameRateScale);
    bink->frameCount = static_cast<uint32_t>(std::clamp<uint64_t>(frames, 1, UINT32_MAX));
    // A quarter of a second is decoded ahead; the buffer holds four times that, and a second at least.
    bink->prerollFrames = static_cast<uint32_t>(MulDivCeil(bink->frameRate, 1, 4ull * bink->frameRateScale));
    const uint64_t frameSamples = MulDivCeil(info.rate, bink->frameRateScale, bink->frameRate);
    const auto bufferFrames = static_cast<uint32_t>(
        std::max<uint64_t>(info.rate, 4 * (bink->prerollFrames + 1) * frameSamples));
    bink->buffer = std::make_unique<StreamBuffer>(g_soundOutput.load(), info.rate, info.channels, bufferFrames,
                                                  GainGroup::Wave);
    bink->decoder = std::move(decoder);
    bink->startNs = NowNs();
    return bink.release();
}

void BinkClose(Bink* bink) { delete bink; }

uint32_t BinkFrameCount(const Bink* bink) { return bink->frameCount; }

uint32_t BinkCurrentFrame(const Bink* bink) { return bink->currentFrame.load(); }

// The buffer's volume is set under the sound layer's lock, so any thread may set it.
void BinkSetVolume(Bink* bink, int32_t volume) { bink->buffer->SetVolume(volume); }

bool BinkWait(Bink* bink) {
    std::lock_guard hold(bink->mutex);
    if (bink->paused) return true;
    const uint64_t now = NowNs();
    if (bink->ending && now >= bink->endNs) {
        // The file's sound has played out and no frame followed: the buffer
        // stops rather than sound its loop again.
        bink->ending = bink->sounding = false;
        bink->buffer->Stop();
    }
    if (bink->framesDone <= bink->prerollFrames) return false;
    const uint64_t due = bink->startNs + MulDiv((bink->framesDone - bink->prerollFrames) * kNanosecondsPerSecond,
                                                bink->frameRateScale, bink->frameRate);
    return now < due;
}

void BinkDoFrame(Bink* bink) {
    const uint32_t frame = bink->currentFrame.load();
    const uint64_t end = bink->SampleAt(uint64_t{frame} + 1);
    uint64_t remaining = end > bink->fileSample ? end - bink->fileSample : 0;
    while (remaining > 0) {
        const auto n = static_cast<uint32_t>(std::min<uint64_t>(remaining, bink->buffer->Frames() / 2));
        const int64_t got = bink->buffer->Decode(*bink->decoder, n);
        // Sound the file lacks, or cannot give, is silence.
        if (got < n) bink->buffer->WriteSilence(n - static_cast<uint32_t>(std::max<int64_t>(got, 0)));
        remaining -= n;
    }
    bink->fileSample = std::max(bink->fileSample, end);
    const bool last = frame + 1 == bink->frameCount;
    const uint32_t unplayed = bink->buffer->Unplayed();
    if (last) {
        // Silence after the last frame, until the buffer is stopped at the
        // sound's end; the write position then goes back to the end of the
        // last frame (a whole turn less the silence).
        const uint32_t silence = std::min(bink->buffer->Frames() - unplayed, bink->rate / 10);
        bink->buffer->WriteSilence(silence);
        bink->buffer->Skip(bink->buffer->Frames() - silence);
    }
    std::lock_guard hold(bink->mutex);
    bink->ending = last;
    if (last) bink->endNs = NowNs() + MulDiv(unplayed, kNanosecondsPerSecond, bink->rate);
    if (!bink->sounding) {
        bink->sounding = true;
        if (!bink->paused) bink->buffer->Play();
    }
}

void BinkNextFrame(Bink* bink) {
    uint32_t next = bink->currentFrame.load() + 1;
    if (next >= bink->frameCount) {
        next = 0;
        bink->decoder->Seek(0);
        bink->fileSample = 0;
    }
    bink->currentFrame.store(next);
    std::lock_guard hold(bink->mutex);
    ++bink->framesDone;
}

void BinkPause(Bink* bink, bool pause) {
    std::lock_guard hold(bink->mutex);
    if (pause == bink->paused) return;
    bink->paused = pause;
    if (pause) {
        bink->pausedAtNs = NowNs();
        bink->buffer->Stop();
        return;
    }
    const uint64_t paused = NowNs() - bink->pausedAtNs;
    bink->startNs += paused;
    bink->endNs += paused;
    if (bink->sounding) bink->buffer->Play();
}

} // namespace plat
