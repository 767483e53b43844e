// Samples and cues from banks and loose wave files, their variants, and
// their release at level unload and shutdown.
#include <algorithm>

#include "core/hashtable.h"
#include "platform/dsound/direct_sound.h"
#include "platform/files.h"
#include "sound/bank_records.h"
#include "sound/sound_bank.h"
#include "sound/sound_names.h"
#include "sound/sound_system.h"
#include "sound/wave_image.h"

using namespace sound_flags;

namespace {

// Frequency control, volume control and the accurate play cursor: 65,696.
constexpr uint32_t kSampleBufferFlags =
    plat::kBufferCtrlFrequency | plat::kBufferCtrlVolume | plat::kBufferGetCurrentPosition2;

bool SameFileName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return NameLower(x) == NameLower(y);
           });
}

} // namespace

// ---------------------------------------------------------------- slots

int32_t SoundSystem::FindFreeSample() const {
    for (int32_t slot = nextFreeSample_; slot < SampleCount(); ++slot)
        if (!(samples_[static_cast<size_t>(slot)].flags & kSampleInUse)) return slot;
    return 0;
}

void SoundSystem::EnterSample(int32_t slot) {
    SoundSample& s = samples_[static_cast<size_t>(slot)];
    s.index = slot;
    sampleNames_.Insert(slot, SoundNameKey(s.name));
    // The free-slot search moves on past a slot it found.
    if (slot < nextFreeSample_) return;
    nextFreeSample_ = slot + 1;
    while (nextFreeSample_ < SampleCount() && (samples_[static_cast<size_t>(nextFreeSample_)].flags & kSampleInUse))
        ++nextFreeSample_;
}

int32_t SoundSystem::TakeFreeCue() {
    int32_t slot = std::max(nextFreeCue_, 1);
    while (slot < kCueCount && (cues_[static_cast<size_t>(slot)].flags & kCueInUse)) ++slot;
    if (slot >= kCueCount) return 0;
    int32_t next = slot + 1;
    while (next < kCueCount && (cues_[static_cast<size_t>(next)].flags & kCueInUse)) ++next;
    nextFreeCue_ = next;
    return slot;
}

bool SoundSystem::MakeSample(int32_t slot, const std::string& paddedName, const WaveFile& wave) {
    WaveImage image;
    // An image without sound or without a byte rate makes no sample.
    if (!ParseWaveImage(wave.image, image) || image.length == 0 || image.format.avgBytesPerSec == 0 ||
        image.length > INT32_MAX || image.format.avgBytesPerSec > INT32_MAX)
        return false;
    plat::SoundBufferDesc desc;
    desc.flags = kSampleBufferFlags;
    desc.bufferBytes = image.length;
    desc.format = &image.format;
    SoundBufferHandle buffer = nullptr;
    if (CreateBuffer(desc, &buffer, nullptr) < 0 || !buffer) return false;
    if (FillBuffer(buffer, image.data, image.length) < 0) {
        ReleaseBuffer(buffer);
        return false;
    }
    SoundSample& s = samples_[static_cast<size_t>(slot)];
    s = SoundSample{};
    s.name = paddedName;
    s.buffer = buffer;
    s.flags = wave.flags | kSampleInUse;
    s.range = wave.range;
    s.secondRange = wave.secondRange;
    s.volume = wave.volume;
    s.frequency = wave.frequency;
    s.bytesPerSecond = static_cast<int32_t>(image.format.avgBytesPerSec);
    s.dataLength = static_cast<int32_t>(image.length);
    s.duration = static_cast<float>(s.dataLength) / static_cast<float>(s.bytesPerSecond);
    EnterSample(slot);
    return true;
}

void SoundSystem::ReleaseSample(int32_t slot) {
    SoundSample& s = samples_[static_cast<size_t>(slot)];
    sampleNames_.Remove(slot, SoundNameKey(s.name));
    if (s.buffer) ReleaseBuffer(s.buffer);
    s = SoundSample{};
}

void SoundSystem::ReleaseCue(int32_t slot) {
    SoundCue& c = cues_[static_cast<size_t>(slot)];
    cueNames_.Remove(slot, SoundNameKey(c.name));
    c = SoundCue{};
}

// ---------------------------------------------------------------- banks

