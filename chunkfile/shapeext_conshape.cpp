#include "chunkfile/shapeext_conshape.h"

#include "chunkfile/shape_geometry.h"
#include "chunkfile/shapeext_chunks.h"

ConShapeChunk::ConShapeChunk(ParentChunk* parent, uint32_t type) : ShapeChunk(parent, "CONSHAPE") {
    new ConTypeChunk(this, type);
}

ConShapeChunk::ConShapeChunk(ParentChunk* parent, std::span<const uint8_t> data) : ShapeChunk(parent, "CONSHAPE") {
    CreateChildren(data);
}

bool ConShapeChunk::Refresh() {
    const auto* owner = dynamic_cast<const ShapeChunk*>(Parent());
    auto* polygons = FindChildAs<PolygonArrayChunk>(*this, "SHPPOLYS");
    auto* uvLists = FindChildAs<UvListArrayChunk>(*this, "SHPUVCRD");
    if (!owner || !(owner->HasId("QORSHAPE") || owner->HasId("SUBSHAPE")) ||
        (polygons && polygons->Elements().size() != owner->Data().polygons.size())) {
        delete this;
        return false;
    }
    // The children may refer to the record that is about to be replaced.
    if (polygons) polygons->StopSharing(Data().polygons);
    if (uvLists) uvLists->StopSharing(Data().uvLists);
    Data() = owner->Data();
    if (polygons) {
        std::vector<ChunkPolygon>& own = polygons->Elements();
        for (size_t i = 0; i < own.size(); ++i) {
            own[i].vertexCount = Data().polygons[i].vertexCount;
            for (int v = 0; v < ChunkPolygon::kMaxVertices; ++v) own[i].vertices[v] = Data().polygons[i].vertices[v];
        }
        polygons->HandOver(Data().polygons);
    }
    if (uvLists) uvLists->HandOver(Data().uvLists);
    return true;
}

void ConShapeChunk::SetData(const ChunkShapeData& record) {
    delete FindChild("SHPUVCRD");
    delete FindChild("SHPPOLYS");
    Data() = record;
    if (!Data().polygons.empty()) new PolygonArrayChunk(this, "SHPPOLYS", Data().polygons);
    if (!Data().uvLists.empty()) new UvListArrayChunk(this, "SHPUVCRD", Data().uvLists);
}

ConShapeChunk* FindConShape(const ShapeChunk& shape, uint32_t type) {
    for (Chunk* c = shape.FirstChild(); c; c = c->Next()) {
        auto* variant = c->HasId("CONSHAPE") ? dynamic_cast<ConShapeChunk*>(c) : nullptr;
        const auto* constype = variant ? FindChildAs<ConTypeChunk>(*variant, "CONSTYPE") : nullptr;
        if (constype && constype->Type() == type) return variant;
    }
    return nullptr;
}
