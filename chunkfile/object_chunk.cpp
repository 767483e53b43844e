#include "chunkfile/object_chunk.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "chunkfile/filechunk.h"
#include "chunkfile/filelevelchunks.h"
#include "chunkfile/light_dummy.h"
#include "chunkfile/object_header.h"
#include "chunkfile/object_module.h"
#include "chunkfile/shape_chunk.h"
#include "chunkfile/shape_header.h"
#include "chunkfile/toplevelchunks.h"
#include "platform/files.h"

namespace {

constexpr size_t kMaxIdentityText = 99;
constexpr int32_t kDetailLevels = 10;

// The level d of "L<d>#<name>" (1 to 9); 0 for any other text.
int32_t DetailLevelOf(std::string_view text, std::string_view name) {
    if (text.size() != name.size() + 3 || text[0] != 'L' || text[1] < '1' || text[1] > '9' || text[2] != '#' ||
        text.substr(3) != name)
        return 0;
    return text[1] - '0';
}

ModuleLinkChunk* FindModuleLinks(const ObjectChunk& object) {
    const auto* module = FindChildAs<ParentChunk>(object, "MODULEDT");
    return module ? FindChildAs<ModuleLinkChunk>(*module, "ADJMDLEP") : nullptr;
}

} // namespace

ObjectChunk::ObjectChunk(ParentChunk* parent) : UpdatableParentChunk(parent, "QOOBJECT") {}

Chunk* ObjectChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    auto* object = new ObjectChunk(parent);
    object->CreateChildren(raw.Data());
    return object;
}

ObjectChunk* ObjectChunk::NewObject(ParentChunk* parent, const ChunkObjectData& data) {
    auto* object = new ObjectChunk(parent);
    object->data_ = data;
    object->data_.name.resize(std::min(data.name.size(), ChunkObjectData::kMaxNameLength));
    object->data_.number = -1;
    new ObjectHeaderChunk(*object);
    AddDefaultNotes(*object);
    if (auto* file = dynamic_cast<FileChunk*>(parent)) file->AddObjectToIndex(*object);
    object->ComputeIdentity();
    return object;
}

ObjectHeaderChunk* ObjectChunk::GetHeader() const { return FindChildAs<ObjectHeaderChunk>(*this, "OBJHEAD1"); }

ShapeChunk* ObjectChunk::GetShapeChunk() const {
    const ObjectHeaderChunk* header = GetHeader();
    return header ? header->LinkedShape() : nullptr;
}

bool ObjectChunk::SetShapeChunk(ShapeChunk& shape) {
    ObjectHeaderChunk* header = GetHeader();
    if (!header) return false;
    if (header->LinkedShape() == &shape) return true;
    ShapeHeaderChunk* shapeHeader = shape.FindHeader();
    if (!shapeHeader) return false;
    if (ShapeChunk* previous = header->LinkedShape()) DetachFromShape(*previous);
    header->SetLinkedShape(&shape);
    shapeHeader->AddUsingObject(*this);
    return true;
}

bool ObjectChunk::DetachFromShape(ShapeChunk& shape) {
    ShapeHeaderChunk* shapeHeader = shape.FindHeader();
    if (!shapeHeader) return false;
    shapeHeader->RemoveUsingObject(*this);
    ObjectHeaderChunk* header = GetHeader();
    if (header && header->LinkedShape() == &shape) header->SetLinkedShape(nullptr);
    return true;
}

bool ObjectChunk::RelinkShapeByNumber(const ParentChunk& file) {
    const ObjectHeaderChunk* header = GetHeader();
    if (!header) return false;
    for (Chunk* c = file.FirstChild(); c; c = c->Next()) {
        auto* shape = dynamic_cast<QorShapeChunk*>(c);
        const ShapeHeaderChunk* shapeHeader = shape ? shape->FindHeader() : nullptr;
        if (shapeHeader && shapeHeader->ShapeNumber() == header->ShapeNumber()) return SetShapeChunk(*shape);
    }
    return false;
}

bool ObjectChunk::BumpRevision() {
    ObjectHeaderChunk* header = GetHeader();
    if (header) header->BumpRevision();
    return header != nullptr;
}

bool ObjectChunk::IsOlderRevisionOf(const ObjectChunk& other) const {
    const ObjectHeaderChunk* mine = GetHeader();
    const ObjectHeaderChunk* theirs = other.GetHeader();
    return mine && theirs && mine->Revision() < theirs->Revision() && Name() == other.Name();
}

ModuleArrayChunk* ObjectChunk::GetModuleArray() const {
    const auto* module = FindChildAs<ParentChunk>(*this, "MODULEDT");
    return module ? FindChildAs<ModuleArrayChunk>(*module, "VMDARRAY") : nullptr;
}

