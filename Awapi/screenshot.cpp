#include "Awapi/screenshot.h"

#include <cstdint>
#include <vector>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "core/bytes.h"
#include "platform/d3d/surface.h"
#include "platform/files.h"

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize;

bool Exists(const std::string& name) {
    return plat::File::Open(name, plat::kAccessRead, plat::FileDisposition::OpenExisting).IsOpen();
}

// One screen pixel as blue, green, red.
void WritePixel(const uint8_t* pixel, uint32_t depth, uint8_t* out) {
    switch (depth) {
    case 16: {
        const uint32_t p = static_cast<uint32_t>(pixel[0]) | static_cast<uint32_t>(pixel[1]) << 8;
        // The byte store drops the bits of the channels above each one.
        out[0] = static_cast<uint8_t>((p >> ScreenGeometry.Blue.shift) << ScreenGeometry.Blue.loss);
        out[1] = static_cast<uint8_t>((p >> ScreenGeometry.Green.shift) << ScreenGeometry.Green.loss);
        out[2] = static_cast<uint8_t>((p >> ScreenGeometry.Red.shift) << ScreenGeometry.Red.loss);
        break;
    }
    case 24:
    case 32:
        out[0] = pixel[0];
        out[1] = pixel[1];
        out[2] = pixel[2];
        break;
    default:
        break; // other depths leave the pixel area blank
    }
}

// The BMP of a locked area: rows bottom-up, each padded to 4 bytes.
std::vector<uint8_t> BuildBmp(const plat::SurfaceDesc& locked, uint32_t width, uint32_t height, uint32_t depth) {
    const uint32_t rowSize = (width * 3 + 3) & ~3u;
    const uint32_t imageSize = rowSize * height;
    ByteWriter bmp;
    bmp.U16(0x4D42);
    bmp.U32(kPixelOffset + imageSize);
    bmp.U16(0);
    bmp.U16(0);
    bmp.U32(kPixelOffset);
    bmp.U32(kInfoHeaderSize);
    bmp.I32(static_cast<int32_t>(width));
    bmp.I32(static_cast<int32_t>(height));
    bmp.U16(1);
    bmp.U16(24);
    bmp.U32(0);
    bmp.U32(imageSize);
    bmp.Zeros(16); // resolutions and colour counts
    bmp.Zeros(imageSize);
    const uint32_t bytesPerPixel = depth / 8;
    uint8_t* pixels = bmp.bytes().data() + kPixelOffset;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* source = locked.surface + static_cast<int64_t>(locked.pitch) * y;
        uint8_t* row = pixels + static_cast<size_t>(height - 1 - y) * rowSize;
        for (uint32_t x = 0; x < width; ++x) WritePixel(source + x * bytesPerPixel, depth, row + x * 3);
    }
    return std::move(bmp.bytes());
}

} // namespace

std::string AwNextScreenshotName() {
    std::string name = "Screen.bmp";
    for (uint32_t counter = 1; Exists(name); ++counter) name = "Screen" + std::to_string(counter) + ".bmp";
    return name;
}

bool AwSaveScreenshot() { return AwWriteScreenshot(AwNextScreenshotName()); }

bool AwWriteScreenshot(std::string_view name) {
    plat::Surface* primary = AwDevice.PrimarySurface;
    if (!primary) return false;
    const bool windowed = (ScreenGeometry.DisplayFlags & kDisplayWindowed) != 0;
    const plat::Rect area = windowed ? ScreenGeometry.Destination : ScreenGeometry.Screen;
    if (area.right <= area.left || area.bottom <= area.top) return false;
    // Locking the area itself, not the whole surface, makes the layer refuse
    // an area that reaches past the screen instead of letting it be read.
    plat::SurfaceDesc locked;
    if (plat::Failed(primary->Lock(&area, &locked, plat::kDdLockReadOnly | plat::kDdLockWait))) return false;
    const std::vector<uint8_t> image =
        BuildBmp(locked, static_cast<uint32_t>(area.right - area.left), static_cast<uint32_t>(area.bottom - area.top),
                 ScreenGeometry.Depth);
    primary->Unlock(&area);

    plat::File file = plat::File::Open(name, plat::kAccessWrite, plat::FileDisposition::CreateNew);
    if (!file.IsOpen()) return false;
    if (!file.Write(image.data(), static_cast<uint32_t>(image.size()))) {
        file.Close();
        plat::DeleteFile(name);
        return false;
    }
    return true;
}
