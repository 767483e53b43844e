#pragma once
// RIFF WAVE images for fixtures: a format block followed at once by the data chunk.

#include <cstdint>
#include <string>

#include "platform/dsound/sound_types.h"

// A RIFF WAVE image of `seconds` of 16-bit mono at the rate (a quiet ramp).
std::string WavImage(float seconds, uint32_t rate = 22050);
// A RIFF WAVE image with this format block and data.
std::string WavImage(const plat::WaveFormat& format, const std::string& data);