SoundBank* SoundSystem::FindBank(std::string_view fileName) const {
    for (const auto& bank : banks_)
        if (SameFileName(bank->FileName(), fileName)) return bank.get();
    return nullptr;
}

int32_t SoundSystem::LoadBank(const char* fileName) {
    if (state_ == kSilent || !fileName) return -1;
    if (FindBank(fileName)) return 0;
    auto bank = std::make_unique<SoundBank>();
    if (!bank->Load(fileName, nullptr)) return -1;
    banks_.push_back(std::move(bank));
    return 0;
}

void SoundSystem::UnloadBank(const char* fileName) {
    if (!fileName) return;
    std::erase_if(banks_, [&](const auto& bank) { return SameFileName(bank->FileName(), fileName); });
}

int32_t SoundSystem::LoadSound(const char* name) {
    if (state_ == kSilent || !name) return 0;
    const std::string padded = PaddedSoundName(name);
    const uint32_t key = SoundNameKey(padded);
    if (const auto* found = sampleNames_.Find(key, [&](int32_t n) {
            return SoundNamesMatch(samples_[static_cast<size_t>(n)].name, padded);
        }))
        return found->Payload;
    if (const auto* found = cueNames_.Find(key, [&](int32_t n) {
            return SoundNamesMatch(cues_[static_cast<size_t>(n)].name, padded);
        }))
        return -found->Payload;
    for (const auto& bank : banks_) {
        if (const int32_t entry = bank->Find(padded); entry >= 0)
            return bank->Entries()[static_cast<size_t>(entry)].cueWord ? CueFromEntry(*bank, entry)
                                                                       : SampleFromEntry(*bank, entry);
        std::string bytes;
        if (!plat::ReadWholeFile(bank->Directory() + "/" + name, bytes)) continue;
        WaveFile wave = LooseWaveFile(std::move(bytes));
        wave.flags = kSampleLevel;
        const int32_t slot = FindFreeSample();
        return slot && MakeSample(slot, padded, wave) ? slot : 0;
    }
    return 0;
}

int32_t SoundSystem::SampleFromEntry(SoundBank& bank, int32_t entry) {
    const SoundBankEntry& e = bank.Entries()[static_cast<size_t>(entry)];
    WaveFile wave;
    if (!ReadWaveRecord(e.record, wave)) return 0;
    if (wave.image.empty()) {
        // The sound lies beside the bank, in a file named like the entry.
        if (!plat::ReadWholeFile(bank.Directory() + "/" + std::string(SoundNameText(e.name)), wave.image)) return 0;
    }
    wave.flags |= kSampleLevel;
    int32_t slot = 0;
    if (wave.sampleNumber > 0) {
        // A fixed number past the table makes no sound; one held by another sample replaces it.
        if (wave.sampleNumber >= SampleCount()) return 0;
        slot = wave.sampleNumber;
        if (samples_[static_cast<size_t>(slot)].flags & kSampleInUse) ReleaseSample(slot);
    } else {
        slot = FindFreeSample();
        if (slot == 0) return 0;
        const int64_t position = -static_cast<int64_t>(wave.sampleNumber);
        if (position < static_cast<int64_t>(bank.EntrySamples().size()))
            bank.EntrySamples()[static_cast<size_t>(position)] = slot;
    }
    return MakeSample(slot, e.name, wave) ? slot : 0;
}

int32_t SoundSystem::CueFromEntry(const SoundBank& bank, int32_t entry) {
    const SoundBankEntry& e = bank.Entries()[static_cast<size_t>(entry)];
    CueRecord record;
    if (!ReadCueRecord(e.record, record) || record.members.empty()) return 0;
    const int32_t slot = TakeFreeCue();
    if (slot == 0) return 0;
    SoundCue& c = cues_[static_cast<size_t>(slot)];
    c = SoundCue{};
    c.name = e.name;
    c.flags = record.flags | kCueLevel | kCueInUse;
    c.mode = (record.flags & kCueRandom) ? 0 : 1;
    for (const CueMember& m : record.members) {
        c.members.emplace_back(m.sample, m.weight);
        c.totalWeight += m.weight;
    }
    cueNames_.Insert(slot, SoundNameKey(c.name));
    return -slot;
}