void ObjectChunk::ReplaceData(const ChunkObjectData& data) {
    const int32_t number = data_.number;
    data_ = data;
    data_.name.resize(std::min(data.name.size(), ChunkObjectData::kMaxNameLength));
    data_.number = number;
    ComputeIdentity();
}

ShortDigest ObjectChunk::ComputeIdentity() {
    const auto* environment = Parent() ? FindChildAs<ParentChunk>(*Parent(), "QORENVDT") : nullptr;
    const auto* source = environment ? FindChildAs<SourceNameChunk>(*environment, "QIFFNAME") : nullptr;
    if (!source) return {};
    const std::string text = (source->Name() + data_.name).substr(0, kMaxIdentityText);
    data_.identity = ComputeShortDigest(text);
    return data_.identity;
}

int32_t ObjectChunk::ListDetailLevels(List<ObjectChunk*>& out) {
    out.Clear();
    std::array<ObjectChunk*, kDetailLevels> levels{};
    int32_t cut = kDetailLevels - 1;
    if (const ParentChunk* parent = Parent()) {
        for (Chunk* c = parent->FirstChild(); c; c = c->Next()) {
            const auto* dummy = dynamic_cast<DummyObjectChunk*>(c);
            const DummyObjectDataChunk* data = dummy ? dummy->FindDataChunk() : nullptr;
            if (const int32_t d = data ? DetailLevelOf(data->Data().name, Name()) : 0) cut = std::min(cut, d - 1);
        }
        for (Chunk* c = parent->FirstChild(); c; c = c->Next()) {
            auto* object = dynamic_cast<ObjectChunk*>(c);
            const int32_t d = object ? DetailLevelOf(object->Name(), Name()) : 0;
            if (d != 0 && d <= cut) levels[static_cast<size_t>(d)] = object;
        }
    }
    out.PushBack(this);
    int32_t found = 0;
    for (int32_t d = 1; d < kDetailLevels; ++d) {
        ObjectChunk* level = levels[static_cast<size_t>(d)];
        if (d > cut) {
            out.PushBack(nullptr);
        } else if (level) {
            out.PushBack(level);
            ++found;
        } else {
            out.PushBack(out.Back());
        }
    }
    return 1 + found;
}

void ObjectChunk::RemoveFromFile(FileChunk& file) {
    for (Chunk* c = file.FirstChild(); c; c = c->Next()) {
        auto* other = dynamic_cast<ObjectChunk*>(c);
        if (!other || other == this) continue;
        if (ModuleArrayChunk* array = other->GetModuleArray())
            if (array->DropObject(data_.number) && array->Data().entries.empty()) delete array;
        if (ModuleLinkChunk* links = FindModuleLinks(*other)) links->DropObject(data_.number);
    }
    if (ShapeChunk* shape = GetShapeChunk()) DetachFromShape(*shape);
    Claim(file);
    SetDeleted(true);
    Release(true);
}

const char* ObjectChunk::GetHeaderId() const {
    const ObjectHeaderChunk* header = GetHeader();
    return header ? header->Id() : nullptr;
}

void ObjectChunk::SetHeaderName(std::string_view name) {
    if (ObjectHeaderChunk* header = GetHeader()) header->SetUserName(name);
}

bool ObjectChunk::MatchesStoredCopy(plat::File& file) {
    const std::vector<int64_t> headers = FindTopLevelChunks(file, "OBJHEAD1");
    if (headers.size() != 1) return false;
    char name[ChunkObjectData::kMaxNameLength + 1] = {};
    uint32_t got = 0;
    if (file.Seek(headers[0] + 72, plat::SeekOrigin::Begin) < 0 ||
        !file.Read(name, ChunkObjectData::kMaxNameLength, &got))
        return false;
    return std::string_view(name, strnlen(name, got)) == Name();
}

void ObjectChunk::PostInputProcessing() {
    ComputeIdentity();
    const ObjectHeaderChunk* header = GetHeader();
    if (header && (header->HeaderFlags() & ObjectHeaderChunk::kLockedFlag)) SetLocked(true);
    ParentChunk::PostInputProcessing();
}

std::string ObjectChunk::Describe() const {
    std::string text = "name \"" + data_.name + "\" number " + std::to_string(data_.number) + " position " +
                       std::to_string(data_.position.x) + " " + std::to_string(data_.position.y) + " " +
                       std::to_string(data_.position.z) + " identity ";
    for (uint8_t b : data_.identity) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", b);
        text += hex;
    }
    return text;
}
