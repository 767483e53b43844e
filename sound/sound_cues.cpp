// Cues: named groups of samples, played as one member picked by weight or as
// a sequence of members with play counts and loop points.
#include "Awapi/object.h"
#include "core/clock.h"
#include "core/random.h"
#include "sound/sound_names.h"
#include "sound/sound_system.h"

using namespace sound_flags;

int32_t SoundSystem::FindCue(const char* name) const {
    const std::string padded = PaddedSoundName(name ? name : "");
    const auto* found = cueNames_.Find(SoundNameKey(padded), [&](int32_t n) {
        return SoundNamesMatch(cues_[static_cast<size_t>(n)].name, padded);
    });
    return found ? found->Payload : 0;
}

int32_t SoundSystem::PickWeighted(const SoundCue& cue) const {
    // 16 random bits times the total weight, walked down member by member in
    // 64 bits (large weights overflow 32).
    int64_t a = static_cast<int64_t>((RandomGenerator::ForCallingThread().Next() >> 1) & 0xFFFF) * cue.totalWeight;
    const auto last = static_cast<int32_t>(cue.members.size()) - 1;
    int32_t i = 0;
    while (i < last && a > static_cast<int64_t>(cue.members[static_cast<size_t>(i)].second) * 65536) {
        a -= static_cast<int64_t>(cue.members[static_cast<size_t>(i)].second) * 65536;
        ++i;
    }
    return i;
}

int32_t SoundSystem::PlayCue(const char* name, const char* options, ...) {
    if (state_ == kSilent) return -1;
    Options o;
    va_list args;
    va_start(args, options);
    ParseOptions(options, args, true, o);
    va_end(args);
    const int32_t cueNumber = FindCue(name);
    if (cueNumber == 0 || (o.tracked && o.positioned)) return 0;
    const SoundCue& cue = cues_[static_cast<size_t>(cueNumber)];

    if (cue.mode == 0) {
        const int32_t sample = cue.members[static_cast<size_t>(PickWeighted(cue))].first;
        // A member of 0 or below plays nothing.
        if (!IsUsableSample(sample)) return 0;
        return StartVoice(Request(sample, o, kVoiceFromCue));
    }
    if (cue.mode != 1 || freeInstances_ == 0) return 0;

    const int32_t n = freeInstances_;
    SoundCueInstance& inst = instances_[static_cast<size_t>(n)];
    freeInstances_ = inst.nextFree;
    inst.nextFree = 0;
    inst.tracked = o.object;
    if (inst.tracked) inst.tracked->AddRef();
    if (o.cueHandle) *o.cueHandle = n;
    inst.cue = cueNumber;
    inst.loopsToPass = 0;
    inst.flags = kInstanceActive | (o.volumeGiven ? kInstanceVolumeGiven : 0) |
                 (o.rangeGiven ? kInstanceRangeGiven : 0) | (o.secondRangeGiven ? kInstanceSecondRangeGiven : 0);
    inst.step = 0;
    inst.remaining = cue.members.front().second;
    const bool looping = inst.remaining == -1;
    if (looping) inst.remaining = 1;
    const int32_t sample = cue.members.front().first;
    if (!IsUsableSample(sample)) {
        EndInstance(n);
        return 0;
    }
    SoundVoice request = Request(sample, o, kVoiceFromCue | kVoiceCueStep | (looping ? kVoiceLoops : 0));
    request.cueInstance = n;
    inst.request = request;
    const int32_t voice = StartVoice(request);
    inst.request.index = voice;
    if (voice <= 0) EndInstance(n);
    return voice;
}

void SoundSystem::EndInstance(int32_t n) {
    SoundCueInstance& inst = instances_[static_cast<size_t>(n)];
    if (!(inst.flags & kInstanceActive)) return;
    if (inst.tracked) inst.tracked->Release();
    inst.tracked = nullptr;
    if (inst.request.cueHandle) *inst.request.cueHandle = -1;
    inst.flags = 0;
    inst.nextFree = freeInstances_;
    freeInstances_ = n;
}

