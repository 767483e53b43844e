#include "platform/dsound/mixer.h"

#include <algorithm>
#include <atomic>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <mutex>

namespace plat {
namespace {

constexpr int32_t kSilence = -10000;

std::atomic<float> groupGains[2] = {1.0f, 1.0f};

// Gains of every attenuation from 0 to 10,000 hundredths of a decibel,
// computed once with round-to-nearest.
const int32_t* GainTable() {
    static int32_t table[-kSilence + 1];
    static std::once_flag built;
    std::call_once(built, [] {
        const int mode = std::fegetround();
        std::fesetround(FE_TONEAREST);
        for (int32_t i = 0; i < -kSilence; ++i)
            table[i] = static_cast<int32_t>(std::lround(kUnityGain * std::pow(10.0, -i / 2000.0)));
        table[-kSilence] = 0;
        std::fesetround(mode);
    });
    return table;
}

// A source sample as a signed 16-bit value.
template <bool Sixteen>
inline int32_t SampleAt(const uint8_t* bytes, size_t index) {
    if constexpr (Sixteen) {
        int16_t v;
        std::memcpy(&v, bytes + index * 2, 2);
        return v;
    } else {
        return (static_cast<int32_t>(bytes[index]) - 128) * 256;
    }
}

// Linear interpolation between two source samples with a 15-bit fraction.
inline int32_t Lerp(int32_t a, int32_t b, int32_t fraction) { return a + (((b - a) * fraction) >> 15); }

template <int SourceChannels, bool Sixteen, int OutChannels>
struct Render {
    // One output frame between source frames `index` and `following`.
    static inline void Frame(const uint8_t* bytes, uint32_t index, uint32_t following, int32_t fraction,
                             int32_t* acc, int32_t gainLeft, int32_t gainRight) {
        if constexpr (SourceChannels == 1) {
            const int32_t s = Lerp(SampleAt<Sixteen>(bytes, index), SampleAt<Sixteen>(bytes, following), fraction);
            acc[0] += (s * gainLeft) >> 16;
            if constexpr (OutChannels == 2) acc[1] += (s * gainRight) >> 16;
        } else {
            const size_t a = size_t{index} * 2, b = size_t{following} * 2;
            const int32_t l = Lerp(SampleAt<Sixteen>(bytes, a), SampleAt<Sixteen>(bytes, b), fraction);
            const int32_t r = Lerp(SampleAt<Sixteen>(bytes, a + 1), SampleAt<Sixteen>(bytes, b + 1), fraction);
            if constexpr (OutChannels == 2) {
                acc[0] += (l * gainLeft) >> 16;
                acc[1] += (r * gainRight) >> 16;
            } else {
                acc[0] += (((l + r) >> 1) * gainLeft) >> 16;
            }
        }
    }

    // Mixes `count` output frames; false when a channel that does not loop ran out.
    static bool Run(const SoundData& data, bool looping, uint64_t& where, uint64_t step, uint32_t count,
                    int32_t* acc, int32_t gainLeft, int32_t gainRight) {
        uint64_t position = where; // a local, so the loops keep it in a register
        const uint8_t* bytes = data.bytes.get();
        const uint64_t end = uint64_t{data.frames} << 32;
        const uint64_t lastSafe = uint64_t{data.frames - 1} << 32; // below it, index + 1 is a frame too
        while (count > 0) {
            if (position < lastSafe) {
                const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(count, (lastSafe - position + step - 1) / step));
                for (uint32_t i = 0; i < n; ++i) {
                    const auto index = static_cast<uint32_t>(position >> 32);
                    Frame(bytes, index, index + 1, static_cast<int32_t>((position >> 17) & 0x7FFF), acc, gainLeft,
                          gainRight);
                    acc += OutChannels;
                    position += step;
                }
                count -= n;
            } else {
                // The last source frame leans toward the first one when the buffer loops.
                const uint32_t index = data.frames - 1;
                Frame(bytes, index, looping ? 0 : index, static_cast<int32_t>((position >> 17) & 0x7FFF), acc,
                      gainLeft, gainRight);
                acc += OutChannels;
                position += step;
                --count;
            }
            if (position >= end) {
                if (!looping) return false;
                position %= end;
            }
        }
        where = position;
        return true;
    }
};

template <int OutChannels>
bool RenderChannel(const SoundData& data, bool looping, uint64_t& position, uint64_t step, uint32_t count,
                   int32_t* acc, int32_t gainLeft, int32_t gainRight) {
    const bool sixteen = data.format.bitsPerSample == 16;
    if (data.format.channels == 1)
        return sixteen ? Render<1, true, OutChannels>::Run(data, looping, position, step, count, acc, gainLeft, gainRight)
                       : Render<1, false, OutChannels>::Run(data, looping, position, step, count, acc, gainLeft, gainRight);
    return sixteen ? Render<2, true, OutChannels>::Run(data, looping, position, step, count, acc, gainLeft, gainRight)
                   : Render<2, false, OutChannels>::Run(data, looping, position, step, count, acc, gainLeft, gainRight);
}

// Q16 x Q16 x Q16 -> Q16.
int32_t Combine(int32_t a, int32_t b, int32_t c) {
    return static_cast<int32_t>((static_cast<int64_t>(a) * b >> 16) * c >> 16);
}

} // namespace

int32_t AttenuationGain(int32_t hundredthsDb) {
    if (hundredthsDb >= 0) return kUnityGain;
    if (hundredthsDb <= kSilence) return 0;
    return GainTable()[-hundredthsDb];
}

