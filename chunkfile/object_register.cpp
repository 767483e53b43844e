#include <mutex>

#include "chunkfile/chunkregistry.h"
#include "chunkfile/filelinks.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/object_header.h"
#include "chunkfile/object_module.h"
#include "chunkfile/object_track.h"
#include "chunkfile/shape_chunk.h"

namespace {

const ObjectChunk* AsObject(const Chunk& chunk) { return dynamic_cast<const ObjectChunk*>(&chunk); }

bool HeaderShapeNumber(const Chunk& chunk, int32_t& number) {
    const ObjectChunk* object = AsObject(chunk);
    const ObjectHeaderChunk* header = object ? object->GetHeader() : nullptr;
    if (header) number = header->ShapeNumber();
    return header != nullptr;
}

void LinkShape(Chunk& object, Chunk& shape) {
    auto* o = dynamic_cast<ObjectChunk*>(&object);
    auto* s = dynamic_cast<ShapeChunk*>(&shape);
    if (o && s) o->SetShapeChunk(*s);
}

int32_t Number(const Chunk& chunk) {
    const ObjectChunk* object = AsObject(chunk);
    return object ? object->Data().number : -1;
}

void SetNumber(Chunk& chunk, int32_t number) {
    if (auto* object = dynamic_cast<ObjectChunk*>(&chunk)) object->Data().number = number;
}

bool Deleted(const Chunk& chunk) {
    const ObjectChunk* object = AsObject(chunk);
    return object && object->IsDeleted();
}

} // namespace

void RegisterObjectChunkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        ChunkRegistry& r = ChunkRegistry::Global();
        r.Register("QOOBJECT", {}, ObjectChunk::Create);
        r.Register("OBJHEAD1", {}, ObjectHeaderChunk::Create);
        r.Register("OBINTDT", {}, ParentChunk::CreatePlain);
        r.Register("OBJNOTES", {}, CreateFieldChunk<ObjectNotesChunk>);
        r.Register("MODULEDT", {}, ParentChunk::CreatePlain);
        r.Register("VMDARRAY", {}, CreateFieldChunk<ModuleArrayChunk>);
        r.Register("ADJMDLEP", {}, CreateFieldChunk<ModuleLinkChunk>);
        r.Register("MODFLAGS", {}, CreateFieldChunk<ModuleWordsChunk>);
        r.Register("MODZONE", {}, CreateFieldChunk<ModuleWordsChunk>);
        r.Register("MODACOUS", {}, CreateFieldChunk<ModuleAcousticsChunk>);
        r.Register("OBJTRAK2", {}, CreateFieldChunk<ObjectTrackChunk>);
        r.Register("TRAKSOUN", {}, CreateFieldChunk<TrackSoundChunk>);
        r.Register("TRSNDCAT", {}, CreateFieldChunk<TrackSoundCategoryChunk>);
        r.Register("ALTLOCAT", {}, CreateFieldChunk<AlternateLocationChunk>);
        r.Register("OBJPRJDT", {}, ParentChunk::CreatePlain);
        InstallObjectFileHooks({HeaderShapeNumber, LinkShape, Number, SetNumber, Deleted});
    });
}