void SoundSystem::StopCue(int32_t n) {
    if (n <= 0 || n >= kInstanceCount || !(instances_[static_cast<size_t>(n)].flags & kInstanceActive)) return;
    const int32_t voice = instances_[static_cast<size_t>(n)].request.index;
    if (voice > 0 && voice < kVoiceCount) {
        SoundVoice& v = voices_[static_cast<size_t>(voice)];
        if ((v.flags & kVoiceActive) && v.cueInstance == n) {
            StopVoiceRecord(v);
            v.cueInstance = 0;
        }
    }
    EndInstance(n);
}

void SoundSystem::EndCueLoop(int32_t n) {
    if (n <= 0 || n >= kInstanceCount) return;
    SoundCueInstance& inst = instances_[static_cast<size_t>(n)];
    if (!(inst.flags & kInstanceActive)) return;
    const int32_t voice = inst.request.index;
    SoundVoice* v = voice > 0 && voice < kVoiceCount ? &voices_[static_cast<size_t>(voice)] : nullptr;
    if (v && (v->flags & kVoiceActive) && (v->flags & kVoiceLoops)) {
        if (v->flags & kVoiceHasBuffer) {
            StopBuffer(v->buffer);
            PlayBuffer(v->buffer, 0);
        }
        v->flags &= ~kVoiceLoops;
        return;
    }
    ++inst.loopsToPass;
}

void SoundSystem::AdvanceInstance(int32_t n) {
    if (n <= 0 || n >= kInstanceCount) return;
    SoundCueInstance& inst = instances_[static_cast<size_t>(n)];
    if (!(inst.flags & kInstanceActive)) return;
    const SoundCue& cue = cues_[static_cast<size_t>(inst.cue)];
    const auto count = static_cast<int32_t>(cue.members.size());
    bool looping = false;
    if (--inst.remaining <= 0) {
        if (++inst.step >= count) {
            if (!(inst.flags & kInstanceLoopWhole)) {
                EndInstance(n);
                return;
            }
            inst.step = 0;
        }
        inst.remaining = cue.members[static_cast<size_t>(inst.step)].second;
        if (inst.remaining == -1) {
            // A loop point loops until its loop is ended; one ended ahead of it plays once.
            inst.remaining = 1;
            if (inst.loopsToPass > 0) --inst.loopsToPass;
            else looping = true;
        }
    }
    StartInstanceStep(n, looping);
}

void SoundSystem::StartInstanceStep(int32_t n, bool looping) {
    SoundCueInstance& inst = instances_[static_cast<size_t>(n)];
    const SoundCue& cue = cues_[static_cast<size_t>(inst.cue)];
    const int32_t sample = cue.members[static_cast<size_t>(inst.step)].first;
    if (!IsUsableSample(sample)) {
        EndInstance(n);
        return;
    }
    const SoundSample& s = samples_[static_cast<size_t>(sample)];
    SoundVoice r = inst.request;
    r.sample = sample;
    if (!(inst.flags & kInstanceVolumeGiven)) r.volume = r.currentVolume = s.volume;
    if (!(inst.flags & kInstanceRangeGiven)) r.rangeSquared = s.range * s.range;
    if (!(inst.flags & kInstanceSecondRangeGiven)) r.secondRange = s.secondRange;
    r.flags = (r.flags & ~kVoiceLoops) | (looping ? kVoiceLoops : 0);
    r.bytesPerSecond = s.bytesPerSecond;
    r.dataLength = s.dataLength;
    r.startTime = RealClock.GetSeconds();
    r.endTime = r.startTime + s.duration;
    r.cueInstance = n;
    inst.request = r;
    const int32_t voice = StartVoice(r);
    inst.request.index = voice;
    if (voice <= 0) EndInstance(n);
}
