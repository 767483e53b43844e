#include "Tv/defs/leveltwins.h"

#include <memory>
#include <string>

#include "Awapi/shape_instance.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/defs/derivedname.h"
#include "Tv/defs/resourcecache.h"
#include "chunkfile/filechunk.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/shape_chunk.h"
#include "platform/files.h"

namespace {

// The first object of that name (without regard to case), or null.
ObjectChunk* FindObject(const FileChunk& tree, const char* name) {
    if (!name) return nullptr;
    for (Chunk* c = tree.FirstChild(); c; c = c->Next()) {
        auto* object = c->HasId("QOOBJECT") ? dynamic_cast<ObjectChunk*>(c) : nullptr;
        if (object && AwNamesMatch(object->Name(), name)) return object;
    }
    return nullptr;
}

bool SaveTwin(FileChunk& tree, const char* modelName, const char* extension) {
    const std::string twin = DerivedFileName(modelName, extension);
    if (twin.empty()) return true;
    DataDirEnter(kDataDirQifs);
    const bool saved = tree.Save(twin);
    DataDirRestore();
    return saved;
}

// The level object and its shape leave the tree.
void RemoveLevelObject(FileChunk& tree, const char* levelObject) {
    ObjectChunk* object = FindObject(tree, levelObject);
    if (!object) return;
    ShapeChunk* shape = object->GetShapeChunk();
    object->RemoveFromFile(tree);
    delete object;
    delete shape;
}

// The shape the ".loc" keeps.
ShapeChunk* KeptShape(const FileChunk& tree, const List<Chunk*>& shapes, const char* keptObject) {
    if (ObjectChunk* object = FindObject(tree, keptObject))
        if (ShapeChunk* shape = object->GetShapeChunk()) return shape;
    ShapeChunk* fewest = nullptr;
    for (Chunk* c : shapes) {
        auto* shape = dynamic_cast<ShapeChunk*>(c);
        if (shape && (!fewest || shape->Data().polygons.size() < fewest->Data().polygons.size())) fewest = shape;
    }
    return fewest;
}

bool IsSky(const ObjectChunk& object) { return AwNamesMatch(object.Name(), "sky"); }

void ReduceToOneShape(FileChunk& tree, const char* keptObject) {
    List<Chunk*> shapes;
    tree.ListShapes(shapes);
    ShapeChunk* kept = KeptShape(tree, shapes, keptObject);
    if (!kept) return;
    for (Chunk* c : shapes) {
        auto* shape = dynamic_cast<ShapeChunk*>(c);
        if (!shape || shape == kept) continue;
        const List<ObjectChunk*> users = shape->UsingObjects(); // relinking changes the shape's own list
        bool skyFound = false;
        for (ObjectChunk* object : users) {
            if (IsSky(*object)) {
                skyFound = true;
                break;
            }
            object->SetShapeChunk(*kept);
        }
        if (!skyFound) delete shape;
    }
}

} // namespace

bool WriteLevelTwins(const char* modelName, const char* levelObject, const char* keptObject) {
    DataDirEnter(kDataDirQifs);
    const std::unique_ptr<FileChunk> tree = FileChunk::Open(modelName);
    DataDirRestore();
    if (tree->Error() != 0) return false;
    RemoveLevelObject(*tree, levelObject);
    const bool opt = SaveTwin(*tree, modelName, "opt");
    ReduceToOneShape(*tree, keptObject);
    return SaveTwin(*tree, modelName, "loc") && opt;
}

AwModelFile* TvOpenLevelModelFile(const char* modelName) {
    const std::string twin = DerivedFileName(modelName, "loc");
    if (!twin.empty()) {
        DataDirEnter(kDataDirQifs);
        const bool readable = plat::File::Open(twin, plat::kAccessRead, plat::FileDisposition::OpenExisting).IsOpen();
        DataDirRestore();
        if (readable)
            if (AwModelFile* file = ResourceCache::GetFile(twin.c_str(), false)) return file;
    }
    return ResourceCache::GetFile(modelName, true);
}
