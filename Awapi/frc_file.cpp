#include "Awapi/frc_file.h"

#include <string>

#include "chunkfile/chunkfileimage.h"
#include "core/bytes.h"
#include "platform/files.h"

bool AwReadFrcFile(std::string_view name, std::vector<AwFrcRecord>& records) {
    std::string bytes;
    if (!plat::ReadWholeFile(name, bytes)) return false;
    ByteReader reader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    uint32_t count = 0;
    if (!reader.U32(count) || reader.remaining() / sizeof(AwFrcRecord) < count) return false;
    std::vector<AwFrcRecord> read(count);
    for (AwFrcRecord& record : read) reader.Bytes(record.data(), record.size());
    records = std::move(read);
    return true;
}

bool AwWriteFrcFile(const std::vector<AwFrcRecord>& records, std::string_view name) {
    ByteWriter writer;
    writer.U32(static_cast<uint32_t>(records.size()));
    for (const AwFrcRecord& record : records) writer.Bytes(record.data(), record.size());
    return WriteFileThroughTemporary(name, writer.bytes());
}
