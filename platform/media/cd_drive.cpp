#include "platform/media/cd_drive.h"

#include <algorithm>
#include <atomic>

#include "platform/dsound/direct_sound.h"
#include "platform/media/audio_decoder.h"
#include "platform/media/stream_buffer.h"
#include "platform/threads.h"
#include "platform/timer.h"

namespace plat {
namespace {

constexpr uint64_t kNanosecondsPerSecond = 1'000'000'000;
// The feeder keeps half a second decoded ahead of the cursor in a two-second
// buffer, and looks again every 20 ms.
constexpr uint32_t kLeadFrames = kCdSampleRate / 2;
constexpr uint32_t kBufferFrames = kCdSampleRate * 2;
constexpr uint32_t kFeedIntervalMs = 20;

uint64_t NowNs() { return ReadTimeStampCounter() / kTimeStampCyclesPerNanosecond; }

// Reads the disc's sound from a sample frame on, track after track, into a
// stream buffer: audio tracks from their files (silence past a file's end),
// data tracks as silence.
class DiscReader {
public:
    DiscReader(CdDisc disc, uint64_t sample) : disc_(std::move(disc)), sample_(sample) {}

    // Writes n sample frames; -1 when a track cannot be read.
    int64_t Write(StreamBuffer& buffer, uint64_t n) {
        while (n > 0) {
            const int t = disc_.TrackAt(static_cast<uint32_t>(sample_ / kCdSamplesPerFrame));
            const CdTrack& track = disc_.Track(t);
            const uint64_t trackStart = uint64_t{track.start} * kCdSamplesPerFrame;
            const uint64_t trackEnd = uint64_t{track.start + track.length} * kCdSamplesPerFrame;
            const auto k = static_cast<uint32_t>(std::min<uint64_t>({n, trackEnd - sample_, buffer.Frames()}));
            if (k == 0) return -1; // past the disc's end
            uint32_t decoded = 0;
            if (track.audio) {
                if (!Position(t, sample_ - trackStart)) return -1;
                if (!exhausted_) {
                    const int64_t r = buffer.Decode(*decoder_, k);
                    if (r < 0) return -1;
                    decoded = static_cast<uint32_t>(r);
                    decoderSample_ += decoded;
                    exhausted_ = decoded < k;
                }
            }
            buffer.WriteSilence(k - decoded);
            sample_ += k;
            n -= k;
        }
        return 0;
    }

    void Skip(uint64_t n) { sample_ += n; }

private:
    // The decoder of track t, about to read at this sample of the track.
    bool Position(int t, uint64_t sample) {
        if (decoder_ && decoderTrack_ == t && (decoderSample_ == sample || exhausted_)) return true;
        if (!decoder_ || decoderTrack_ != t) {
            decoder_ = OpenAudioDecoder(disc_.Track(t).path, {kCdSampleRate, kCdChannels});
            decoderTrack_ = t;
            if (!decoder_) return false;
        }
        if (!decoder_->Seek(sample)) return false;
        decoderSample_ = sample;
        exhausted_ = false;
        return true;
    }

    const CdDisc disc_;
    uint64_t sample_;
    std::unique_ptr<AudioDecoder> decoder_;
    int decoderTrack_ = 0;
    uint64_t decoderSample_ = 0;
    bool exhausted_ = false;
};

} // namespace

class CdDrive::Feeder {
public:
    Feeder(const CdDisc& disc, uint32_t from) : reader(disc, uint64_t{from} * kCdSamplesPerFrame) {}

    ~Feeder() { thread.Join(); }

    // Makes the buffer on the sound device and starts it.
    void Open() {
        DirectSound* device = nullptr;
        if (Failed(DirectSoundCreate(nullptr, &device, nullptr))) device = nullptr;
        buffer = std::make_unique<StreamBuffer>(device, kCdSampleRate, kCdChannels, kBufferFrames, GainGroup::Cd);
        if (device) device->Release(); // the buffer holds its own reference
        buffer->Play();
    }

    // Under the drive's lock: the feeder does nothing more and goes quiet.
    void Cancel() {
        cancelled = true;
        buffer->Stop();
        wake.Set();
    }

