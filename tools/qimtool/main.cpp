// qimtool: the texture loader from the command line.
//   qimtool decode FILE OUT.pam   decodes any image the loader reads (by its
//                                 content) into 8-bit RGBA, mip levels into
//                                 OUT.1.pam, OUT.2.pam...
//   qimtool info FILE             prints the reader, size, format, palette
//                                 and stored levels
// A file the loader refuses prints its error code and meaning; exit status 1.

#include <algorithm>
#include <cstdio>
#include <string>

#include "image/bmp_reader.h"
#include "image/headless_texture_device.h"
#include "image/ilbm_reader.h"
#include "image/image_reader.h"
#include "image/image_source.h"
#include "image/memory_stream.h"
#include "image/pnm_reader.h"
#include "image/reader_registry.h"
#include "image/texture_error.h"
#include "image/texture_load.h"
#include "platform/d3d/pixel_format.h"
#include "platform/d3d/surface.h"
#include "platform/files.h"
#include "tools/qimtool/pam_writer.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: qimtool decode FILE OUT.pam\n       qimtool info FILE\n");
    return 1;
}

int Failure(const std::string& file) {
    std::fprintf(stderr, "qimtool: %s: error %u: %s\n", file.c_str(), TextureLoadError, TextureErrorText(TextureLoadError));
    return 1;
}

// A device whose textures are 32-bit ARGB and as large as any image the readers take.
plat::BackendFacts ToolFacts() {
    plat::BackendFacts facts = plat::NullBackend::DefaultFacts();
    facts.limits.maxTextureSize = kMaxImageSide;
    facts.videoMemoryBytes = 0xFFFFFFFF;
    return facts;
}

// The top-left width x height pixels of a 32-bit ARGB surface as RGBA.
bool ReadLevel(plat::Surface* surface, uint32_t width, uint32_t height, RgbaImage& out) {
    plat::SurfaceDesc d;
    if (plat::Failed(surface->Lock(nullptr, &d, plat::kDdLockReadOnly))) return false;
    out.width = std::min(width, d.width);
    out.height = std::min(height, d.height);
    out.rgba.clear();
    for (uint32_t y = 0; y < out.height; ++y) {
        const uint8_t* row = d.surface + static_cast<int64_t>(y) * d.pitch;
        for (uint32_t x = 0; x < out.width; ++x) {
            const uint8_t* p = row + x * 4; // B, G, R, A
            out.rgba.insert(out.rgba.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    surface->Unlock(nullptr);
    return true;
}

// OUT.pam for level 0, OUT.k.pam for mip level k.
std::string LevelName(const std::string& out, uint32_t level) {
    if (level == 0) return out;
    std::string stem = out.size() > 4 && out.compare(out.size() - 4, 4, ".pam") == 0 ? out.substr(0, out.size() - 4) : out;
    return stem + "." + std::to_string(level) + ".pam";
}

int Decode(const std::string& file, const std::string& out) {
    HeadlessTextureDevice device(plat::Argb8888Format(), ToolFacts());
    uint32_t width = 0, height = 0;
    plat::Surface* texture = TextureLoad("sfOXOY", file.c_str(), kTexMipmap, &width, &height);
    if (!texture) return Failure(file);
    // The mip levels live as long as the texture: it is released last.
    plat::SurfaceCaps mip;
    mip.caps = plat::kDdsCapsTexture | plat::kDdsCapsMipMap;
    int status = 0;
    plat::Surface* level = texture;
    level->AddRef();
    for (uint32_t index = 0; level && status == 0; ++index) {
        RgbaImage image;
        uint32_t w = std::max(1u, (width + (1u << index) - 1) >> index);
        uint32_t h = std::max(1u, (height + (1u << index) - 1) >> index);
        if (!ReadLevel(level, w, h, image) || !WritePam(LevelName(out, index), image)) {
            std::fprintf(stderr, "qimtool: cannot write %s\n", LevelName(out, index).c_str());
            status = 1;
        }
        plat::Surface* next = nullptr;
        level->GetAttachedSurface(mip, &next);
        level->Release();
        level = next;
    }
    if (level) level->Release();
    texture->Release();
    return status;
}

const char* ReaderName(ImageReaderFactory factory) {
    if (factory == BmpReaderCreate) return "BMP";
    if (factory == IlbmReaderCreate) return "IFF ILBM";
    if (factory == PnmP6ReaderCreate) return "PNM P6 (colour)";
    if (factory == PnmP5ReaderCreate) return "PNM P5 (grey)";
    if (factory == PnmP4ReaderCreate) return "PNM P4 (black and white)";
    return "none";
}

int Info(const std::string& file) {
    HeadlessTextureDevice device(plat::Argb8888Format(), ToolFacts());
    std::string bytes;
    if (!plat::ReadWholeFile(file, bytes)) {
        TextureLoadError = kTextureOpenFailed;
        return Failure(file);
    }
    auto* stream = new MemoryStream(bytes.data(), static_cast<uint32_t>(bytes.size()));
    const char* reader = ReaderName(ImageReaderLookup(*stream));
    stream->Release();

    ImageSource* source = nullptr;
    plat::Surface* surface = TextureLoad("pxB", bytes.data(), static_cast<uint32_t>(bytes.size()), &source);
    if (!surface) return Failure(file);
    surface->Release();
    std::printf("reader: %s\nsize: %u x %u\n", reader, source->width, source->height);
    if (source->Compressed()) {
        uint32_t code = source->FourCC();
        std::printf("format: compressed %c%c%c%c", char(code), char(code >> 8), char(code >> 16), char(code >> 24));
    } else {
        std::printf("format: %s", source->PaletteCount() ? "palette indices" : "RGB");
    }
    std::printf(", %u alpha bits\n", source->AlphaBits());
    if (source->PaletteCount()) std::printf("palette: %u colours\n", source->PaletteCount());
    else std::printf("palette: none\n");
    std::printf("mip levels: %u stored beyond the first\n", source->FurtherLevels());
    ImageSourceRelease(source);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "decode" && argc == 4) return Decode(argv[2], argv[3]);
    if (command == "info" && argc == 3) return Info(argv[2]);
    return Usage();
}
