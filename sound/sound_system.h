#pragma once
// The sound manager: every sound effect of the game. Fixed tables of loaded
// sounds (samples), of cues (named groups of samples played at random or in
// sequence), of voices (one per playing sound) and of running cue
// sequences. Callers start sounds by sample number with an option string
// (Play) or by cue name (PlayCue). Once per frame Update expires finished
// voices, steps cue sequences, attenuates positioned voices by their
// horizontal distance from the listener and hands the device's few real
// buffers to the loudest voices; the others run virtually on the clock, so a
// voice that wins a buffer later starts at the right byte.
//
// The device is reached only through the eleven driver operations, which the
// drivers (sound_drivers.h) implement: the same manager runs over the
// DirectSound layer or silently. Main thread only; no locks. Times come from
// RealClock, the cue pick from the calling thread's random generator.

#include <cstdarg>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/hashtable.h"
#include "core/maths.h"
#include "sound/loudness_tree.h"
#include "sound/sound_devices.h"

class AwObject;
class SoundBank;
struct WaveFile;
namespace plat {
class SoundBuffer;
struct SoundBufferDesc;
} // namespace plat

// A device buffer, opaque to the manager.
using SoundBufferHandle = plat::SoundBuffer*;

namespace sound_flags {
// Samples.
constexpr uint32_t kSampleInUse = 8;
constexpr uint32_t kSampleLevel = 16; // released at level unload
// Cues.
constexpr uint32_t kCueInUse = 1;
constexpr uint32_t kCueLevel = 16;
// Voices.
constexpr uint32_t kVoiceHasBuffer = 1;
constexpr uint32_t kVoiceStopped = 2;
constexpr uint32_t kVoiceActive = 4;
constexpr uint32_t kVoiceStartedThisFrame = 8;
constexpr uint32_t kVoiceLoops = 16;
constexpr uint32_t kVoiceUnpositioned = 32;
constexpr uint32_t kVoiceOptionN = 64;
constexpr uint32_t kVoiceOptionR = 128;
constexpr uint32_t kVoiceFromCue = 256;
constexpr uint32_t kVoiceCueStep = 512;
constexpr uint32_t kVoiceRequestBits = 0x3F0; // bits 4 to 9 come from the request
// Cue instances.
constexpr uint32_t kInstanceActive = 1;
constexpr uint32_t kInstanceLoopWhole = 2;
constexpr uint32_t kInstanceVolumeGiven = 4;
constexpr uint32_t kInstanceRangeGiven = 8;
constexpr uint32_t kInstanceSecondRangeGiven = 16;
} // namespace sound_flags

struct SoundSample {
    std::string name; // padded
    int32_t playingCount = 0;
    SoundBufferHandle buffer = nullptr;
    int32_t volume = 0; // 0 to 100
    uint32_t flags = 0;
    float frequency = 0; // kept; compared when looking for variants
    float range = 0; // metres
    float secondRange = 0;
    int32_t bytesPerSecond = 0;
    int32_t dataLength = 0;
    float duration = 0; // seconds
    int32_t index = 0;
};

struct SoundCue {
    std::string name; // padded
    uint32_t flags = 0;
    int32_t mode = 0; // 0 random by weight, 1 in sequence
    int64_t totalWeight = 0;
    std::vector<std::pair<int32_t, int32_t>> members; // {sample, weight or play count (-1 a loop point)}
};

struct SoundVoice {
    int32_t sample = 0;
    int32_t index = 0;
    int32_t volume = 0;
    int32_t currentVolume = 0; // after distance attenuation
    int32_t frequency = 0; // from "f"; nothing applies it
    float rangeSquared = 0;
    float secondRange = 0;
    int32_t* ownerHandle = nullptr;
    int32_t* cueHandle = nullptr;
    AwObject* tracked = nullptr; // one reference held
    Vector3 position{0, 0, 0};
    uint32_t flags = 0;
    int32_t cueInstance = 0;
    int32_t nextFree = 0;
    int32_t cursor = 0; // byte at which the device buffer starts
    int32_t bytesPerSecond = 0;
    int32_t dataLength = 0;
    float startTime = 0; // RealClock seconds
    float endTime = 0;
    SoundBufferHandle buffer = nullptr;
};

struct SoundCueInstance {
    SoundVoice request; // the current voice's request; its index is the voice's number
    int32_t cue = 0;
    int32_t remaining = 0; // plays left of the current member
    int32_t step = 0; // member index
    uint32_t flags = 0;
    AwObject* tracked = nullptr; // one reference held
    int32_t nextFree = 0;
    int32_t loopsToPass = 0;
};

