#include "sound/sound_system.h"

#include <cmath>

#include "Awapi/object.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "platform/dsound/direct_sound.h"
#include "sound/sound_bank.h"
#include "sound/sound_devices.h"

using namespace sound_flags;

SoundSystem* SoundSystemInstance = nullptr;

namespace {

constexpr int32_t kMinHardwareVoices = 16;
constexpr int32_t kMaxHardwareVoices = 32;

} // namespace

SoundSystem::SoundSystem(const SoundDeviceEntry* device, int32_t sampleCount)
    : device_(device ? std::optional<SoundDeviceEntry>(*device) : std::nullopt),
      samples_(static_cast<size_t>(sampleCount)),
      cues_(kCueCount),
      voices_(kVoiceCount),
      instances_(kInstanceCount),
      loudness_(kVoiceCount) {
    const auto mixing = device ? static_cast<int32_t>(device->caps.maxHwMixingAllBuffers) : 0;
    hardwareVoices_ = mixing > kMinHardwareVoices && mixing <= kMaxHardwareVoices ? mixing : kMinHardwareVoices;
    // Voice 0 and instance 0 are never used.
    for (int32_t i = 1; i < kVoiceCount; ++i) voices_[static_cast<size_t>(i)].nextFree = i + 1 < kVoiceCount ? i + 1 : 0;
    freeVoices_ = 1;
    for (int32_t i = 1; i < kInstanceCount; ++i)
        instances_[static_cast<size_t>(i)].nextFree = i + 1 < kInstanceCount ? i + 1 : 0;
    freeInstances_ = 1;
}

SoundSystem::~SoundSystem() {
    for (SoundVoice& v : voices_) {
        if (v.buffer) ReleaseBuffer(v.buffer);
        if ((v.flags & kVoiceActive) && v.tracked) v.tracked->Release();
    }
    for (SoundCueInstance& i : instances_)
        if ((i.flags & kInstanceActive) && i.tracked) i.tracked->Release();
    for (SoundSample& s : samples_)
        if (s.buffer) ReleaseBuffer(s.buffer);
}

void SoundSystem::ReleaseBuffer(SoundBufferHandle buffer) {
    if (buffer) buffer->Release();
}

// ---------------------------------------------------------------- playing

void SoundSystem::ParseOptions(const char* options, va_list args, bool cue, Options& o) const {
    for (const char* p = options ? options : ""; *p; ++p) {
        switch (*p) {
        case 'I':
            o.range = static_cast<float>(va_arg(args, double));
            o.rangeGiven = true;
            break;
        case 'R':
            o.secondRange = static_cast<float>(va_arg(args, double));
            o.secondRangeGiven = true;
            break;
        case 'd': {
            const float* xyz = va_arg(args, const float*);
            o.position = {xyz[0], xyz[1], xyz[2]};
            o.positioned = true;
            break;
        }
        case 'e':
            if (cue) break;
            o.ownerHandle = va_arg(args, int32_t*);
            if (o.ownerHandle) *o.ownerHandle = -1;
            o.owner = true;
            break;
        case 'f':
            o.frequency = va_arg(args, int32_t);
            break;
        case 'l':
            if (!cue) o.loop = true;
            break;
        case 'n':
            o.flags |= kVoiceOptionN;
            break;
        case 'r':
            o.flags |= kVoiceOptionR;
            break;
        case 't':
            o.object = va_arg(args, AwObject*);
            o.tracked = true;
            break;
        case 'v':
            o.volume = va_arg(args, int32_t);
            o.volumeGiven = true;
            break;
        case 'x':
            o.cueHandle = va_arg(args, int32_t*);
            if (cue && o.cueHandle) *o.cueHandle = -1;
            break;
        default: // "m" and unknown letters: nothing
            break;
        }
    }
}

bool SoundSystem::IsUsableSample(int32_t sample) const {
    return sample > 0 && sample < SampleCount() && (samples_[static_cast<size_t>(sample)].flags & kSampleInUse);
}

SoundVoice SoundSystem::Request(int32_t sample, const Options& o, uint32_t extraFlags) const {
    const SoundSample& s = samples_[static_cast<size_t>(sample)];
    SoundVoice r;
    r.sample = sample;
    r.volume = r.currentVolume = o.volumeGiven ? o.volume : s.volume;
    r.frequency = o.frequency;
    const float range = o.rangeGiven ? o.range : s.range;
    r.rangeSquared = range * range;
    r.secondRange = o.secondRangeGiven ? o.secondRange : s.secondRange;
    r.ownerHandle = o.ownerHandle;
    r.cueHandle = o.cueHandle;
    r.tracked = o.object;
    r.position = o.position;
    r.flags = extraFlags | o.flags | (o.loop ? kVoiceLoops : 0) |
              (!o.positioned && !o.tracked ? kVoiceUnpositioned : 0);
    r.bytesPerSecond = s.bytesPerSecond;
    r.dataLength = s.dataLength;
    r.startTime = RealClock.GetSeconds();
    r.endTime = r.startTime + s.duration;
    return r;
}

