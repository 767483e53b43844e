#pragma once
// The chunks of IFF images: FORM ILBM holds a bitmap header and either a colour
// map with bit-plane rows (and optionally alpha planes and a transparent
// colour) or S3TC blocks; FORM MIPM announces further stored levels. Numbers
// are big-endian.

#include <cstdint>
#include <vector>

#include "image/iff_chunk.h"

constexpr IffId kIffIlbm = MakeIffId("ILBM");
constexpr IffId kIffMipm = MakeIffId("MIPM");
constexpr IffId kIffBmhd = MakeIffId("BMHD");
constexpr IffId kIffCmap = MakeIffId("CMAP");
constexpr IffId kIffBody = MakeIffId("BODY");
constexpr IffId kIffAlph = MakeIffId("ALPH");
constexpr IffId kIffTran = MakeIffId("TRAN");
constexpr IffId kIffS3tc = MakeIffId("S3TC");
constexpr IffId kIffCont = MakeIffId("CONT");
constexpr IffId kIffGrab = MakeIffId("GRAB");
constexpr IffId kIffFlag = MakeIffId("FLAG");

// BMHD masking values the reader accepts.
constexpr uint8_t kMaskNone = 0;
constexpr uint8_t kMaskTransparentColour = 2;

struct IlbmBitmapHeader final : IffChunk {
    IlbmBitmapHeader() : IffChunk(kIffBmhd) {}
    void Read(IffReadContext& context) override;

    uint16_t width = 0, height = 0;
    int16_t x = 0, y = 0;
    uint8_t planes = 0, masking = 0, compression = 0, pad = 0;
    uint16_t transparentColour = 0;
    uint8_t xAspect = 0, yAspect = 0;
    int16_t pageWidth = 0, pageHeight = 0;
};

struct IlbmColourMap final : IffChunk {
    IlbmColourMap() : IffChunk(kIffCmap) {}
    void Read(IffReadContext& context) override;
    uint32_t Count() const { return static_cast<uint32_t>(colours.size() / 3); }

    std::vector<uint8_t> colours; // R, G, B per entry
};

struct IlbmBody final : IffChunk {
    IlbmBody() : IffChunk(kIffBody) {}
    void Read(IffReadContext& context) override;

    std::vector<uint8_t> bytes;
};

struct IlbmAlpha final : IffChunk {
    IlbmAlpha() : IffChunk(kIffAlph) {}
    void Read(IffReadContext& context) override;

    uint16_t width = 0, height = 0;
    uint8_t planes = 0, compression = 0;
    std::vector<uint8_t> bytes; // bit-plane rows like BODY
};

struct IlbmTransparency final : IffChunk {
    IlbmTransparency() : IffChunk(kIffTran) {}
    void Read(IffReadContext& context) override;

    uint8_t flag = 0;
    uint16_t value1 = 0, value2 = 0;
    uint8_t colour[3] = {};
};

struct IlbmS3tc final : IffChunk {
    IlbmS3tc() : IffChunk(kIffS3tc) {}
    void Read(IffReadContext& context) override;

    uint32_t value1 = 0;
    uint32_t fourCc = 0; // as stored: "DXT1" is 0x44585431
    uint16_t value2 = 0, value3 = 0, value4 = 0;
    uint16_t width = 0, height = 0;
    std::vector<uint8_t> data; // rows of 4x4 blocks
};

// The image's hot spot; kept, not used.
struct IlbmGrab final : IffChunk {
    IlbmGrab() : IffChunk(kIffGrab) {}
    void Read(IffReadContext& context) override;

    uint16_t x = 0, y = 0;
};

struct MipmContents final : IffChunk {
    MipmContents() : IffChunk(kIffCont) {}
    void Read(IffReadContext& context) override;

    uint8_t value1 = 0, value2 = 0;
};

struct MipmFlag final : IffChunk {
    MipmFlag() : IffChunk(kIffFlag) {}
    void Read(IffReadContext& context) override;

    uint32_t value = 0;
};

void RegisterIlbmChunkClasses();
