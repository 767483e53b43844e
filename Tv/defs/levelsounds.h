#pragma once
// Sounds placed in a level by its model's dummy objects. A sound dummy's text
// has three lines (each ending at a line feed, a carriage return, or both):
// "Sound" (without regard to case), the sound's name, and its parameters,
// letters each followed directly by a number, separated by blanks:
//   I range, P pitch in semitones, R second range (an optional '-', digits,
//   an optional '.' and digits), V volume (digits).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/maths.h"

struct AwDummyObject;

struct LevelSoundParameters {
    Real range = 0;       // I (0: the sample's own)
    Real frequency = 0;   // P / 12
    Real secondRange = 0; // R (0: the sample's own)
    int32_t volume = 100; // V
};

// False when the text is not a sound dummy's; the name and parameters otherwise.
bool ParseSoundDummy(std::string_view text, std::string& name, LevelSoundParameters& out);

// Every sound dummy whose sound the sound manager loads (from the sounds
// directory) becomes one of its persistent sounds at the dummy's position
// and leaves the list; the others stay. Nothing without a sound manager.
void PlaceLevelSounds(std::vector<AwDummyObject>& dummies);
