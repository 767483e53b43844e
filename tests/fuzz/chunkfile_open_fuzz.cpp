// Opens any bytes as a chunk file, plain or compressed. Whatever opens must
// serialise into an image that reads back to the same image, and that image
// must survive the container.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "chunkfile/container.h"
#include "chunkfile/filechunk.h"
#include "chunkfile/memoryfilechunk.h"
#include "chunkfile/register_all.h"
#include "platform/files.h"

namespace {

const std::string& InputPath() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("tavrin-fuzz-" + std::to_string(std::random_device{}()) + ".qif"))
            .string();
    return path;
}

void Require(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegisterAllChunkClasses();
    {
        plat::File out = plat::File::Open(InputPath(), plat::kAccessWrite, plat::FileDisposition::CreateAlways);
        Require(out.IsOpen() && out.Write(data, static_cast<uint32_t>(size)));
    }
    auto file = FileChunk::Open(InputPath());
    plat::DeleteFile(InputPath());
    if (file->Error() != 0) return 0;

    const std::vector<uint8_t> image = file->MakeDataBlock();
    Require(image.size() >= 12);
    const std::span<const uint8_t> children = std::span(image).subspan(12);
    MemoryFileChunk again(children, static_cast<uint32_t>(image.size()));
    Require(again.Error() == 0 && again.MakeDataBlock() == image);

    std::vector<uint8_t> unpacked;
    Require(DecompressChunkImage(CompressChunkImage(image), unpacked) && unpacked == image);
    return 0;
}
