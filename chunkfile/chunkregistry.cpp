#include "chunkfile/chunkregistry.h"

#include <cstring>

#include "core/bytes.h"

namespace {

constexpr uint32_t kRegistryBuckets = 64;
constexpr char kNoParent[8] = {};

void CopyId(char (&out)[8], std::string_view id) {
    std::memset(out, 0, 8);
    id.copy(out, 8);
}

} // namespace

ChunkRegistry::ChunkRegistry() : table_(kRegistryBuckets) {}

ChunkRegistry& ChunkRegistry::Global() {
    static ChunkRegistry registry;
    return registry;
}

uint32_t ChunkRegistry::Key(const char* id) {
    const auto* b = reinterpret_cast<const uint8_t*>(id);
    return MixKey(LoadU32LE(b) + LoadU32LE(b + 4));
}

int32_t ChunkRegistry::Register(std::string_view id, std::string_view parentId, ChunkFactory factory) {
    Entry e;
    CopyId(e.id, id);
    CopyId(e.parentId, parentId);
    e.factory = factory;
    table_.Insert(e, Key(e.id));
    return table_.Count();
}

ChunkFactory ChunkRegistry::Find(const char* id, const char* parentId) const {
    const bool anyParent = std::memcmp(parentId, kNoParent, 8) == 0;
    const auto* e = table_.Find(Key(id), [&](const Entry& entry) {
        return std::memcmp(entry.id, id, 8) == 0 &&
               (anyParent || std::memcmp(entry.parentId, kNoParent, 8) == 0 ||
                std::memcmp(entry.parentId, parentId, 8) == 0);
    });
    return e ? e->Payload.factory : nullptr;
}
