#include "Tv/defs/resourcecache.h"

#include <memory>

#include "Awapi/model/model_file.h"
#include "Awapi/model/model_node.h"
#include "Awapi/shape.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/defs/derivedname.h"
#include "Tv/defs/ownedtext.h"
#include "core/hashtable.h"
#include "platform/files.h"

namespace {

constexpr uint32_t kBuckets = 64;

struct FileEntry : MemObject {
    explicit FileEntry(const char* fileName) : name(fileName) {}
    OwnedText name;
    std::unique_ptr<AwModelFile> file; // null while the last open failed
};

// A cached model or shape, with the cache's hold on it.
template <class T>
struct CachedEntry : MemObject {
    CachedEntry(const char* file, const char* objectName, T* loaded)
        : fileName(file), name(objectName), object(loaded) {
        object->AddHold();
    }
    ~CachedEntry() { object->ReleaseHold(); }
    CachedEntry(const CachedEntry&) = delete;
    CachedEntry& operator=(const CachedEntry&) = delete;

    OwnedText fileName, name;
    T* object;
};

HashTable<FileEntry*> files{kBuckets};
HashTable<CachedEntry<AwModel>*> models{kBuckets};
HashTable<CachedEntry<AwShape>*> shapes{kBuckets};

uint32_t FileKey(const char* fileName) { return NameHash(fileName); }
uint32_t ObjectKey(const char* fileName, const char* name) { return NameHash(fileName) ^ HashStringUpper(name); }

// The twin exists and the file does not, or the twin was written strictly later.
bool OptTwinIsNewer(const std::string& twin, const char* fileName) {
    const uint64_t twinTime = plat::GetFileTime(twin);
    if (twinTime == 0) return false;
    const uint64_t fileTime = plat::GetFileTime(fileName);
    return fileTime == 0 || twinTime > fileTime;
}

AwModelFile* Load(FileEntry& entry, bool twinAllowed) {
    if (entry.file) return entry.file.get();
    DataDirEnter(kDataDirQifs);
    if (twinAllowed) {
        const std::string twin = DerivedFileName(entry.name.Get(), "opt");
        if (!twin.empty() && OptTwinIsNewer(twin, entry.name.Get())) entry.file = AwModelFile::Open(twin);
    }
    if (!entry.file) entry.file = AwModelFile::Open(entry.name.Get());
    DataDirRestore();
    return entry.file.get();
}

template <class T>
void ReleaseAllEntries(HashTable<T*>& table) {
    typename HashTable<T*>::Iterator it;
    for (it.Begin(table); !it.AtEnd(); it.Next()) delete it.Current()->Payload;
    table.Clear();
}

template <class T>
CachedEntry<T>* FindEntry(const HashTable<CachedEntry<T>*>& table, const char* fileName, const char* name) {
    auto* found = table.Find(ObjectKey(fileName, name), [&](const CachedEntry<T>* e) {
        return NameEquals(e->fileName.Get(), fileName) && NameEquals(e->name.Get(), name);
    });
    return found ? found->Payload : nullptr;
}

// A cached object with one more use, or one loaded from the file and cached;
// null (and nothing cached) when the file or the object is missing.
template <class T, class LoadObject>
T* GetCached(HashTable<CachedEntry<T>*>& table, const char* fileName, const char* name, LoadObject load) {
    if (CachedEntry<T>* entry = FindEntry(table, fileName, name)) {
        entry->object->AddUse();
        return entry->object;
    }
    AwModelFile* file = ResourceCache::GetFile(fileName, true);
    T* object = file ? load(*file) : nullptr;
    if (object) table.Insert(new CachedEntry<T>(fileName, name, object), ObjectKey(fileName, name));
    return object;
}

template <class T>
bool FindSourceIn(const HashTable<CachedEntry<T>*>& table, const T* object, const char** fileName, const char** name) {
    typename HashTable<CachedEntry<T>*>::Iterator it;
    for (it.Begin(table); !it.AtEnd(); it.Next()) {
        const CachedEntry<T>& entry = *it.Current()->Payload;
        if (entry.object != object) continue;
        *fileName = entry.fileName.Get();
        *name = entry.name.Get();
        return true;
    }
    return false;
}

} // namespace

namespace ResourceCache {

AwModelFile* GetFile(const char* fileName, bool reuse) {
    const uint32_t key = FileKey(fileName);
    auto* found = files.Find(key, [&](const FileEntry* e) { return NameEquals(e->name.Get(), fileName); });
    if (found && reuse) return Load(*found->Payload, true);
    ReleaseFiles();
    auto* entry = new FileEntry(fileName);
    files.Insert(entry, key);
    return Load(*entry, reuse);
}

AwModel* GetModel(const char* fileName, const char* hierarchyName) {
    return GetCached(models, fileName, hierarchyName,
                     [&](AwModelFile& file) { return file.LoadHierarchy(hierarchyName); });
}

AwShape* GetShape(const char* fileName, const char* objectName) {
    return GetCached(shapes, fileName, objectName, [&](AwModelFile& file) {
        Quaternion orientation{0, 0, 0, 1};
        AwShape* shape = file.LoadShape(objectName, nullptr, &orientation, kConvertMergeQuads);
        if (shape) shape->Orientation = orientation;
        return shape;
    });
}

void ListHierarchies(const char* fileName, List<const std::string*>& names) {
    names.Clear();
    if (AwModelFile* file = GetFile(fileName, true)) file->ListHierarchyNames(names);
}

void ReleaseFiles() { ReleaseAllEntries(files); }

void ReleaseModelsAndShapes() {
    ReleaseAllEntries(models);
    ReleaseAllEntries(shapes);
}

bool FindSource(const AwModel* model, const char** fileName, const char** name) {
    return FindSourceIn(models, model, fileName, name);
}

bool FindSource(const AwShape* shape, const char** fileName, const char** name) {
    return FindSourceIn(shapes, shape, fileName, name);
}

} // namespace ResourceCache
