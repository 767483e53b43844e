#include "Awapi/compress_file_tail.h"

#include <span>
#include <string>
#include <vector>

#include "chunkfile/chunkfileimage.h"
#include "chunkfile/container.h"
#include "platform/files.h"

bool AwCompressFileTail(std::string_view name, uint32_t keep) {
    std::string bytes;
    if (!plat::ReadWholeFile(name, bytes) || bytes.size() < keep) return false;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const std::vector<uint8_t> block = CompressChunkImage(std::span(data + keep, bytes.size() - keep));
    if (block.empty()) return false;
    std::vector<uint8_t> file(data, data + keep);
    file.insert(file.end(), block.begin(), block.end());
    return WriteFileThroughTemporary(name, file);
}