int32_t SoundSystem::Play(int32_t sample, const char* options, ...) {
    va_list args;
    va_start(args, options);
    const int32_t voice = PlayList(sample, options, args);
    va_end(args);
    return voice;
}

int32_t SoundSystem::PlayList(int32_t sample, const char* options, va_list args) {
    if (state_ == kSilent) return -1;
    if (sample == 0) return 0;
    Options o;
    ParseOptions(options, args, false, o);
    if ((o.loop && !o.owner) || (o.tracked && o.positioned)) return 0;
    // A free or foreign slot has nothing to play (a looping play of it would have no length).
    if (!IsUsableSample(sample)) return 0;
    return StartVoice(Request(sample, o, 0));
}

int32_t SoundSystem::StartVoice(const SoundVoice& request) {
    if (state_ == kSilent) return -2;
    if (freeVoices_ == 0) return 0;
    const int32_t n = freeVoices_;
    SoundVoice& v = voices_[static_cast<size_t>(n)];
    freeVoices_ = v.nextFree;
    v = request;
    v.index = n;
    v.nextFree = 0;
    v.cursor = 0;
    v.buffer = nullptr;
    v.flags = (request.flags & kVoiceRequestBits) | kVoiceActive | kVoiceStartedThisFrame;
    ++samples_[static_cast<size_t>(v.sample)].playingCount;
    if (v.tracked) v.tracked->AddRef();
    if (v.ownerHandle) *v.ownerHandle = n;
    return n;
}

void SoundSystem::FreeVoice(int32_t n) {
    SoundVoice& v = voices_[static_cast<size_t>(n)];
    v.flags &= ~kVoiceActive;
    --samples_[static_cast<size_t>(v.sample)].playingCount;
    if (v.tracked) v.tracked->Release();
    v.tracked = nullptr;
    if (v.ownerHandle) *v.ownerHandle = -1;
    v.ownerHandle = nullptr;
    v.nextFree = freeVoices_;
    freeVoices_ = n;
}

void SoundSystem::StopVoiceRecord(SoundVoice& v) {
    v.flags |= kVoiceStopped;
    if (v.ownerHandle) *v.ownerHandle = -1;
}

void SoundSystem::StopVoice(int32_t voice) {
    if (state_ == kSilent || voice <= 0 || voice >= kVoiceCount) return;
    StopVoiceRecord(voices_[static_cast<size_t>(voice)]);
}

void SoundSystem::ReleaseVoiceBuffer(SoundVoice& v) {
    if (!(v.flags & kVoiceHasBuffer)) return;
    StopBuffer(v.buffer);
    ReleaseBuffer(v.buffer);
    v.buffer = nullptr;
    v.flags &= ~kVoiceHasBuffer;
}

void SoundSystem::StopAll() {
    if (state_ != kSilent)
        for (SoundVoice& v : voices_)
            if (v.flags & kVoiceActive) StopVoiceRecord(v);
    for (int32_t i = 1; i < kInstanceCount; ++i)
        if (instances_[static_cast<size_t>(i)].flags & kInstanceActive) StopCue(i);
}

void SoundSystem::StopAllExceptPersistent() {
    if (state_ != kSilent) {
        for (SoundVoice& v : voices_) {
            if (!(v.flags & kVoiceActive)) continue;
            bool persistent = false;
            for (const PersistentSound& p : persistentSounds_) persistent |= p.handle == v.index;
            if (!persistent) StopVoiceRecord(v);
        }
    }
    for (int32_t i = 1; i < kInstanceCount; ++i)
        if (instances_[static_cast<size_t>(i)].flags & kInstanceActive) StopCue(i);
}

// ---------------------------------------------------------------- the frame

int32_t SoundSystem::Volume3D(const SoundVoice& v) const {
    if (v.flags & kVoiceUnpositioned) return v.volume;
    const Vector3& at = v.tracked ? v.tracked->Position() : v.position;
    const float dx = at.x - listener_.x;
    const float dz = at.z - listener_.z;
    if (std::fabs(dx) > 60.0f || std::fabs(dz) > 60.0f) return 0;
    const float d2 = dx * dx + dz * dz;
    if (d2 < 400.0f) return v.volume;
    if (d2 > 3600.0f) return 0;
    return FloorToInt(static_cast<float>(v.volume) * (30.0f / FastSqrt(d2) - 0.5f));
}