SoundData::SoundData(const WaveFormat& f, uint32_t n)
    : format(f), size(n), frames(f.blockAlign ? n / f.blockAlign : 0), bytes(new uint8_t[n]()) {}

Mixer::Mixer() : format_(PcmFormat(22050, 8, 2)) {}

void Mixer::StartLocked(MixChannel& channel, bool looping) {
    channel.looping = looping;
    if (channel.playing) return;
    if (!channel.data || channel.data->frames == 0) {
        Finish(channel);
        return;
    }
    channel.playing = true;
    channel.previous = nullptr;
    channel.next = first_;
    if (first_) first_->previous = &channel;
    first_ = &channel;
}

void Mixer::StopLocked(MixChannel& channel) {
    if (channel.playing) Unlink(channel);
}

void Mixer::Unlink(MixChannel& channel) {
    if (channel.previous) channel.previous->next = channel.next;
    else first_ = channel.next;
    if (channel.next) channel.next->previous = channel.previous;
    channel.previous = channel.next = nullptr;
    channel.playing = false;
}

void Mixer::Finish(MixChannel& channel) {
    if (channel.playing) Unlink(channel);
    channel.position = 0;
}

uint64_t Mixer::StepOf(const MixChannel& channel) const {
    return (uint64_t{channel.frequency} << 32) / format_.samplesPerSec;
}

void SetGroupGain(GainGroup group, float gain) {
    const float clamped = std::clamp(gain, 0.0f, 1.0f);
    groupGains[static_cast<int>(group)].store(clamped, std::memory_order_relaxed);
}

float GroupGain(GainGroup group) { return groupGains[static_cast<int>(group)].load(std::memory_order_relaxed); }

bool Mixer::MixChannelBlock(MixChannel& channel, int32_t* accumulator, uint32_t frames) {
    // 65,536 x a float of 24 bits is exact: the conversion cannot round.
    const auto group = static_cast<int32_t>(GroupGain(channel.group) * kUnityGain);
    const uint64_t step = StepOf(channel);
    const SoundData& data = *channel.data;
    if (format_.channels == 2)
        return RenderChannel<2>(data, channel.looping, channel.position, step, frames, accumulator,
                                Combine(channel.gainLeft, group, master_), Combine(channel.gainRight, group, master_));
    const int32_t gain = Combine(channel.gainMono, group, master_);
    return RenderChannel<1>(data, channel.looping, channel.position, step, frames, accumulator, gain, gain);
}

void Mixer::MixLocked(void* out, uint32_t frames) {
    auto* bytes = static_cast<uint8_t*>(out);
    const uint32_t outChannels = format_.channels;
    while (frames > 0) {
        const uint32_t n = std::min(frames, kBlockFrames);
        const uint32_t samples = n * outChannels;
        std::fill_n(accumulator_, samples, 0);
        for (MixChannel* c = first_; c;) {
            MixChannel* next = c->next;
            if (!MixChannelBlock(*c, accumulator_, n)) Finish(*c);
            c = next;
        }
        for (uint32_t i = 0; i < samples; ++i) {
            const int32_t v = std::clamp(accumulator_[i], -32768, 32767);
            if (format_.bitsPerSample == 16) {
                const auto s = static_cast<int16_t>(v);
                std::memcpy(bytes + i * 2, &s, 2);
            } else {
                bytes[i] = static_cast<uint8_t>((v >> 8) + 128);
            }
        }
        bytes += samples * (format_.bitsPerSample / 8);
        frames -= n;
    }
}

bool Mixer::Advance(MixChannel& channel, uint32_t frames) const {
    const uint64_t end = uint64_t{channel.data->frames} << 32;
    const unsigned __int128 moved = static_cast<unsigned __int128>(StepOf(channel)) * frames + channel.position;
    if (moved >= end) {
        if (!channel.looping) return false;
        channel.position = static_cast<uint64_t>(moved % end);
        return true;
    }
    channel.position = static_cast<uint64_t>(moved);
    return true;
}

void Mixer::SkipLocked(uint32_t frames) {
    for (MixChannel* c = first_; c;) {
        MixChannel* next = c->next;
        if (!Advance(*c, frames)) Finish(*c);
        c = next;
    }
}

WaveFormat PcmFormat(uint32_t rate, uint16_t bits, uint16_t channels) {
    WaveFormat f;
    f.formatTag = kWaveFormatPcm;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.bitsPerSample = bits;
    f.blockAlign = static_cast<uint16_t>(bits * channels / 8);
    f.avgBytesPerSec = rate * f.blockAlign;
    return f;
}

SoundCaps DefaultSoundCaps() {
    SoundCaps caps;
    caps.flags = kCapsPrimaryMono | kCapsPrimaryStereo | kCapsPrimary8Bit | kCapsPrimary16Bit | kCapsContinuousRate |
                 kCapsSecondaryMono | kCapsSecondaryStereo | kCapsSecondary8Bit | kCapsSecondary16Bit;
    caps.minSecondarySampleRate = kFrequencyMin;
    caps.maxSecondarySampleRate = kFrequencyMax;
    caps.primaryBuffers = 1;
    caps.maxHwMixingAllBuffers = caps.maxHwMixingStaticBuffers = caps.maxHwMixingStreamingBuffers = 32;
    caps.freeHwMixingAllBuffers = caps.freeHwMixingStaticBuffers = caps.freeHwMixingStreamingBuffers = 32;
    return caps;
}

} // namespace plat
