#pragma once
// Fixtures of the image tests: real files made by netpbm from text sources,
// IFF files assembled chunk by chunk, and a reader run without a device.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/d3d/ddraw_types.h"

namespace imagetest {

// A fresh folder under the system's temporary folder, removed at exit.
std::string TempDir();
// Runs a shell command line; true when it exits with status 0.
bool Run(const std::string& command);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// An image as R, G, B bytes, row by row from the top.
struct RgbImage {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;
    bool operator==(const RgbImage&) const = default;
};
// A plain PNM text of any kind ("P1", "P2", "P3") as RGB.
RgbImage ParsePlainPnm(const std::string& text);
// What netpbm's own readers make of a file: `converter` is the netpbm program
// to PNM ("bmptoppm", "ilbmtoppm", "pnmtopnm").
RgbImage NetpbmDecode(const std::string& converter, const std::string& path);
// Writes `plainPnm` to a file and runs `pipeline` on it ("ppmtobmp -bpp 8"), returning the output file's path.
std::string NetpbmMake(const std::string& plainPnm, const std::string& pipeline, const std::string& name);

// IFF chunks: identifier, big-endian size, body, pad byte.
std::string Chunk(const char* id, const std::string& body);
std::string Group(const char* id, const char* type, std::initializer_list<std::string> children);
std::string Be16(uint32_t v);
std::string Be32(uint32_t v);

// The result of running a reader over bytes, converting each row through the
// reader's own row conversion into a pixel format (no device needed).
struct ReaderResult {
    uint32_t error = 0;
    uint32_t width = 0, height = 0;
    uint32_t paletteCount = 0;
    uint32_t furtherLevels = 0;
    uint32_t alphaBits = 0;
    std::vector<uint32_t> argb; // pixel values, top row first (A8R8G8B8 unless another format was asked for)
    RgbImage Rgb() const;
};
// Reads with the palette fitted to `colourLimit` colours (0: any), converting
// into 32-bit ARGB or into `format` (16 or 32 bits).
ReaderResult ReadImage(const std::string& bytes, uint32_t colourLimit = 0, const plat::PixelFormat* format = nullptr);

} // namespace imagetest
