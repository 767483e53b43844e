#pragma once
// One streamed music file played on the sound device: the movie library's
// calls decode it on a thread of its own, once or looping. The front end,
// briefings, credits and the moods share one (MoodStream). The decode thread
// only decodes; the main thread opens, stops, sets the volume and closes.

#include <atomic>
#include <cstdint>

#include "platform/threads.h"

namespace plat {
class DirectSound;
struct Bink;
} // namespace plat

class MusicStream {
public:
    static constexpr int32_t kNormalVolume = 32768;

    // On DirectSoundObject (a reference held); without it nothing ever plays.
    MusicStream();
    // Closes.
    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    // Closes an open file first; true when the file plays. False without a
    // device, or when the file cannot be opened or has no sound.
    bool Open(const char* file, bool loop);
    // Stops the decode thread and closes the file; true when a device exists.
    bool Stop();
    void Close();
    // 32,768 is the file's own level; applied at once to an open file.
    void SetVolume(int32_t volume);
    // 0 without a device.
    int32_t GetVolume() const;
    void Pause();
    void Resume();

    bool IsOpen() const { return open_; }
    // A stream that does not loop has decoded its last frame.
    bool Finished() const { return finished_.load(); }

private:
    void Decode();
    void StopThread();

    bool open_ = false;
    plat::Bink* bink_ = nullptr;
    plat::Thread thread_;
    // Set by the main thread to end the decode loop, which signals it on leaving.
    std::atomic<plat::Event*> stopEvent_{nullptr};
    plat::DirectSound* directSound_ = nullptr;
    int32_t volume_ = kNormalVolume;
    bool loop_ = false;
    std::atomic<bool> finished_{false};
};
