#pragma once
// The one software mixer behind every sound backend. Secondary buffers play
// through channels linked into the mixer; a backend pulls frames of the
// output (primary) format from it: the SDL backend from its audio callback,
// the silent backend as the layer's clock moves. Mixing is integer-only, so
// it gives the same frames in every floating-point rounding mode, and it
// allocates nothing.
//
// Every *Locked operation runs with Mutex() held. Nothing slow is done
// under it: buffers allocate their bytes before they take it.

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/dsound/sound_types.h"

namespace plat {

// Gain groups that the mixer lines set: compact-disc music and wave output.
enum class GainGroup : uint8_t { Wave = 0, Cd = 1 };

// The bytes of a secondary buffer, shared with its duplicates.
struct SoundData {
    SoundData(const WaveFormat& format, uint32_t size);

    const WaveFormat format;
    const uint32_t size;
    const uint32_t frames; // whole frames in size
    const std::unique_ptr<uint8_t[]> bytes;
};

constexpr int32_t kUnityGain = 65536; // 16.16 fixed point

// The play state of one secondary buffer, read and changed under the mixer's lock.
struct MixChannel {
    std::shared_ptr<SoundData> data;
    uint64_t position = 0; // source frames, 32.32 fixed point
    uint32_t frequency = 0; // Hz
    int32_t gainLeft = kUnityGain, gainRight = kUnityGain, gainMono = kUnityGain;
    GainGroup group = GainGroup::Wave;
    bool playing = false;
    bool looping = false;
    MixChannel* previous = nullptr;
    MixChannel* next = nullptr;
};

// The gain of a group, 0 to 1 (the music's mixer lines), for every device
// of the process; both start at 1. Any thread.
void SetGroupGain(GainGroup group, float gain);
float GroupGain(GainGroup group);

// 16.16 gain of an attenuation in hundredths of a decibel: 0 gives 65,536,
// -10,000 or below 0 (silence). The same in every rounding mode.
int32_t AttenuationGain(int32_t hundredthsDb);

class Mixer {
public:
    static constexpr uint32_t kBlockFrames = 512;

    // Output 22,050 Hz, 8-bit stereo until the primary buffer is given a format.
    Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    std::mutex& Mutex() { return mutex_; }

    void SetFormatLocked(const WaveFormat& format) { format_ = format; }
    const WaveFormat& FormatLocked() const { return format_; }

    // Plays a channel from its position (a channel without a whole frame ends at once).
    void StartLocked(MixChannel& channel, bool looping);
    // Stops it where it is.
    void StopLocked(MixChannel& channel);

    // Renders frames of the output format into out and moves every playing
    // channel on; a channel that runs out stops with its position at 0.
    void MixLocked(void* out, uint32_t frames);
    // Moves every channel on as MixLocked would, rendering nothing.
    void SkipLocked(uint32_t frames);

    // The primary buffer's volume in hundredths of a decibel.
    void SetMasterVolumeLocked(int32_t hundredthsDb) { master_ = AttenuationGain(hundredthsDb); }

private:
    // Source frames per output frame of a channel, 32.32.
    uint64_t StepOf(const MixChannel& channel) const;
    void Unlink(MixChannel& channel);
    // Ends a channel that ran out: stopped, position 0.
    void Finish(MixChannel& channel);
    // Mixes one channel into the accumulator; false when it ran out.
    bool MixChannelBlock(MixChannel& channel, int32_t* accumulator, uint32_t frames);
    // Advances one channel; false when it ran out.
    bool Advance(MixChannel& channel, uint32_t frames) const;

    std::mutex mutex_;
    WaveFormat format_;
    MixChannel* first_ = nullptr;
    int32_t master_ = kUnityGain;
    int32_t accumulator_[kBlockFrames * 2] = {};
};

} // namespace plat
