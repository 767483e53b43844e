// Applying the `map` definition: the level world from the level cache or the
// model, the cache and the model's twins, then what the model file places in
// the level (dummies and sounds, sky, camera limits, actors).
#include <string>
#include <vector>

#include "Awapi/model/dummy_object.h"
#include "Awapi/model/model_file.h"
#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "Tv/app/camera_settings.h"
#include "Tv/client/client_objects.h"
#include "Tv/client/teamtable.h"
#include "Tv/console/tokens.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/defs/definitiontypes.h"
#include "Tv/defs/derivedname.h"
#include "Tv/defs/diagnostics.h"
#include "Tv/defs/levelcache.h"
#include "Tv/defs/levelsounds.h"
#include "Tv/defs/leveltwins.h"
#include "Tv/defs/mapscript.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/defs/resourcecache.h"
#include "Tv/frontend/levelnames.h"
#include "Tv/frontend/loading_screen.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/game_options.h"
#include "Tv/sim/waypoint_graph.h"
#include "Tv/world/level_shape.h"
#include "Tv/world/level_world.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/shape_chunk.h"
#include "core/serverthread.h"
#include "core/stringtable.h"
#include "platform/files.h"

namespace {

// Property numbers of the map type.
constexpr int kName = 0, kFile = 1, kBitmap = 2, kCameraPlane = 80, kMaxFocusHeight = 82, kMinFocusHeight = 83,
              kShadowFile = 84, kShadowName = 85, kVertexLimit = 121;

constexpr uint32_t kBuildingLevelText = 4107;

Vector3 ToVector(const VectorI& v) {
    return Vector3(static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z));
}

// The first object of that name in the file (with a shape when asked), or null.
ObjectChunk* FindObject(const AwModelFile& file, const char* name, bool withShape) {
    if (!name) return nullptr;
    List<Chunk*> objects;
    file.ListObjectsNamed(objects, name);
    for (Chunk* c : objects) {
        auto* object = dynamic_cast<ObjectChunk*>(c);
        if (object && (!withShape || object->GetShapeChunk())) return object;
    }
    return nullptr;
}

// A file position (file units) as a world position.
Vector3 WorldPosition(const AwModelFile& file, const VectorI& position, const LevelWorld& world) {
    return ToVector(position) * file.GetWorldScale() + world.negatedOrigin;
}

void ReplaceText(char*& field, const char* text) {
    TextFree(field);
    field = text ? TextCopy(text) : nullptr;
}

LevelWorld* StartWorld(AwShapeInstance* root, const Vector3& origin, LevelGeometry& geometry, uint64_t stamp) {
    auto* world = new LevelWorld(root, origin, &geometry);
    world->levelFileTime = stamp;
    LevelWorldInstance = world;
    world->BuildShapeTriangleData();
    return world;
}

// The level world from the cache at `cacheName` ("" for none) when its stamp
// fits; false when there is none.
bool StartWorldFromCache(const std::string& cacheName, uint64_t modelTime) {
    LevelCache cache;
    if (cacheName.empty() || !ReadLevelCache(cacheName, modelTime, cache)) return false;
    StartWorld(cache.root.release(), cache.origin, cache.geometry, modelTime);
    return true;
}

// The level world from the cache, or built from the model with the cache and
// the model's twins written. The model file for the rest of the Apply, or
// null to stop.
AwModelFile* BuildWorld(const ScriptObject& map) {
    const char* modelName = map.GetString(kFile);
    DataDirEnter(kDataDirQifs);
    const uint64_t modelTime = plat::GetFileTime(modelName);
    DataDirRestore();
    // No cache when the script's name gives no safe one (four characters or fewer, as for the graph's).
    const std::string cacheName = DerivedFileName(TvGetLevelScriptName(), "cut", 5);
    if (StartWorldFromCache(cacheName, modelTime)) return TvOpenLevelModelFile(modelName);

    AwModelFile* file = ResourceCache::GetFile(modelName, false);
    if (!file) return nullptr;
    TvLoadingSetText(StringTableLookup(kBuildingLevelText));
    LevelShape shape;
    if (!LoadLevelShape(*file, map.GetString(kName), static_cast<uint32_t>(map.GetValue(kVertexLimit)), shape)) {
        CompilerError("level object '%s' not found in '%s'", map.GetString(kName), modelName);
        return nullptr;
    }
    TvLoadingSetProgress(33);
    LevelWorld* world = StartWorld(shape.root, shape.origin, *shape.geometry, modelTime);
    TvLoadingSetProgress(66);
    if (!cacheName.empty())
        WriteLevelCache(cacheName, modelTime, shape.origin, *world->GetRootShape(), *shape.geometry);
    shape.geometry.reset();
    WriteLevelTwins(modelName, map.GetString(kName), map.GetString(kCameraPlane));
    TvLoadingSetProgress(99);
    return file;
}

