#include "tests/image/image_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "core/bytes.h"
#include "image/image_reader.h"
#include "image/memory_stream.h"
#include "image/pixel_format.h"
#include "image/reader_registry.h"
#include "image/texture_error.h"
#include "image/texture_loader_state.h"
#include "platform/d3d/pixel_format.h"

namespace imagetest {

namespace {
struct TempFolder {
    std::filesystem::path path;
    TempFolder() {
        path = std::filesystem::temp_directory_path() / ("image_tests_" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};
} // namespace

std::string TempDir() {
    static TempFolder folder;
    return folder.path.string();
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

RgbImage ParsePlainPnm(const std::string& text) {
    std::istringstream in(text);
    std::string magic;
    RgbImage image;
    uint32_t maximum = 1;
    in >> magic >> image.width >> image.height;
    if (magic != "P1") in >> maximum;
    size_t pixels = size_t{image.width} * image.height;
    for (size_t i = 0; i < pixels && in; ++i) {
        uint32_t c[3];
        if (magic == "P1") {
            char bit;
            in >> bit;
            c[0] = c[1] = c[2] = bit == '1' ? 0 : 255;
        } else if (magic == "P2") {
            in >> c[0];
            c[1] = c[2] = c[0] = c[0] * 255 / maximum;
        } else {
            in >> c[0] >> c[1] >> c[2];
            for (uint32_t& v : c) v = v * 255 / maximum;
        }
        for (uint32_t v : c) image.rgb.push_back(static_cast<uint8_t>(v));
    }
    return image;
}

RgbImage NetpbmDecode(const std::string& converter, const std::string& path) {
    std::string out = path + ".plain";
    if (!Run(converter + " '" + path + "' 2>/dev/null | pnmtopnm -plain > '" + out + "' 2>/dev/null")) return {};
    return ParsePlainPnm(ReadFile(out));
}

std::string NetpbmMake(const std::string& plainPnm, const std::string& pipeline, const std::string& name) {
    std::string source = TempDir() + "/" + name + ".src";
    std::string target = TempDir() + "/" + name;
    WriteFile(source, plainPnm);
    Run("(" + pipeline + ") < '" + source + "' > '" + target + "' 2>/dev/null");
    return target;
}

std::string Be32(uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string Be16(uint32_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }

std::string Chunk(const char* id, const std::string& body) {
    std::string out = std::string(id, 4) + Be32(static_cast<uint32_t>(body.size())) + body;
    if (body.size() & 1) out += '\0';
    return out;
}

std::string Group(const char* id, const char* type, std::initializer_list<std::string> children) {
    std::string body(type, 4);
    for (const std::string& child : children) body += child;
    return Chunk(id, body);
}

RgbImage ReaderResult::Rgb() const {
    RgbImage image{width, height, {}};
    for (uint32_t p : argb) {
        image.rgb.push_back(static_cast<uint8_t>(p >> 16));
        image.rgb.push_back(static_cast<uint8_t>(p >> 8));
        image.rgb.push_back(static_cast<uint8_t>(p));
    }
    return image;
}

ReaderResult ReadImage(const std::string& bytes, uint32_t colourLimit, const plat::PixelFormat* format) {
    RegisterImageReaders();
    ReaderResult result;
    plat::PixelFormat argb = plat::Argb8888Format();
    PixelFormatFromDDPF(TextureLoader.current, format ? format : &argb);
    TextureLoadError = kTextureOk;
    auto* memory = new MemoryStream(bytes.data(), static_cast<uint32_t>(bytes.size()));
    MediaStream& stream = *memory;
    ImageReaderFactory factory = ImageReaderLookup(stream);
    ImageReader* reader = factory ? factory() : nullptr;
    if (!reader) {
        result.error = kTextureUnsupported;
        memory->Release();
        return result;
    }
    reader->ReadHeader(stream);
    if (!TextureFailFromStream(stream)) {
        reader->AllocateBuffers(false, colourLimit);
        result.width = reader->width;
        result.height = reader->height;
        result.paletteCount = reader->PaletteCount();
        result.furtherLevels = reader->FurtherLevels();
        result.alphaBits = reader->AlphaBits();
        const uint8_t* palette = result.paletteCount ? reader->Palette() : nullptr;
        result.argb.assign(size_t{result.width} * result.height, 0);
        for (uint32_t i = 0; i < result.height && TextureLoadError == kTextureOk; ++i) {
            uint32_t y = reader->RowsBottomUp() ? result.height - 1 - i : i;
            void* row = reader->RowBuffer(y);
            const void* alpha = reader->AlphaRow(y);
            reader->ReadRow(row);
            reader->ReadAlphaRow(alpha);
            if (TextureLoadError != kTextureOk) break; // the row is not to be converted
            std::vector<uint8_t> converted(size_t{result.width} * 4);
            reader->ConvertRow(converted.data(), result.width, row, alpha, 0, result.width, palette);
            for (uint32_t x = 0; x < result.width; ++x)
                result.argb[size_t{y} * result.width + x] = TextureLoader.current.bits == 16
                                                               ? LoadU16LE(&converted[x * 2])
                                                               : LoadU32LE(&converted[x * 4]);
        }
        TextureFailFromStream(stream);
    }
    result.error = TextureLoadError;
    reader->Release();
    memory->Release();
    return result;
}

} // namespace imagetest
