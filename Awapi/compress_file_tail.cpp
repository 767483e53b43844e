#include "Awapi/compress_file_tail.h"

#include <span>
#include <string>
#include <vector>

#include "chunkfile/container.h"
#include "platform/files.h"

bool AwCompressFileTail(std::string_view name, uint32_t keep) {
    std::string bytes;
    if (!plat::ReadWholeFile(name, bytes) || bytes.size() < keep) return false;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const std::vector<uint8_t> block = CompressChunkImage(std::span(data + keep, bytes.size() - keep));
    if (block.empty()) return false;

    const std::string temporary = std::string(name) + ".tmp";
    plat::File file = plat::File::Open(temporary, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
    if (!file.IsOpen()) return false;
    const bool written = file.Write(data, keep) && file.Write(block.data(), static_cast<uint32_t>(block.size()));
    file.Close();
    if (!written || !plat::RenameFile(temporary, name)) {
        plat::DeleteFile(temporary);
        return false;
    }
    return true;
}
