#include "Tv/world/level_world.h"

#include <vector>

#include "Awapi/aw3d/global_materials.h"
#include "Awapi/bounding_box.h"
#include "Awapi/camera.h"
#include "Awapi/draw_list.h"
#include "Awapi/light_set.h"
#include "Awapi/model/dummy_object.h"
#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "Tv/defs/ownedtext.h"
#include "Tv/effects/shadow_records.h"
#include "Tv/world/intersection.h"
#include "Tv/world/shape_tree_index.h"
#include "core/clock.h"

LevelWorld* LevelWorldInstance = nullptr;
std::vector<AwDummyObject> LevelDummyList;

namespace {

// The level is drawn for the pick alone: picked precisely, its box tested first.
constexpr AwDrawFlags kPickDrawFlags = kDrawPickMode | kDrawPickBox | kDrawPickable | kDrawParentMatrix;

// The tree's nodes, children before their parent, children in list order.
void CollectPostOrder(AwShapeInstance* node, std::vector<AwShapeInstance*>& out) {
    for (AwShapeInstance* child : node->Children) CollectPostOrder(child, out);
    out.push_back(node);
}

// Gives `geometry` to the first shape of the tree in post-order, with every
// other shape's own geometry held aside, for as long as it lives: the
// collision meshes built meanwhile hold exactly `geometry`.
class GeometryLoan {
public:
    GeometryLoan(AwShapeInstance* root, LevelGeometry* geometry) {
        std::vector<AwShapeInstance*> nodes;
        CollectPostOrder(root, nodes);
        for (AwShapeInstance* node : nodes) {
            AwShape* shape = node->Slots[0];
            if (!shape) continue;
            held_.push_back({shape, shape->Geometry});
            shape->Geometry = borrower_ ? nullptr : geometry;
            if (!borrower_) borrower_ = shape;
        }
    }
    ~GeometryLoan() {
        // Backwards, so that a shape shared by several nodes ends with its own geometry.
        for (auto it = held_.rbegin(); it != held_.rend(); ++it) it->shape->Geometry = it->geometry;
    }
    GeometryLoan(const GeometryLoan&) = delete;
    GeometryLoan& operator=(const GeometryLoan&) = delete;

private:
    struct Held {
        AwShape* shape;
        LevelGeometry* geometry;
    };
    std::vector<Held> held_;
    AwShape* borrower_ = nullptr;
};

void BuildTreeTriangleData(AwShapeInstance* node) {
    if (AwShape* shape = node->Slots[0]) shape->BuildTriangleData();
    for (AwShapeInstance* child : node->Children) BuildTreeTriangleData(child);
}

} // namespace

LevelWorld::LevelWorld(AwShapeInstance* root, const Vector3& origin, LevelGeometry* geometry)
    : colour(Colour::FromFloats(0.5f, 0.5f, 0.5f, 1.0f)) {
    centreProbe.precise = true;
    AwPickProbeList::PushBack(&centreProbe);
    centreProbe.UpdatePixelPosition();

    negatedOrigin = Vector3(0, 0, 0) - origin;
    if (root->Box) {
        boxMin = root->Box->Min();
        boxMax = root->Box->Max();
    }
    innerMax = 0.01f * boxMin + 0.99f * boxMax;
    innerMin = 0.99f * boxMin + 0.01f * boxMax;

    levelObject = new AwObject(root, true);
    levelObject->SetPosition(0.0f, 0.0f, 0.0f);
    levelObject->SetAngles(0, 0, 0);
    {
        GeometryLoan loan(root, geometry);
        AddShapeTree(root, IdentityMatrix);
    }
    // Built once here, the tree's matrices are only read afterwards, by both threads.
    BuildShapeTreeMatrices(*root);

    centreProbe.fractionX = centreProbe.fractionY = 0.5f;
    centreProbe.UpdatePixelPosition();
    centreProbe.precise = true;
}

LevelWorld::~LevelWorld() {
    if (levelObject) levelObject->Release();
    if (skyObject) skyObject->Release();
    for (ShadowEdge* edge : shadowEdges) delete edge;
    shadowEdges.Clear();
    for (LevelShadowVolume* volume : shadowVolumes) delete volume;
    shadowVolumes.Clear();
    TextFree(shadowObjectFile);
    TextFree(shadowObjectName);
    TextFree(bitmap);
    if (centreProbe.inList) AwPickProbeList::Remove(&centreProbe);
}

AwShapeInstance* LevelWorld::GetRootShape() const { return levelObject->Root; }

void LevelWorld::BuildShapeTriangleData() {
    BuildTreeTriangleData(GetRootShape());
    segmentIndex_ = std::make_unique<ShapeTreeIndex>(*GetRootShape());
}

bool LevelWorld::SegmentHit(HitRecord& record, const Vector3& a, const Vector3& d) const {
    return segmentIndex_ ? TvSegmentHitShapeTree(record, *segmentIndex_, a, d)
                         : TvSegmentHitShapeTree(record, *GetRootShape(), a, d);
}

void LevelWorld::UpdatePick() {
    const auto time = static_cast<int32_t>(GameClock.GetTime32());
    if (!centreProbe.inList) AwPickProbeList::PushBack(&centreProbe);
    centreProbe.hitThisFrame = false;
    centreProbe.nearestDepth = kNoPickDepth;
    // Drawn with the default material until the fog of war gives the level its own.
    levelObject->QueueForDrawing(time, AwCurrentCamera, SceneLightsInstance, GlobalMaterials[0], 0, kPickDrawFlags,
                                 this, nullptr, nullptr);
    AwDrawList::Render();
    centrePointValid = centreProbe.hitThisFrame ? 1 : 0;
    if (centrePointValid) centrePoint = centreProbe.hitPosition;
    AwPickProbeList::Remove(&centreProbe);
    if (AwItemPickProbe.inList) AwPickProbeList::Remove(&AwItemPickProbe);
}

void LevelWorld::TakeCursorPick(const AwPickProbe& probe) {
    cursorPointValid = probe.hitThisFrame ? 1 : 0;
    if (cursorPointValid) cursorPoint = probe.hitPosition;
}

void LevelWorld::OnPick() {
    cursorPointValid = 1;
    cursorPoint = AwItemPickProbe.hitPosition;
}

void TvReleaseLevelWorld() {
    if (LevelWorldInstance) LevelWorldInstance->Release();
    LevelWorldInstance = nullptr;
    LevelDummyList.clear();
}

bool TvLevelSegmentHit(const Vector3& a, const Vector3& b, Vector3* hitPoint) {
    HitRecord record{1.0f, Vector3(0, 0, 0)};
    const Vector3 d = b - a;
    if (!LevelWorldInstance || !LevelWorldInstance->SegmentHit(record, a, d)) return true;
    if (hitPoint) *hitPoint = a + record.t * d;
    return false;
}