int32_t SoundSystem::AcquireBuffer(SoundVoice& v) {
    SoundBufferHandle buffer = nullptr;
    int32_t result = DuplicateBuffer(samples_[static_cast<size_t>(v.sample)].buffer, &buffer);
    if (result < 0 || !buffer) return result < 0 ? result : -1;
    SetBufferVolume(buffer, v.currentVolume);
    result = SetBufferPosition(buffer, static_cast<uint32_t>(v.cursor));
    if (result >= 0) result = PlayBuffer(buffer, (v.flags & kVoiceLoops) ? 1 : 0);
    if (result < 0) {
        ReleaseBuffer(buffer);
        return result;
    }
    v.buffer = buffer;
    return result;
}

void SoundSystem::Update(const Vector3* listener) {
    listener_ = listener ? *listener : Vector3{0, 0, 0};
    if (state_ == kSilent) return;
    const float now = RealClock.GetSeconds();

    // Voices that have run out (a buffer too must have finished).
    for (int32_t i = 1; i < kVoiceCount; ++i) {
        SoundVoice& v = voices_[static_cast<size_t>(i)];
        if ((v.flags & (kVoiceActive | kVoiceStopped | kVoiceLoops)) != kVoiceActive || !(v.endTime < now)) continue;
        if ((v.flags & kVoiceHasBuffer) && !IsBufferFinished(v.buffer)) continue;
        StopVoiceRecord(v);
        if ((v.flags & (kVoiceFromCue | kVoiceCueStep)) == (kVoiceFromCue | kVoiceCueStep)) AdvanceInstance(v.cueInstance);
    }

    for (SoundVoice& v : voices_)
        if ((v.flags & (kVoiceActive | kVoiceStopped)) == kVoiceActive) v.currentVolume = Volume3D(v);

    const auto key = [](const SoundVoice& v) { return LoudnessKey(v.currentVolume, !(v.flags & kVoiceUnpositioned)); };
    loudness_.Clear();
    for (const SoundVoice& v : voices_)
        if ((v.flags & (kVoiceActive | kVoiceStopped | kVoiceHasBuffer)) == (kVoiceActive | kVoiceHasBuffer))
            loudness_.Insert(v.index, key(v));

    // Buffers go to the loudest voices; an equally loud one never takes one away.
    for (int32_t i = 1; i < kVoiceCount; ++i) {
        SoundVoice& v = voices_[static_cast<size_t>(i)];
        if ((v.flags & (kVoiceActive | kVoiceStopped | kVoiceHasBuffer)) != kVoiceActive) continue;
        const uint32_t k = key(v);
        if (loudness_.Count() >= hardwareVoices_) {
            if (loudness_.LowestKey() >= k) continue;
            ReleaseVoiceBuffer(voices_[static_cast<size_t>(loudness_.Lowest())]);
            loudness_.RemoveLowest();
        }
        int32_t cursor = 0;
        if (!(v.flags & kVoiceStartedThisFrame)) {
            cursor = FloorToInt(static_cast<double>((now - v.startTime) * static_cast<float>(v.bytesPerSecond)));
            if ((v.flags & kVoiceLoops) && v.dataLength > 0) cursor %= v.dataLength;
        }
        v.cursor = cursor;
        if (AcquireBuffer(v) < 0) continue; // plays on virtually
        v.flags |= kVoiceHasBuffer;
        loudness_.Insert(i, k);
    }

    loudness_.ForEachInOrder([this](int32_t n) {
        const SoundVoice& v = voices_[static_cast<size_t>(n)];
        SetBufferVolume(v.buffer, v.currentVolume);
    });

    for (int32_t i = 1; i < kVoiceCount; ++i) {
        SoundVoice& v = voices_[static_cast<size_t>(i)];
        if (!(v.flags & kVoiceActive)) continue;
        v.flags &= ~kVoiceStartedThisFrame;
        if (v.flags & kVoiceStopped) {
            ReleaseVoiceBuffer(v);
            FreeVoice(i);
        }
    }
}

void ShutdownSoundSystem(SoundSystem* manager) {
    if (!manager) return;
    manager->StopAll();
    manager->Update(nullptr);
    manager->ReleaseAllSounds();
    manager->Shutdown();
    // The silent driver leaves the device object it never used.
    if (DirectSoundObject) DirectSoundObject->Release();
    DirectSoundObject = nullptr;
    if (SoundSystemInstance == manager) SoundSystemInstance = nullptr;
    delete manager;
}
