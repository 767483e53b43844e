#include "Tv/sim/server_blocker.h"

#include <algorithm>
#include <vector>

#include "Awapi/object.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/world/level_world.h"

namespace {

using PolygonList = std::vector<CollisionPolygon*>;

bool Holds(const PolygonList& list, const CollisionPolygon* polygon) {
    return std::find(list.begin(), list.end(), polygon) != list.end();
}

// The blocker's box seen from above: its four bottom corners in the world, in
// the order (min x, min z), (max x, min z), (max x, max z), (min x, max z).
class Footprint {
public:
    explicit Footprint(AwObject* model) {
        if (!model) return;
        const Vector3& lo = model->Min;
        const Vector3& hi = model->Max;
        const Vector3 box[4] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}};
        const Matrix34* matrix = model->GetMatrix();
        for (int i = 0; i < 4; ++i) matrix->TransformPoint(corners_[i], box[i]);
        hasArea_ = lo.x < hi.x && lo.z < hi.z;
    }

    // On the inner side of every edge, or on an edge. A box without area
    // (no model, no bounds) holds no point: every edge test would pass.
    bool Contains(const Vector3& r) const {
        if (!hasArea_) return false;
        for (int i = 0; i < 4; ++i) {
            const Vector3& a = corners_[i];
            const Vector3& b = corners_[(i + 1) % 4];
            if ((b.x - a.x) * (r.z - a.z) < (r.x - a.x) * (b.z - a.z)) return false;
        }
        return true;
    }

private:
    Vector3 corners_[4];
    bool hasArea_ = false;
};

// Cuts the links between polygons of the ring that meet at one corner only.
void CutCornerLinks(const PolygonList& ring) {
    for (CollisionPolygon* a : ring)
        for (CollisionPolygon* b : ring) {
            if (a == b || !a->HasNeighbour(b) || !a->SharesVertex(*b) || a->SharesTwoVertices(*b)) continue;
            a->RemoveNeighbour(b);
            b->RemoveNeighbour(a);
        }
}

} // namespace

ServerBlocker::ServerBlocker(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                             const Quaternion& orientation, int32_t id)
    : ServerObject(team, definition, position, orientation, kActorFlagsBlocker, id) {}

ServerBlocker::~ServerBlocker() { ReleaseFloor(); }

void ServerBlocker::Start(uint64_t time, Real seconds) {
    if (LevelWorldInstance) {
        RwLockHold hold(&LevelWorldInstance->lock, true);
        if (CollisionPolygon* under = LevelWorldInstance->FindFloor(Position)) {
            // Flood from the polygon underneath (blocked whatever its centre)
            // over the linked polygons whose centres the footprint covers.
            const Footprint footprint(Model);
            PolygonList open{under}, covered, ring;
            while (!open.empty()) {
                CollisionPolygon* polygon = open.front();
                open.erase(open.begin());
                covered.push_back(polygon);
                CoveredPolygons.PushBack(polygon);
                if (!polygon->IsSteep()) {
                    polygon->flags |= kPolygonSteep;
                    BlockedPolygons.PushBack(polygon);
                }
                for (uint32_t i = 0; i < polygon->neighbourCount; ++i) {
                    CollisionPolygon* next = polygon->neighbours[i];
                    if (Holds(open, next) || Holds(covered, next)) continue;
                    if (footprint.Contains(next->GetReferencePoint()))
                        open.push_back(next);
                    else if (!Holds(ring, next))
                        ring.push_back(next);
                }
            }
            CutCornerLinks(ring);
        }
    }
    ServerObject::Start(time, seconds);
}

void ServerBlocker::OnDeath() {
    ReleaseFloor();
    ServerObject::OnDeath();
}

void ServerBlocker::ReleaseFloor() {
    CoveredPolygons.Clear();
    if (BlockedPolygons.IsEmpty()) return;
    if (LevelWorldInstance) {
        RwLockHold hold(&LevelWorldInstance->lock, true);
        for (CollisionPolygon* polygon : BlockedPolygons) {
            if (ServerBlocker* heir = BlockerCovering(polygon))
                heir->BlockedPolygons.PushBack(polygon);
            else
                polygon->flags &= ~kPolygonSteep;
        }
    }
    BlockedPolygons.Clear();
}

ServerBlocker* ServerBlocker::BlockerCovering(const CollisionPolygon* polygon) const {
    ServerBlocker* found = nullptr;
    ForEachActor([&](ServerObject* actor) {
        if (found || actor == this || !actor->IsBlocker()) return;
        auto* blocker = static_cast<ServerBlocker*>(actor);
        if (blocker->CoveredPolygons.Contains(const_cast<CollisionPolygon*>(polygon))) found = blocker;
    });
    return found;
}

void RegisterServerBlocker() { SetServerActorMaker(ServerActorClass::Blocker, &MakeServerActor<ServerBlocker>); }
