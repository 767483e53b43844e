#include "chunkfile/shape_chunk.h"

#include <vector>

#include "chunkfile/chunkregistry.h"
#include "chunkfile/fieldchunk.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/shape_geometry.h"
#include "chunkfile/shape_header.h"
#include "chunkfile/toplevelchunks.h"
#include "platform/files.h"

namespace {

// The geometry chunk ids, in the order a shape built from a record lists them.
constexpr std::string_view kGeometryIds[] = {"SHPRAWVT", "SHPVNORM", "SHPPNORM", "SHPPOLYS", "SHPUVCRD",
                                             "SHPTEXFN", "SHPCENTR", "SHPFLAGS", "SHPVFLAG"};

constexpr std::string_view kExtraIds[] = {"SHPZSPDT", "SHPMRGDT", "SHPMORPH", "TEXTANIM", "SHPPCINF", "SHPFRAGS",
                                          "ANIMSEQU", "ANSHCEN2", "CONSHAPE", "ASALTTEX", "SHPPRPRO", "SHPVTINT"};

void DeleteChildren(ParentChunk& parent, std::string_view id) {
    for (Chunk* c = parent.FirstChild(); c;) {
        Chunk* next = c->Next();
        if (c->HasId(id)) delete c;
        c = next;
    }
}

template <class T>
void AddArrayChild(ParentChunk& shape, std::string_view id, std::vector<T>& elements) {
    if (!elements.empty()) new ShapeArrayChunk<T>(&shape, id, elements);
}

} // namespace

ShapeChunk::ShapeChunk(ParentChunk* parent, std::string_view id) : ParentChunk(parent, id) {}

ShapeChunk::ShapeChunk(ParentChunk* parent, std::string_view id, const ChunkShapeData& source)
    : ParentChunk(parent, id), data_(source) {
    BuildGeometryChildren();
}

ShapeChunk::~ShapeChunk() {
    while (FirstChild()) delete FirstChild();
}

void ShapeChunk::BuildGeometryChildren() {
    AddArrayChild(*this, "SHPRAWVT", data_.points);
    AddArrayChild(*this, "SHPVFLAG", data_.pointFlags);
    AddArrayChild(*this, "SHPVNORM", data_.vertexNormals);
    AddArrayChild(*this, "SHPPNORM", data_.polygonNormals);
    AddArrayChild(*this, "SHPPOLYS", data_.polygons);
    AddArrayChild(*this, "SHPUVCRD", data_.uvLists);
    AddArrayChild(*this, "SHPTEXFN", data_.textureNames);

    const VectorI& a = data_.cornerA;
    const VectorI& b = data_.cornerB;
    data_.centre = {TruncateToInt((double(a.x) + b.x) / 2), TruncateToInt((double(a.y) + b.y) / 2),
                    TruncateToInt((double(a.z) + b.z) / 2)};
    double radius = 0;
    for (const VectorI& p : data_.points) {
        const double d = (p - data_.centre).Length();
        if (d > radius) radius = d;
    }
    data_.radius = static_cast<float>(radius);

    if (!FindChild("SHPCENTR")) new ShapeCentreChunk(this, data_);
    if (data_.shapeFlags != 0 && !FindChild("SHPFLAGS")) new ShapeFlagsChunk(this, data_);
}

ShapeHeaderChunk* ShapeChunk::FindHeader() const { return FindChildAs<ShapeHeaderChunk>(*this, "SHPHEAD1"); }

const char* ShapeChunk::GetHeaderId() const {
    const ShapeHeaderChunk* header = FindHeader();
    return header ? header->Id() : nullptr;
}

bool ShapeChunk::SetUserName(std::string_view name) {
    ShapeHeaderChunk* header = FindHeader();
    if (header) header->SetUserName(name);
    return header != nullptr;
}

bool ShapeChunk::BumpRevision() {
    ShapeHeaderChunk* header = FindHeader();
    if (header) header->BumpRevision();
    return header != nullptr;
}

bool ShapeChunk::IsOlderThan(const ShapeChunk& other) const {
    const ShapeHeaderChunk* mine = FindHeader();
    const ShapeHeaderChunk* theirs = other.FindHeader();
    return mine && theirs && mine->Revision() < theirs->Revision() && mine->ShapeNumber() == theirs->ShapeNumber();
}

