#pragma once
// Movie files in the shape of the movie library's calls, audio only (the
// movie player adds the video): open a file (its format from its content),
// route its sound to the DirectSound device, pace its frames (the video
// stream's rate, or 30 a second for sound alone) on the layer's clock,
// decode each frame's sound into the file's looping sound buffer, step to
// the next frame (back to frame 0 after the last), pause, set the volume,
// close. A file without an audio stream does not open.
//
// One thread decodes a file; another may set its volume or pause it.

#include <cstdint>
#include <string_view>

namespace plat {

class DirectSound;
struct Bink;

// The sound output of the files opened from now on: what a sound system's
// open function makes of a device object.
using BinkSoundOpen = DirectSound* (*)(DirectSound* device);
// The DirectSound output: the device itself.
DirectSound* BinkOpenDirectSound(DirectSound* device);
// Without a sound output (or with a null device) files play in silence.
// The caller keeps the device alive while files opened on it are open.
bool BinkSetSoundSystem(BinkSoundOpen open, DirectSound* device);

// Null without a decoder, without the file, or without an audio stream. No flags are defined.
Bink* BinkOpen(std::string_view name, uint32_t flags);
void BinkClose(Bink* bink);

uint32_t BinkFrameCount(const Bink* bink);
// 0 to BinkFrameCount - 1.
uint32_t BinkCurrentFrame(const Bink* bink);

// 32,768 is unity gain, linear.
void BinkSetVolume(Bink* bink, int32_t volume);
// True until the next frame is due (and while paused). Once the last
// frame's sound has played and no frame followed, the sound stops.
bool BinkWait(Bink* bink);
// Decodes the current frame's sound into the buffer.
void BinkDoFrame(Bink* bink);
void BinkNextFrame(Bink* bink);
void BinkPause(Bink* bink, bool pause);

} // namespace plat
