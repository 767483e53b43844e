#include <mutex>

#include "chunkfile/chunkreading.h"
#include "chunkfile/chunkregistry.h"
#include "chunkfile/filelinks.h"
#include "chunkfile/shape_chunk.h"
#include "chunkfile/shape_geometry.h"
#include "chunkfile/shape_header.h"

namespace {

// Factory of a geometry chunk under a shape: the elements go into the
// record's `Field` (and their number into `Count`, when given), and the
// chunk refers to them there. Earlier chunks of the same id that referred
// to that array keep copies of their own, so each writes back what it read.
template <class T, std::vector<T> ChunkShapeData::*Field, int32_t ChunkShapeData::*Count = nullptr>
Chunk* CreateInShape(ParentChunk* parent, const RawChunk& raw) {
    auto* shape = dynamic_cast<ShapeChunk*>(parent);
    if (!shape) return ShapeArrayChunk<T>::CreateOwn(parent, raw);
    std::vector<T> elements;
    if (!ShapeArrayChunk<T>::ReadElements(raw, elements)) {
        ReportMalformedChunk(raw.bytes);
        return nullptr;
    }
    ChunkShapeData& record = shape->Data();
    std::vector<T>& field = record.*Field;
    for (Chunk* c = shape->FirstChild(); c; c = c->Next())
        if (auto* earlier = dynamic_cast<ShapeArrayChunk<T>*>(c)) earlier->StopSharing(field);
    field = std::move(elements);
    if constexpr (Count != nullptr) record.*Count = static_cast<int32_t>(field.size());
    return new ShapeArrayChunk<T>(parent, raw.Id(), field);
}

bool HeaderNumber(const Chunk& chunk, int32_t& number) {
    const auto* shape = dynamic_cast<const ShapeChunk*>(&chunk);
    const ShapeHeaderChunk* header = shape ? shape->FindHeader() : nullptr;
    if (header) number = header->ShapeNumber();
    return header != nullptr;
}

bool MarkedForDeletion(const Chunk& chunk) {
    const auto* shape = dynamic_cast<const QorShapeChunk*>(&chunk);
    return shape && shape->DeletionMark();
}

} // namespace

void RegisterShapeChunkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        ChunkRegistry& r = ChunkRegistry::Global();
        r.Register("QORSHAPE", {}, QorShapeChunk::Create);
        r.Register("SUBSHAPE", {}, SubShapeChunk::Create);
        r.Register("SHPHEAD1", "QORSHAPE", ShapeHeaderChunk::Create);
        r.Register("SUBSHPHD", "SUBSHAPE", SubShapeHeaderChunk::Create);
        for (std::string_view shape : {"QORSHAPE", "SUBSHAPE"}) {
            using D = ChunkShapeData;
            r.Register("SHPRAWVT", shape, CreateInShape<VectorI, &D::points, &D::pointCount>);
            r.Register("SHPVFLAG", shape, CreateInShape<uint32_t, &D::pointFlags, &D::pointCount>);
            r.Register("SHPVNORM", shape, CreateInShape<Vector3, &D::vertexNormals>);
            r.Register("SHPPNORM", shape, CreateInShape<Vector3, &D::polygonNormals>);
            r.Register("SHPPOLYS", shape, CreateInShape<ChunkPolygon, &D::polygons, &D::polygonCount>);
            r.Register("SHPUVCRD", shape, CreateInShape<ChunkUvList, &D::uvLists>);
            r.Register("SHPTEXFN", shape, CreateInShape<std::string, &D::textureNames>);
        }
        // A frame of a vertex animation and a shape variant keep copies of their own.
        r.Register("SHPRAWVT", "ANIMFRAM", PointArrayChunk::CreateOwn);
        r.Register("SHPPNORM", "ANIMFRAM", NormalArrayChunk::CreateOwn);
        r.Register("SHPPOLYS", "CONSHAPE", PolygonArrayChunk::CreateOwn);
        r.Register("SHPUVCRD", "CONSHAPE", UvListArrayChunk::CreateOwn);
        r.Register("SHPCENTR", {}, ShapeCentreChunk::Create);
        r.Register("SHPFLAGS", {}, ShapeFlagsChunk::Create);
        InstallShapeFileHooks({HeaderNumber, MarkedForDeletion});
    });
}