void LoadSky(AwModelFile& file, LevelWorld& world) {
    if (world.skyObject) return;
    AwShape* sky = file.LoadShape("sky", nullptr, nullptr, 0);
    if (!sky) return;
    world.skyObject = new AwObject(sky, false);
    world.skyObject->SetPosition(0.0f, 0.0f, 0.0f);
    world.skyObject->SetAngles(0, 0, 0);
    sky->ReleaseUse();
}

// The plane of the named object's shape (its first point and first polygon
// normal, placed as the object is), else a level plane below the level's box.
void SetCameraPlane(const AwModelFile& file, const char* name, const LevelWorld& world) {
    const ObjectChunk* object = FindObject(file, name, true);
    const ChunkShapeData* shape = object ? &object->GetShapeChunk()->Data() : nullptr;
    if (shape && !shape->points.empty() && !shape->polygonNormals.empty()) {
        Matrix34 rotation;
        rotation.MakeFromQuaternion(object->Data().orientation);
        rotation.TransformVector(CameraPlanePoint, ToVector(shape->points.front()) * file.GetWorldScale());
        CameraPlanePoint = CameraPlanePoint + WorldPosition(file, object->Data().position, world);
        rotation.TransformVector(CameraPlaneNormal, shape->polygonNormals.front());
    } else {
        CameraPlanePoint = Vector3(0, 1.5f * world.boxMin.y - 0.5f * world.boxMax.y, 0);
        CameraPlaneNormal = Vector3(0, 1, 0);
    }
    CameraMaxZoom = GameOptions.CameraMaxZoom;
}

// The named object's y as stored in the file, else `fallback`.
Real FocusHeight(const AwModelFile& file, const char* name, Real fallback) {
    const ObjectChunk* object = FindObject(file, name, false);
    return object ? static_cast<Real>(object->Data().position.y) : fallback;
}

} // namespace

void MapScriptObject::Apply() {
    if (!IsComplete()) return;
    ResourceCache::ReleaseFiles();
    const bool building = !LevelWorldInstance;
    AwModelFile* file = building ? BuildWorld(*this) : TvOpenLevelModelFile(GetString(kFile));
    // Without the file, or without the level object that makes the world, nothing is placed.
    if (!file || !LevelWorldInstance) return;
    LevelWorld& world = *LevelWorldInstance;
    if (building) {
        AwLoadDummies(LevelDummyList, *file, Vector3(0, 0, 0) - world.negatedOrigin);
        PlaceLevelSounds(LevelDummyList);
    }
    LoadSky(*file, world);
    if (const char* bitmap = GetString(kBitmap)) ReplaceText(world.bitmap, bitmap);
    SetCameraPlane(*file, GetString(kCameraPlane), world);
    FocusMaxHeight = FocusHeight(*file, GetString(kMaxFocusHeight), world.innerMin.y);
    FocusMinHeight = FocusHeight(*file, GetString(kMinFocusHeight), world.innerMax.y);
    if (const char* shadowFile = GetString(kShadowFile)) ReplaceText(world.shadowObjectFile, shadowFile);
    if (const char* shadowName = GetString(kShadowName)) ReplaceText(world.shadowObjectName, shadowName);
    TvLoadPathGraph();
    if (GameOptions.LevelStatus != kLevelOver) PlaceActors(*file, world);
    ClearPlacements();
}

void MapScriptObject::PlaceActors(const AwModelFile& file, const LevelWorld& world) {
    // Every place is taken from the file first: building a definition may
    // open another file through the resource cache, which closes this one.
    struct Place {
        const UseEntry* entry;
        Vector3 position;
        Quaternion orientation;
    };
    std::vector<Place> places;
    UseTable::Iterator it;
    for (it.Begin(placements_); !it.AtEnd(); it.Next()) {
        const UseEntry& entry = *it.Current()->Payload;
        const TeamRecord* team = TeamTable::GetTeam(entry.team);
        if (!team || !team->Active) continue;
        List<Chunk*> objects;
        file.ListObjectsNamed(objects, entry.objectName.Get());
        for (Chunk* c : objects)
            if (const auto* object = dynamic_cast<const ObjectChunk*>(c))
                places.push_back(
                    {&entry, WorldPosition(file, object->Data().position, world), object->Data().orientation});
    }
    for (const Place& place : places) {
        const UseEntry& entry = *place.entry;
        const ObjectDefinition* definition = static_cast<RoleScriptObject*>(entry.role)->BuildDefinition();
        if (!definition) continue;
        int32_t id =
            TvIsServerRunning() ? TvCreateServerActor(entry.team, definition, place.position, place.orientation) : -1;
        if (TvIsClientAttached()) id = TvCreateClientObject(entry.team, *definition, place.position, place.orientation);
        if (const char* variable = entry.variableName.Get()) TokenTable::Set(variable, static_cast<float>(id));
    }
}
