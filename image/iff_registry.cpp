#include "image/iff_registry.h"

#include <array>
#include <vector>

#include "image/iff_chunk.h"

namespace {

struct Entry {
    IffId formType;
    IffId id;
    IffChunkFactory factory;
};

constexpr uint32_t kBuckets = 64;

uint32_t BucketOf(IffId x) { return (x ^ x >> 4 ^ x >> 9 ^ x >> 15 ^ x >> 22) & (kBuckets - 1); }

struct Table {
    std::array<std::vector<Entry>, kBuckets> buckets; // newest entry first
    int count = 0;
};

Table& TheTable() {
    static Table table;
    return table;
}

} // namespace

int IffChunkRegistry::Register(IffChunkFactory factory, IffId formType, IffId id) {
    Table& table = TheTable();
    auto& bucket = table.buckets[BucketOf(id)];
    bucket.insert(bucket.begin(), Entry{formType, id, factory});
    return ++table.count;
}

IffChunk* IffChunkRegistry::Create(IffId formType, IffId id) {
    for (const Entry& e : TheTable().buckets[BucketOf(id)]) {
        bool formFits = e.formType == kIffAny || formType == kIffAny || e.formType == formType;
        if (formFits && (e.id == kIffAny || e.id == id)) return e.factory();
    }
    return new IffRawChunk(id);
}

void RegisterIffGroupClasses() {
    IffChunkRegistry::Register(IffChunkMake<IffForm>, kIffAny, kIffForm);
    IffChunkRegistry::Register(IffChunkMake<IffList>, kIffAny, kIffList);
    IffChunkRegistry::Register(IffChunkMake<IffCat>, kIffAny, kIffCat);
    IffChunkRegistry::Register(IffChunkMake<IffProp>, kIffAny, kIffProp);
}