    std::unique_ptr<StreamBuffer> buffer;
    DiscReader reader;
    bool cancelled = false; // under the drive's lock
    Event wake;
    Thread thread;
};

CdDrive::CdDrive(MciDeviceId id, std::string folder) : id_(id), folder_(std::move(folder)) {}

CdDrive::~CdDrive() {
    std::unique_ptr<Feeder> feeder;
    {
        std::lock_guard hold(mutex_);
        feeder = TakeFeederLocked();
    }
}

void CdDrive::RefreshDiscLocked() {
    if (state_ != State::Stopped) return;
    std::string print = CdDisc::Fingerprint(folder_);
    if (read_ && print == fingerprint_) return;
    disc_ = CdDisc::Read(folder_);
    fingerprint_ = std::move(print);
    read_ = true;
    position_ = 0;
}

uint64_t CdDrive::PlayedLocked(uint64_t nowNs) const {
    const uint64_t until = state_ == State::Paused ? pausedAtNs_ : nowNs;
    const uint64_t elapsed = until > startNs_ ? until - startNs_ : 0;
    return static_cast<uint64_t>(static_cast<unsigned __int128>(elapsed) * kCdSampleRate / kNanosecondsPerSecond);
}

uint64_t CdDrive::PlayLengthLocked() const { return uint64_t{playTo_ - playFrom_} * kCdSamplesPerFrame; }

uint32_t CdDrive::PositionLocked(uint64_t nowNs) const {
    if (state_ == State::Stopped) return position_;
    const uint64_t played = std::min(PlayedLocked(nowNs), PlayLengthLocked());
    return playFrom_ + static_cast<uint32_t>(played / kCdSamplesPerFrame);
}

bool CdDrive::ToDiscFrame(uint32_t value, uint32_t* frame) const {
    uint32_t at = 0;
    if (timeFormat_ == kMciFormatTmsf) {
        const int t = static_cast<int>(value & 0xFF);
        if (t < 1 || t > disc_.TrackCount()) return false;
        at = disc_.Track(t).start + MciMsfToFrames(value >> 8);
    } else {
        at = MciMsfToFrames(value);
    }
    if (at > disc_.Length()) return false;
    *frame = at;
    return true;
}

MciError CdDrive::SetTimeFormat(uint32_t format) {
    if (format != kMciFormatMsf && format != kMciFormatTmsf) return kMciErrBadTimeFormat;
    std::lock_guard hold(mutex_);
    timeFormat_ = format;
    return kMciOk;
}

MciError CdDrive::Status(uint32_t item, uint32_t track, uint32_t* value) {
    if (!value) return kMciErrUnsupportedFunction;
    std::lock_guard hold(mutex_);
    RefreshDiscLocked();
    if (item == kMciStatusMode) {
        if (!disc_.Present()) *value = kMciModeOpen;
        else *value = state_ == State::Playing ? kMciModePlay : state_ == State::Paused ? kMciModePause : kMciModeStop;
        return kMciOk;
    }
    if (!disc_.Present()) return kMciErrDeviceNotReady;
    const auto trackValid = [&] { return track >= 1 && track <= static_cast<uint32_t>(disc_.TrackCount()); };
    switch (item) {
    case kMciStatusLength:
        if (track == 0) *value = MciFramesToMsf(disc_.Length());
        else if (trackValid()) *value = MciFramesToMsf(disc_.Track(static_cast<int>(track)).length);
        else return kMciErrOutOfRange;
        return kMciOk;
    case kMciCdaStatusTypeTrack:
        if (!trackValid()) return kMciErrOutOfRange;
        *value = disc_.Track(static_cast<int>(track)).audio ? kMciCdaTrackAudio : kMciCdaTrackOther;
        return kMciOk;
    case kMciStatusPosition: {
        const uint32_t at = PositionLocked(NowNs());
        if (timeFormat_ == kMciFormatTmsf) {
            const int t = disc_.TrackAt(at);
            *value = static_cast<uint32_t>(t) | MciFramesToMsf(at - disc_.Track(t).start) << 8;
        } else {
            *value = MciFramesToMsf(at);
        }
        return kMciOk;
    }
    case kMciStatusCurrentTrack:
        *value = static_cast<uint32_t>(disc_.TrackAt(PositionLocked(NowNs())));
        return kMciOk;
    default: return kMciErrUnsupportedFunction;
    }
}

MciError CdDrive::Play(uint32_t flags, uint32_t from, uint32_t to) {
    std::unique_ptr<Feeder> previous;
    {
        std::lock_guard hold(mutex_);
        RefreshDiscLocked();
        if (!disc_.Present()) return kMciErrDeviceNotReady;
        const uint64_t now = NowNs();
        uint32_t start = PositionLocked(now), end = disc_.Length();
        if ((flags & kMciFrom) && !ToDiscFrame(from, &start)) return kMciErrOutOfRange;
        if ((flags & kMciTo) && !ToDiscFrame(to, &end)) return kMciErrOutOfRange;
        if (start > end) return kMciErrOutOfRange;
        if (notify_) PostMciNotify(kMciNotifySuperseded, id_);
        previous = TakeFeederLocked();
        playFrom_ = start;
        playTo_ = end;
        startNs_ = now;
        notify_ = (flags & kMciNotify) != 0;
        state_ = State::Playing;
        if (start == end) {
            FinishLocked(kMciNotifySuccessful, now);
        } else {
            feeder_ = std::make_unique<Feeder>(disc_, start);
            feeder_->Open();
            Feeder* feeder = feeder_.get();
            if (feeder->thread.Start([this, feeder] { Feed(*feeder); }))
                feeder->thread.SetPriority(ThreadPriority::AboveNormal);
            else
                FinishLocked(kMciNotifyFailure, now);
        }
    }
    return kMciOk;
}

MciError CdDrive::Stop() {
    std::unique_ptr<Feeder> feeder;
    {
        std::lock_guard hold(mutex_);
        if (!disc_.Present()) return kMciErrDeviceNotReady;
        if (state_ != State::Stopped) {
            position_ = PositionLocked(NowNs());
            state_ = State::Stopped;
            if (notify_) PostMciNotify(kMciNotifyAborted, id_);
            notify_ = false;
        }
        feeder = TakeFeederLocked();
    }
    return kMciOk;
}

MciError CdDrive::Pause() {
    std::lock_guard hold(mutex_);
    if (!disc_.Present()) return kMciErrDeviceNotReady;
    if (state_ == State::Playing) {
        pausedAtNs_ = NowNs();
        state_ = State::Paused;
        feeder_->buffer->Stop();
    }
    return kMciOk;
}

MciError CdDrive::Resume() {
    std::lock_guard hold(mutex_);
    if (!disc_.Present()) return kMciErrDeviceNotReady;
    if (state_ == State::Paused) {
        startNs_ += NowNs() - pausedAtNs_;
        state_ = State::Playing;
        feeder_->buffer->Play();
    }
    return kMciOk;
}

void CdDrive::CatchUp() {
    std::lock_guard hold(mutex_);
    const uint64_t now = NowNs();
    if (state_ == State::Playing && PlayedLocked(now) >= PlayLengthLocked()) FinishLocked(kMciNotifySuccessful, now);
}

void CdDrive::FinishLocked(uint32_t flags, uint64_t nowNs) {
    // A finished play leaves the drive on the last frame it played.
    position_ = flags == kMciNotifySuccessful ? (playTo_ > playFrom_ ? playTo_ - 1 : playTo_) : PositionLocked(nowNs);
    state_ = State::Stopped;
    if (notify_) PostMciNotify(flags, id_);
    notify_ = false;
    if (feeder_) feeder_->Cancel();
}

std::unique_ptr<CdDrive::Feeder> CdDrive::TakeFeederLocked() {
    if (feeder_) feeder_->Cancel();
    return std::move(feeder_);
}

void CdDrive::Feed(Feeder& feeder) {
    uint64_t written = 0;
    bool ended = false;
    for (;;) {
        uint64_t played = 0, length = 0;
        bool paused = false;
        {
            std::lock_guard hold(mutex_);
            if (feeder.cancelled) return;
            const uint64_t now = NowNs();
            played = PlayedLocked(now);
            length = PlayLengthLocked();
            if (state_ == State::Playing && played >= length) {
                FinishLocked(kMciNotifySuccessful, now);
                return;
            }
            paused = state_ == State::Paused;
        }
        if (!paused && !ended) {
            // Sound the clock has already passed is not decoded.
            if (written < played) {
                feeder.reader.Skip(played - written);
                feeder.buffer->Skip(static_cast<uint32_t>((played - written) % feeder.buffer->Frames()));
                written = played;
            }
            const uint64_t target = std::min(length, played + kLeadFrames);
            if (target > written) {
                if (feeder.reader.Write(*feeder.buffer, target - written) < 0) {
                    std::lock_guard hold(mutex_);
                    if (!feeder.cancelled) FinishLocked(kMciNotifyFailure, NowNs());
                    return;
                }
                written = target;
            }
            if (written == length) {
                // Silence after the end, so the loop does not play old sound again.
                feeder.buffer->WriteSilence(feeder.buffer->Frames() / 2);
                ended = true;
            }
        }
        feeder.wake.Wait(kFeedIntervalMs);
    }
}

} // namespace plat
