#pragma once
// A looping sound buffer that decoded audio is written into ahead of its
// play cursor: the one path by which CD tracks and music streams reach the
// mix. The writer keeps its own position; the caller keeps it ahead of the
// cursor. Without a device the buffer takes the writes and plays nothing.

#include <cstdint>
#include <vector>

#include "platform/dsound/mixer.h"

namespace plat {

class AudioDecoder;
class DirectSound;
class SoundBuffer;

// The attenuation (hundredths of a decibel) whose gain is nearest to a
// linear volume, 32,768 being unity gain; louder volumes play at unity.
int32_t AttenuationOfLinearVolume(int32_t volume);

class StreamBuffer {
public:
    // `frames` frames of 16-bit PCM at the rate and channel count, playing in the gain group.
    StreamBuffer(DirectSound* device, uint32_t rate, uint16_t channels, uint32_t frames, GainGroup group);
    ~StreamBuffer();
    StreamBuffer(const StreamBuffer&) = delete;
    StreamBuffer& operator=(const StreamBuffer&) = delete;

    // Decodes up to n frames at the write position and moves it on by what
    // was decoded: fewer at the decoder's end, -1 when decoding failed.
    int64_t Decode(AudioDecoder& decoder, uint32_t frames);
    void WriteSilence(uint32_t frames);
    // Moves the write position on without writing (over frames already played).
    void Skip(uint32_t frames);

    // Plays looping from the cursor, or stops there. Any thread.
    void Play();
    void Stop();
    // 32,768 is unity gain. Any thread.
    void SetVolume(int32_t volume);

    // Frames from the play cursor up to the write position.
    uint32_t Unplayed() const;
    uint32_t Frames() const { return frames_; }

private:
    // The bytes from the write position for n frames (two regions when they
    // wrap), handed to fill and then committed; the position moves on by
    // what fill reports having written, or fill's -1 is returned.
    template <class Fill>
    int64_t WriteAt(uint32_t frames, Fill fill);

    SoundBuffer* buffer_ = nullptr;
    const uint32_t frames_;
    const uint32_t blockAlign_;
    uint32_t writeFrame_ = 0;
    std::vector<int16_t> scratch_; // stands in for the buffer's bytes without a device
};

} // namespace plat
