#pragma once
// The client's sound plays: through the running sound system, and to an
// observer that tests install to see which sounds a message starts. Options
// and arguments are SoundSystem::Play's.

#include <cstdint>

// Plays `sample`; the voice, or 0 when no sound system runs.
int32_t TvPlaySound(int32_t sample, const char* options, ...);

// Gets every play's sample and option string before it reaches the sound
// system; null removes it. Main thread.
using SoundPlayObserver = void (*)(int32_t sample, const char* options);
void SetSoundPlayObserver(SoundPlayObserver observer);
