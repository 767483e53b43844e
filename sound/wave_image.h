#pragma once
// RIFF WAVE images as banks and loose files hold them. Only the plain form
// is accepted: "RIFF" (size) "WAVE", a "fmt " chunk of PCM with 8 or 16 bits
// per sample, immediately followed by the "data" chunk. Every size is checked
// against the image.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/dsound/sound_types.h"

struct WaveImage {
    plat::WaveFormat format;
    const uint8_t* data = nullptr; // inside the image
    uint32_t length = 0;
};

// False when the image is not in the accepted form.
bool ParseWaveImage(std::string_view image, WaveImage& out);
