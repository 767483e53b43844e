#pragma once
// The running level as the rest of the program sees it: the collision world
// of its geometry with the movers, the renderer object that draws it, the sky,
// the shadow records, its bounds and origin, and the level points under the
// mouse cursor and under the screen centre. One at a time: LevelWorldInstance,
// built by the map definition during a level load, released at level unload.
//
// Built and destroyed on the main thread while the server does not run the
// level; in play both threads use it under the collision world's `lock`. The
// pick fields belong to the main thread.

#include <cstdint>
#include <memory>
#include <vector>

#include "Awapi/picking.h"
#include "Awapi/render_item.h"
#include "Tv/world/mover_world.h"
#include "core/list.h"
#include "core/maths.h"

class AwObject;
class AwShapeInstance;
class ShapeTreeIndex;
struct HitRecord;
struct AwDummyObject;
struct LevelGeometry;
struct ShadowEdge;
struct LevelShadowVolume;

// The count starts at 1 (the level's own reference); Release deletes.
class LevelWorld final : public MoverWorld, public AwPickContext {
public:
    // Builds the collision world from `geometry`, attached for the build to
    // the first shape of root's tree in post-order (the other shapes' own
    // geometry is held aside meanwhile); the geometry stays the caller's, the
    // tree becomes the level object's. The tree's matrices are built here,
    // once, so that both threads may read them.
    LevelWorld(AwShapeInstance* root, const Vector3& origin, LevelGeometry* geometry);
    ~LevelWorld() override;

    AwShapeInstance* GetRootShape() const;
    // Every shape of the level's tree rebuilds its system-memory triangle
    // data, and the tree's index for straight paths is built over it.
    void BuildShapeTriangleData();
    // TvSegmentHitShapeTree on the level's tree, through the index once built.
    bool SegmentHit(HitRecord& record, const Vector3& a, const Vector3& d) const;
    // Once per play frame: draws the level for the centre probe and keeps the centre point.
    void UpdatePick();
    // The cursor point from the renderer's cursor probe.
    void TakeCursorPick(const AwPickProbe& probe);
    // The cursor probe hit the level object while it was drawn.
    void OnPick() override;

    uint8_t graphBuilt = 0;        // set by the first TvLoadPathGraph for this world
    uint8_t centrePointWanted = 0; // the camera code's
    Colour colour;                 // grey
    AwObject* levelObject = nullptr; // one reference held
    char* bitmap = nullptr;          // owned text or null
    AwPickProbe centreProbe;
    List<ShadowEdge*> shadowEdges;           // owned
    List<LevelShadowVolume*> shadowVolumes;  // owned
    Vector3 negatedOrigin{0, 0, 0}; // file positions plus this are world positions
    Vector3 boxMax{0, 0, 0}, boxMin{0, 0, 0};
    Vector3 innerMax{0, 0, 0}, innerMin{0, 0, 0}; // 1 % inside the box on every axis
    uint64_t levelFileTime = 0; // FILETIME of the level model; the caches' stamp
    char* shadowObjectFile = nullptr; // owned text or null
    char* shadowObjectName = nullptr; // owned text or null
    Vector3 cursorPoint{0, 0, 0};
    uint8_t cursorPointValid = 0;
    Vector3 centrePoint{0, 0, 0};
    uint8_t centrePointValid = 0;
    AwObject* skyObject = nullptr; // one reference held, or null

private:
    // Read by both threads; the level's tree does not change after the load.
    std::unique_ptr<ShapeTreeIndex> segmentIndex_;
};

// The current level world; null between levels.
extern LevelWorld* LevelWorldInstance;
// LevelWorldInstance's lock, or null between levels.
inline RwLock* LevelWorldLock() { return LevelWorldInstance ? &LevelWorldInstance->lock : nullptr; }
// The level's named dummy objects, filled by the map definition.
extern std::vector<AwDummyObject> LevelDummyList;

// The level teardown's share of the world: drops the level's reference, clears
// LevelWorldInstance and empties LevelDummyList.
void TvReleaseLevelWorld();

// Line of sight through the level: true when nothing of LevelWorldInstance's
// tree lies between a and b (also without a level world); otherwise false,
// and `hitPoint`, when given, receives the nearest hit.
bool TvLevelSegmentHit(const Vector3& a, const Vector3& b, Vector3* hitPoint = nullptr);