struct PersistentSound {
    int32_t sample = 0;
    int32_t handle = 0; // the voice, -1 when none
    float range = 0, secondRange = 0;
    int32_t volume = 0;
    float frequency = 0;
    Vector3 position{0, 0, 0};
};

class SoundSystem {
public:
    static constexpr int32_t kSampleCount = 1024;
    static constexpr int32_t kFirstLooseSample = 256; // 1 to 255 are for fixed numbers
    static constexpr int32_t kCueCount = 100;
    static constexpr int32_t kVoiceCount = 500;
    static constexpr int32_t kInstanceCount = 16;
    static constexpr int32_t kReady = 0;
    static constexpr int32_t kSilent = 2;

    // Silent until a driver's device starts. The hardware-voice limit is the
    // device's mixing-buffer count when it lies between 17 and 32, else 16.
    SoundSystem(const SoundDeviceEntry* device, int32_t sampleCount);
    virtual ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    // --- Driver operations, in slot order.
    virtual void ReleaseBuffer(SoundBufferHandle buffer);
    virtual void Shutdown() = 0;
    virtual bool SetBufferVolume(SoundBufferHandle buffer, int32_t volume) = 0;
    virtual bool IsBufferFinished(SoundBufferHandle buffer) = 0;
    virtual int32_t StopBuffer(SoundBufferHandle buffer) = 0;
    virtual int32_t CheckBuffer(SoundBufferHandle buffer) = 0;
    virtual int32_t CreateBuffer(const plat::SoundBufferDesc& desc, SoundBufferHandle* out, void* outer) = 0;
    virtual int32_t SetBufferPosition(SoundBufferHandle buffer, uint32_t offset) = 0;
    virtual int32_t PlayBuffer(SoundBufferHandle buffer, uint32_t flags) = 0;
    virtual int32_t DuplicateBuffer(SoundBufferHandle source, SoundBufferHandle* out) = 0;
    virtual int32_t FillBuffer(SoundBufferHandle buffer, const void* data, uint32_t length) = 0;

    // --- Playing.
    // Options, each letter taking the next argument where it has one:
    // "I" float range, "R" float second range, "d" const float[3] fixed
    // position, "e" int32_t* owner handle, "f" int frequency, "l" loop (needs
    // "e"), "m" nothing, "n" and "r" flags, "t" AwObject* followed (not with
    // "d"), "v" int volume, "x" int32_t* cue handle. Returns the voice (1 and
    // up), 0 when refused or no voice is free, -1 when silent.
    int32_t Play(int32_t sample, const char* options, ...);
    int32_t PlayList(int32_t sample, const char* options, va_list args);
    // The same by cue name: "I", "R", "d", "f", "n", "r", "t", "v" as for
    // Play; "x" int32_t* receives the cue instance of a sequence (-1 at once).
    int32_t PlayCue(const char* name, const char* options, ...);
    void StopVoice(int32_t voice);
    void StopCue(int32_t instance);
    // A looping voice of the instance plays out once; otherwise the next loop point is passed.
    void EndCueLoop(int32_t instance);
    void StopAll();
    // Leaves the voices of persistent sounds playing.
    void StopAllExceptPersistent();
    // Once per frame, with the listener's position (null: none, at level load and shutdown).
    void Update(const Vector3* listener);

    // --- Sounds and banks.
    // 0 when loaded or already loaded, -1 on failure or when silent. The name
    // is relative to the current directory (the sounds data directory).
    int32_t LoadBank(const char* fileName);
    void UnloadBank(const char* fileName);
    // A sample number (> 0), minus a cue number (< 0) or 0: a loaded sample or
    // cue, a bank entry, or a loose wave file of a bank's folder.
    int32_t LoadSound(const char* name);
    // Loads a bank and every sound in it for the whole run, then frees the bank.
    void LoadPermanentBank(const char* fileName);
    void ReleaseLevelSounds();
    void ReleaseAllSounds();
    // A sample with the same name and exactly these settings: the sample
    // itself, another loaded copy, or a new copy sharing its data; 0 when
    // none can be had. Not level-scoped: the result becomes permanent.
    int32_t GetSampleVariant(int32_t sample, int32_t volume, float frequency, float range, float secondRange,
                             bool levelScoped);

    // --- Persistent (placed) sounds.
    bool AddPersistentSound(int32_t sample, const Vector3& position, int32_t unused, float frequency, float range,
                            float secondRange);
    void ReplayPersistentSounds();
    void ClearPersistentSounds();

    // Appends the voice counts per sample to SOUND_STORAGE_DUMP.TXT.
    void DumpStorage();