void SoundSystem::LoadPermanentBank(const char* fileName) {
    if (LoadBank(fileName) != 0) return;
    SoundBank* bank = FindBank(fileName);
    std::vector<int32_t> cues;
    for (const int32_t entry : bank->TableOrder()) {
        const int32_t sound = LoadSound(bank->Entries()[static_cast<size_t>(entry)].name.c_str());
        if (sound > 0) {
            samples_[static_cast<size_t>(sound)].flags &= ~kSampleLevel;
        } else if (sound < 0) {
            cues_[static_cast<size_t>(-sound)].flags &= ~kCueLevel;
            cues.push_back(-sound);
        }
    }
    // Members naming entries of the bank take the slots those entries received
    // (0, nothing, for a position the bank does not have).
    const std::vector<int32_t>& slots = bank->EntrySamples();
    for (const int32_t cue : cues) {
        for (auto& member : cues_[static_cast<size_t>(cue)].members) {
            if (member.first > 0) continue;
            const int64_t position = -static_cast<int64_t>(member.first);
            member.first = position < static_cast<int64_t>(slots.size()) ? slots[static_cast<size_t>(position)] : 0;
        }
    }
    UnloadBank(fileName);
}

// ---------------------------------------------------------------- variants

int32_t SoundSystem::DuplicateSample(int32_t sample, bool levelScoped) {
    const int32_t slot = FindFreeSample();
    if (slot == 0) return 0;
    const SoundSample& s = samples_[static_cast<size_t>(sample)];
    SoundBufferHandle buffer = nullptr;
    if (DuplicateBuffer(s.buffer, &buffer) < 0 || !buffer) return 0;
    SoundSample& copy = samples_[static_cast<size_t>(slot)];
    copy = s;
    copy.playingCount = 0;
    copy.buffer = buffer;
    copy.flags = kSampleInUse | (levelScoped ? kSampleLevel : 0);
    EnterSample(slot);
    return slot;
}

int32_t SoundSystem::GetSampleVariant(int32_t sample, int32_t volume, float frequency, float range,
                                      float secondRange, bool levelScoped) {
    if (state_ == kSilent || !IsUsableSample(sample)) return 0;
    const auto matches = [&](const SoundSample& s) {
        return (s.flags & kSampleInUse) && s.volume == volume && s.frequency == frequency && s.range == range &&
               s.secondRange == secondRange;
    };
    const auto found = [&](int32_t n) {
        if (!levelScoped) samples_[static_cast<size_t>(n)].flags &= ~kSampleLevel;
        return n;
    };
    if (matches(samples_[static_cast<size_t>(sample)])) return found(sample);
    const std::string& name = samples_[static_cast<size_t>(sample)].name;
    for (int32_t i = SampleCount() - 1; i >= 0; --i) {
        const SoundSample& s = samples_[static_cast<size_t>(i)];
        if (matches(s) && SoundNamesMatch(s.name, name)) return found(i);
    }
    const int32_t copy = DuplicateSample(sample, levelScoped);
    if (copy == 0) return 0;
    SoundSample& s = samples_[static_cast<size_t>(copy)];
    s.volume = volume;
    s.frequency = frequency;
    s.range = range;
    s.secondRange = secondRange;
    return copy;
}

// ---------------------------------------------------------------- release

void SoundSystem::ReleaseSounds(uint32_t scope) {
    int32_t lowestSample = 0;
    for (int32_t i = SampleCount() - 1; i > 0; --i) {
        const uint32_t flags = samples_[static_cast<size_t>(i)].flags;
        if (!(flags & kSampleInUse) || (flags & scope) != scope) continue;
        ReleaseSample(i);
        if (i >= kFirstLooseSample) lowestSample = i;
    }
    if (lowestSample) nextFreeSample_ = lowestSample;
    int32_t lowestCue = 0;
    for (int32_t i = kCueCount - 1; i > 0; --i) {
        const uint32_t flags = cues_[static_cast<size_t>(i)].flags;
        if (!(flags & kCueInUse) || (flags & scope) != scope) continue;
        ReleaseCue(i);
        lowestCue = i;
    }
    if (lowestCue) nextFreeCue_ = lowestCue;
}

void SoundSystem::ReleaseLevelSounds() { ReleaseSounds(kSampleLevel); }

void SoundSystem::ReleaseAllSounds() {
    ReleaseSounds(0);
    nextFreeSample_ = kFirstLooseSample;
}
