#pragma once
// PAM files of 8-bit RGBA pixels ("P7", TUPLTYPE RGB_ALPHA).

#include <cstdint>
#include <string>
#include <vector>

struct RgbaImage {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgba; // top row first
};

// Writes the image; false when the file cannot be written.
bool WritePam(const std::string& path, const RgbaImage& image);