const List<ObjectChunk*>& ShapeChunk::UsingObjects() const {
    static const List<ObjectChunk*> none;
    const ShapeHeaderChunk* header = FindHeader();
    return header ? header->UsingObjects() : none;
}

bool ShapeChunk::LinkObject(ObjectChunk& object) { return object.SetShapeChunk(*this); }

void ShapeChunk::UnlinkObject(ObjectChunk& object) { object.DetachFromShape(*this); }

bool ShapeChunk::RelinkObjects(const ParentChunk& file) {
    const ShapeHeaderChunk* header = FindHeader();
    if (!header) return false;
    for (const std::string& name : header->NameList()) {
        ObjectChunk* found = nullptr;
        for (Chunk* c = file.FirstChild(); c && !found; c = c->Next()) {
            auto* object = dynamic_cast<ObjectChunk*>(c);
            if (object && object->Name() == name) found = object;
        }
        if (!found) return false;
        LinkObject(*found);
    }
    return true;
}

bool ShapeChunk::MatchesFileHeader(plat::File& file) const {
    const ShapeHeaderChunk* header = FindHeader();
    if (!header) return false;
    const std::vector<int64_t> headers = FindTopLevelChunks(file, "SHPHEAD1");
    if (headers.size() != 1) return false;
    uint8_t number[4];
    if (file.Seek(headers[0] + 32, plat::SeekOrigin::Begin) < 0 || !file.ReadExact(number, 4)) return false;
    return static_cast<int32_t>(LoadU32LE(number)) == header->ShapeNumber();
}

bool ShapeChunk::ReplaceData(const ChunkShapeData& record) {
    for (std::string_view id : kGeometryIds) DeleteChildren(*this, id);
    data_ = record;
    BuildGeometryChildren();
    return true;
}

void ShapeChunk::DeleteExtras() {
    for (std::string_view id : kExtraIds) DeleteChildren(*this, id);
}

ShapeChunk* ShapeChunk::Duplicate() {
    const std::vector<uint8_t> block = MakeDataBlock();
    if (block.empty()) return nullptr;
    constexpr char kAnyParent[8] = {};
    const ChunkFactory factory = ChunkRegistry::Global().Find(Id(), Parent() ? Parent()->Id() : kAnyParent);
    if (!factory) return nullptr;
    Chunk* copy = factory(Parent(), RawChunk{block.data(), static_cast<uint32_t>(block.size())});
    auto* shape = dynamic_cast<ShapeChunk*>(copy);
    if (!shape) {
        delete copy;
        return nullptr;
    }
    shape->StoreSize(static_cast<uint32_t>(block.size()));
    shape->RenewHeader();
    return shape;
}

QorShapeChunk::QorShapeChunk(ParentChunk* parent) : ShapeChunk(parent, "QORSHAPE") {}

QorShapeChunk::QorShapeChunk(ParentChunk* parent, const ChunkShapeData& source)
    : ShapeChunk(parent, "QORSHAPE", source) {
    new ShapeHeaderChunk(*this);
}

Chunk* QorShapeChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    auto* shape = new QorShapeChunk(parent);
    shape->CreateChildren(raw.Data());
    return shape;
}

void QorShapeChunk::RenewHeader() {
    delete FindHeader();
    new ShapeHeaderChunk(*this);
    ParentChunk::PostInputProcessing();
}

SubShapeChunk::SubShapeChunk(ParentChunk* parent) : ShapeChunk(parent, "SUBSHAPE") {}

SubShapeChunk::SubShapeChunk(ParentChunk* parent, const ChunkShapeData& source)
    : ShapeChunk(parent, "SUBSHAPE", source) {
    new SubShapeHeaderChunk(*this);
}

Chunk* SubShapeChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    auto* shape = new SubShapeChunk(parent);
    shape->CreateChildren(raw.Data());
    return shape;
}

SubShapeHeaderChunk* SubShapeChunk::FindSubHeader() const {
    return FindChildAs<SubShapeHeaderChunk>(*this, "SUBSHPHD");
}

void SubShapeChunk::RenewHeader() {
    delete FindSubHeader();
    new SubShapeHeaderChunk(*this);
}
