// tvview_compare TVVIEW MODEL REFERENCE.ppm [--update]
//
// The end-to-end render check: runs tvview on the model for 30 frames,
// shrinks its 640 x 480 screenshot to 160 x 120 (4 x 4 averages) and compares
// it with the reference image. Passes when the mean difference per channel is
// below 4 and no more than 1% of the pixels differ by more than 48 in any
// channel. With --update the reference is written instead (look at it first).
// Exit 77 (skipped) without a display.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "platform/files.h"

namespace {

constexpr int kSkipped = 77;
constexpr uint32_t kWidth = 640, kHeight = 480, kShrink = 4;
constexpr uint32_t kSmallWidth = kWidth / kShrink, kSmallHeight = kHeight / kShrink;

// A 24-bit bottom-up BMP of kWidth x kHeight as top-down RGB rows; empty when it is anything else.
std::vector<uint8_t> ReadScreenshot(const std::string& path) {
    std::string file;
    if (!plat::ReadWholeFile(path, file)) return {};
    ByteReader reader(file.data(), file.size());
    uint16_t magic = 0, planes = 0, bits = 0;
    uint32_t size = 0, offset = 0, header = 0;
    int32_t width = 0, height = 0;
    if (!reader.U16(magic) || !reader.U32(size) || !reader.Skip(4) || !reader.U32(offset) || !reader.U32(header) ||
        !reader.I32(width) || !reader.I32(height) || !reader.U16(planes) || !reader.U16(bits))
        return {};
    const uint32_t rowSize = (kWidth * 3 + 3) & ~3u;
    if (magic != 0x4D42 || width != static_cast<int32_t>(kWidth) || height != static_cast<int32_t>(kHeight) ||
        bits != 24 || static_cast<uint64_t>(offset) + rowSize * kHeight > file.size())
        return {};
    std::vector<uint8_t> rgb(kWidth * kHeight * 3);
    for (uint32_t y = 0; y < kHeight; ++y) {
        const auto* row = reinterpret_cast<const uint8_t*>(file.data()) + offset + (kHeight - 1 - y) * rowSize;
        for (uint32_t x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c) rgb[(y * kWidth + x) * 3 + c] = row[x * 3 + 2 - c];
    }
    return rgb;
}

std::vector<uint8_t> Shrink(const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> small(kSmallWidth * kSmallHeight * 3);
    for (uint32_t y = 0; y < kSmallHeight; ++y)
        for (uint32_t x = 0; x < kSmallWidth; ++x)
            for (int c = 0; c < 3; ++c) {
                uint32_t sum = 0;
                for (uint32_t dy = 0; dy < kShrink; ++dy)
                    for (uint32_t dx = 0; dx < kShrink; ++dx)
                        sum += rgb[((y * kShrink + dy) * kWidth + x * kShrink + dx) * 3 + c];
                small[(y * kSmallWidth + x) * 3 + c] = static_cast<uint8_t>(sum / (kShrink * kShrink));
            }
    return small;
}

std::string PpmHeader() { return "P6\n" + std::to_string(kSmallWidth) + " " + std::to_string(kSmallHeight) + "\n255\n"; }

bool WritePpm(const std::string& path, const std::vector<uint8_t>& rgb) {
    const std::string header = PpmHeader();
    plat::File file = plat::File::Open(path, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
    return file.IsOpen() && file.Write(header.data(), static_cast<uint32_t>(header.size())) &&
           file.Write(rgb.data(), static_cast<uint32_t>(rgb.size()));
}

// The pixels of a reference written by WritePpm; empty when it is anything else.
std::vector<uint8_t> ReadPpm(const std::string& path) {
    std::string file;
    const std::string header = PpmHeader();
    if (!plat::ReadWholeFile(path, file) || file.size() != header.size() + kSmallWidth * kSmallHeight * 3 ||
        file.compare(0, header.size(), header) != 0)
        return {};
    return std::vector<uint8_t>(file.begin() + static_cast<std::ptrdiff_t>(header.size()), file.end());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: tvview_compare TVVIEW MODEL REFERENCE.ppm [--update]\n");
        return 2;
    }
    const bool update = argc > 4 && std::string(argv[4]) == "--update";
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::printf("tvview_compare: no display, skipped (run under xvfb-run)\n");
        return kSkipped;
    }
    // A name of its own per run: several builds may compare the same model at once.
    const std::string shot = (std::filesystem::temp_directory_path() /
                              ("tvview-compare-" + std::filesystem::path(argv[3]).stem().string() + "-" +
                               std::to_string(std::random_device{}()) + ".bmp"))
                                 .string();
    std::filesystem::remove(shot);
    const std::string command = std::string("TAVRIN_VIDEO=gl \"") + argv[1] + "\" \"" + argv[2] +
                                "\" --frames 30 --screenshot \"" + shot + "\"";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "tvview_compare: tvview failed\n");
        return 1;
    }
    const std::vector<uint8_t> screen = ReadScreenshot(shot);
    std::filesystem::remove(shot);
    if (screen.empty()) {
        std::fprintf(stderr, "tvview_compare: the screenshot is not a 640 x 480 24-bit BMP\n");
        return 1;
    }
    const std::vector<uint8_t> small = Shrink(screen);
    if (update) return WritePpm(argv[3], small) ? 0 : 1;

    const std::vector<uint8_t> reference = ReadPpm(argv[3]);
    if (reference.empty()) {
        std::fprintf(stderr, "tvview_compare: cannot read the reference %s\n", argv[3]);
        return 1;
    }
    uint64_t total = 0;
    uint32_t far = 0;
    for (size_t p = 0; p < small.size(); p += 3) {
        int worst = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(static_cast<int>(small[p + c]) - static_cast<int>(reference[p + c]));
            total += static_cast<uint64_t>(d);
            worst = std::max(worst, d);
        }
        far += worst > 48 ? 1 : 0;
    }
    const double mean = static_cast<double>(total) / static_cast<double>(small.size());
    const uint32_t pixels = kSmallWidth * kSmallHeight;
    std::printf("tvview_compare: mean difference %.2f, %u of %u pixels far off\n", mean, far, pixels);
    return mean < 4.0 && far * 100 <= pixels ? 0 : 1;
}
