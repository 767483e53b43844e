#include "Awapi/model/model_file.h"

#include <algorithm>

#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/shape_instance.h"
#include "chunkfile/bitmapname_list.h"
#include "chunkfile/environment_chunks.h"
#include "chunkfile/hierarchy_chunks.h"
#include "chunkfile/light_chunks.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/shape_chunk.h"
#include "chunkfile/shape_record.h"
#include "chunkfile/sound_chunks.h"
#include "image/texture_build.h"

namespace {

constexpr uint32_t kFitPowerOfTwo = 0x400;

} // namespace

AwModelFile::AwModelFile(std::unique_ptr<FileChunk> tree) : tree_(std::move(tree)) {
    if (auto* environment = dynamic_cast<ParentChunk*>(tree_->FindEnvironment())) ReadEnvironment(*environment);
    ReadIndexedSounds();
}

std::unique_ptr<AwModelFile> AwModelFile::Open(std::string_view path) { return FromTree(FileChunk::Open(path)); }

std::unique_ptr<AwModelFile> AwModelFile::FromTree(std::unique_ptr<FileChunk> tree) {
    if (!tree || tree->Error() != 0) return nullptr;
    return std::unique_ptr<AwModelFile>(new AwModelFile(std::move(tree)));
}

void AwModelFile::ReadEnvironment(const ParentChunk& environment) {
    if (auto* scale = FindChildAs<WorldScaleChunk>(environment, "ENVSDSCL"))
        worldScale_ = static_cast<float>(scale->Data().thousandths * 0.001);
    auto* names = FindChildAs<BitmapNameListChunk>(environment, "BMPNAMES");
    if (!names) return;
    // One entry more than the list counts; a list whose numbers skip values
    // grows the table to its largest number, so no bitmap is lost. Polygons
    // cannot name a number past kMaxTextureIndex: the table stops there.
    const size_t largest =
        std::min<uint32_t>(static_cast<uint32_t>(names->LargestIndex()), ChunkPolygon::kMaxTextureIndex);
    textures_.assign(std::max(names->Entries().size(), largest) + 1, AwTextureEntry{});
    for (const BitmapNameEntry& entry : names->Entries()) {
        if (entry.textureIndex < 0 || static_cast<size_t>(entry.textureIndex) >= textures_.size()) continue;
        AwTextureEntry& slot = textures_[static_cast<size_t>(entry.textureIndex)];
        slot.Name = &entry.name;
        uint32_t width = 0, height = 0;
        TextureFitSize(width, height, entry.Width(), entry.Height(), kFitPowerOfTwo);
        slot.Width = width;
        slot.Height = height;
    }
}

void AwModelFile::ReadIndexedSounds() {
    for (Chunk* c = tree_->FirstChild(); c; c = c->Next()) {
        if (!c->HasId("INDSOUND")) continue;
        auto* sound = dynamic_cast<IndexedSoundChunk*>(c);
        // Indices outside the table name no slot and are ignored.
        if (sound && sound->Index() >= 0 && sound->Index() < kIndexedSoundSlots) indexedSounds_[sound->Index()] = sound;
    }
}

const IndexedSoundChunk* AwModelFile::IndexedSound(int32_t index) const {
    if (index < 0 || index >= kIndexedSoundSlots) return nullptr;
    return indexedSounds_[static_cast<size_t>(index)];
}

AwShape* AwModelFile::LoadShape(const char* name, Vector3* position, Quaternion* orientation, uint32_t options) {
    for (Chunk* c = tree_->FirstChild(); c; c = c->Next()) {
        auto* object = c->HasId("QOOBJECT") ? dynamic_cast<ObjectChunk*>(c) : nullptr;
        if (!object || !AwNamesMatch(object->Name(), name)) continue;
        ShapeChunk* shape = object->GetShapeChunk();
        if (!shape) continue;
        if (position) {
            const VectorI& p = object->Data().position;
            *position = Vector3(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)) * worldScale_;
        }
        if (orientation) *orientation = object->Data().orientation;
        return ConvertShape(*shape, FindChildAs<VertexTintChunk>(*object, "SHPVTINT"), options);
    }
    return nullptr;
}

AwShape* AwModelFile::LoadSingleShape() {
    List<Chunk*> shapes;
    tree_->ListShapes(shapes);
    if (shapes.Count() != 1) return nullptr;
    auto* shape = dynamic_cast<ShapeChunk*>(shapes.Front());
    return shape ? ConvertShape(*shape, nullptr, 0) : nullptr;
}

const std::string* AwModelFile::FirstShapedObjectName() const {
    for (Chunk* c = tree_->FirstChild(); c; c = c->Next()) {
        auto* object = c->HasId("QOOBJECT") ? dynamic_cast<ObjectChunk*>(c) : nullptr;
        if (object && object->GetShapeChunk()) return &object->Name();
    }
    return nullptr;
}

void AwModelFile::ListObjectsNamed(List<Chunk*>& out, const char* name) const {
    tree_->ListObjects(out);
    ListNodeBase* node = out.Sentinel()->Next;
    while (node != out.Sentinel()) {
        auto* element = static_cast<ListNode<Chunk*>*>(node);
        node = node->Next;
        auto* object = dynamic_cast<ObjectChunk*>(element->Payload);
        if (!object || !AwNamesMatch(object->Name(), name)) out.RemoveNode(element);
    }
}

void AwModelFile::ListHierarchyNames(List<const std::string*>& out) const {
    out.Clear();
    for (Chunk* c = tree_->FirstChild(); c; c = c->Next()) {
        auto* hierarchy = c->HasId("OBJCHIER") ? dynamic_cast<HierarchyChunk*>(c) : nullptr;
        if (!hierarchy) continue;
        if (const HierarchyNameChunk* name = hierarchy->FindNameChunk()) out.PushBack(&name->Name());
    }
}

void AwLoadPendingTextures(void (*progress)(int32_t index)) {
    TextureManager.LoadPending(progress);
    TextureManager.RemoveUnused();
}