    // --- Lower-level operations.
    int32_t StartVoice(const SoundVoice& request);
    void FreeVoice(int32_t voice);
    int32_t FindCue(const char* name) const;
    int32_t Volume3D(const SoundVoice& voice) const;
    // Gives the voice a duplicate of its sample's buffer at its volume and cursor, playing.
    int32_t AcquireBuffer(SoundVoice& voice);

    // --- State.
    int32_t State() const { return state_; }
    int32_t HardwareVoices() const { return hardwareVoices_; }
    const Vector3& Listener() const { return listener_; }
    const SoundSample& Sample(int32_t n) const { return samples_[static_cast<size_t>(n)]; }
    const SoundCue& Cue(int32_t n) const { return cues_[static_cast<size_t>(n)]; }
    const SoundVoice& Voice(int32_t n) const { return voices_[static_cast<size_t>(n)]; }
    const SoundCueInstance& Instance(int32_t n) const { return instances_[static_cast<size_t>(n)]; }
    int32_t SampleCount() const { return static_cast<int32_t>(samples_.size()); }
    int32_t NextFreeSample() const { return nextFreeSample_; }
    const std::list<PersistentSound>& PersistentSounds() const { return persistentSounds_; }

protected:
    int32_t state_ = kSilent;
    // A copy of the chosen device's entry: the device list lives only during start-up.
    std::optional<SoundDeviceEntry> device_;

private:
    // What an option string asked for.
    struct Options {
        bool loop = false, owner = false, tracked = false, positioned = false;
        bool volumeGiven = false, rangeGiven = false, secondRangeGiven = false;
        uint32_t flags = 0; // "n" and "r"
        int32_t volume = 0, frequency = 0;
        float range = 0, secondRange = 0;
        Vector3 position{0, 0, 0};
        int32_t* ownerHandle = nullptr;
        int32_t* cueHandle = nullptr;
        AwObject* object = nullptr;
    };

    void ParseOptions(const char* options, va_list args, bool cue, Options& out) const;
    // The request of a play of a sample with these options (volume and ranges from the sample unless given).
    SoundVoice Request(int32_t sample, const Options& options, uint32_t extraFlags) const;
    bool IsUsableSample(int32_t sample) const;
    void StopVoiceRecord(SoundVoice& voice);
    void ReleaseVoiceBuffer(SoundVoice& voice);
    // Ends a cue instance without touching its voice.
    void EndInstance(int32_t instance);
    // The voice of a cue step ended: the instance plays on, or ends.
    void AdvanceInstance(int32_t instance);
    // Starts the instance's current member; the instance ends when it cannot play.
    void StartInstanceStep(int32_t instance, bool looping);
    int32_t PickWeighted(const SoundCue& cue) const;

    // Samples and cues.
    // The first free slot from nextFreeSample on, or 0.
    int32_t FindFreeSample() const;
    // Names a filled slot in the table.
    void EnterSample(int32_t slot);
    int32_t TakeFreeCue();
    int32_t SampleFromEntry(SoundBank& bank, int32_t entry);
    int32_t CueFromEntry(const SoundBank& bank, int32_t entry);
    // Fills a slot from a wave; false (the slot left free) when its image or buffer cannot be made.
    bool MakeSample(int32_t slot, const std::string& paddedName, const WaveFile& wave);
    int32_t DuplicateSample(int32_t sample, bool levelScoped);
    void ReleaseSample(int32_t slot);
    void ReleaseCue(int32_t slot);
    void ReleaseSounds(uint32_t scope);
    SoundBank* FindBank(std::string_view fileName) const;

    std::vector<std::unique_ptr<SoundBank>> banks_;
    Vector3 listener_{0, 0, 0};

    std::vector<SoundSample> samples_;
    int32_t nextFreeSample_ = kFirstLooseSample;
    HashTable<int32_t> sampleNames_{64};

    std::vector<SoundCue> cues_;
    int32_t nextFreeCue_ = 1;
    HashTable<int32_t> cueNames_{64};

    std::vector<SoundVoice> voices_;
    int32_t freeVoices_ = 0;

    std::vector<SoundCueInstance> instances_;
    int32_t freeInstances_ = 0;

    SoundLoudnessTree loudness_;
    int32_t hardwareVoices_ = 16;
    std::list<PersistentSound> persistentSounds_; // stable addresses: voices keep pointers to the handles
};

// The one manager, made at start-up (CreateSoundSystem) and destroyed at shutdown.
extern SoundSystem* SoundSystemInstance;

// Stops everything, releases every buffer and sound, shuts the driver down,
// releases DirectSoundObject and destroys the manager (clearing
// SoundSystemInstance when it is the one).
void ShutdownSoundSystem(SoundSystem* manager);
