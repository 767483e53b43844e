#pragma once
// The music fields of the user's settings, 0 to 9 each. The front end loads
// and saves them with the rest of its settings and writes them here.

#include <cstdint>

struct MusicUserSettings {
    int32_t MusicVolume = 5;  // the CD
    int32_t MusicVolume2 = 7; // streamed music
    int32_t WaveVolume = 7;   // wave output
};

extern MusicUserSettings MusicSettings;
