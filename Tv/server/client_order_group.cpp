// Group moves (8 and the queued 33): the first unit goes to the clicked
// polygon, the others to formation polygons near the height of those taken.

#include <algorithm>
#include <vector>

#include "Tv/client/teamtable.h"
#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/client_order_access.h"
#include "Tv/server/client_order_handlers.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server_state.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"
#include "Tv/world/collision_polygon.h"
#include "Tv/world/level_world.h"
#include "core/rwlock.h"

namespace {

constexpr float kHeightBandMargin = 0.25f;

using PolygonList = std::vector<CollisionPolygon*>;

CollisionPolygon* LevelPolygon(int32_t index) {
    if (!LevelWorldInstance || index < 0 || static_cast<uint32_t>(index) >= LevelWorldInstance->polygonCount ||
        static_cast<size_t>(index) >= LevelWorldInstance->polygonTable.size())
        return nullptr;
    return LevelWorldInstance->polygonTable[index];
}

bool Contains(const PolygonList& list, const CollisionPolygon* polygon) {
    return std::find(list.begin(), list.end(), polygon) != list.end();
}

// How far y lies outside the band [low, high].
float BandDistance(float y, float low, float high) { return y >= low ? y - high : low - y; }

// P itself when its height lies inside the band of the used polygons (0.25 m
// beyond their lowest and highest); else the free neighbour of a used polygon
// that lies inside it, or failing that comes nearest, when nearer than P.
CollisionPolygon* HeightBandChoice(CollisionPolygon* p, const PolygonList& used) {
    if (used.empty()) return p;
    float low = kLargestFloat, high = -kLargestFloat;
    for (const CollisionPolygon* u : used) {
        low = std::min(low, u->GetReferencePoint().y);
        high = std::max(high, u->GetReferencePoint().y);
    }
    low -= kHeightBandMargin;
    high += kHeightBandMargin;
    const float h = Contains(used, p) ? kLargestFloat : p->GetReferencePoint().y;
    if (low < h && h < high) return p;
    float best = BandDistance(h, low, high);
    CollisionPolygon* chosen = p;
    for (const CollisionPolygon* u : used)
        for (uint32_t i = 0; i < u->neighbourCount; ++i) {
            CollisionPolygon* n = u->neighbours[i];
            if (!n || Contains(used, n)) continue;
            const float y = n->GetReferencePoint().y;
            if (low < y && y < high) return n;
            const float d = BandDistance(y, low, high);
            if (d < best) {
                best = d;
                chosen = n;
            }
        }
    return chosen;
}

struct Formation {
    CollisionPolygon* leader; // the clicked polygon
    CollisionPolygon* next;   // for the next unit
    Vector3 leaderOffset{0, 0, 0};
    Vector3 nextOffset{0, 0, 0};
    Vector3 leaderPosition{0, 0, 0};
    bool leaderPlaced = false;
    PolygonList used;
};

// The polygon for the unit after `unit`, from its team's formation.
void AdvanceFormation(Formation& f, const ServerUnit& unit) {
    const TeamRecord* team = TeamTable::GetTeam(unit.Team);
    if (!team) return;
    RwLockHold hold(LevelWorldLock(), false);
    CollisionPolygon* p = team->FormationPoint(f.next, f.leaderOffset, f.nextOffset, f.leader);
    if (p && Contains(f.used, p)) p = team->FormationPoint(p, f.leaderOffset, f.nextOffset, p);
    if (p) f.next = HeightBandChoice(p, f.used);
}

void SendFollowOrderAdded(const ServerUnit& unit, const CollisionPolygon& polygon, int32_t targetId) {
    ByteWriter message;
    message.I32(MSG_FOLLOW_ORDER_ADDED);
    message.I32(0);
    message.I32(static_cast<int32_t>(polygon.polygonIndex));
    message.I32(targetId);
    message.I32(0);
    message.I32(unit.Id);
    TvBroadcast(message, false);
}

// The type-8 move of one unit; false when the unit is busy with an item
// action and only queues the move (the formation does not advance).
bool MoveUnit(ServerUnit& unit, CollisionPolygon* p, int32_t targetId, float time) {
    unit.ClearOrders();
    if (unit.ItemActionActive) {
        unit.QueueMove(p, targetId);
        unit.ItemActionCancelled = 1;
        return false;
    }
    if (unit.Crouched) {
        unit.ToggleCrouch();
        unit.QueueMove(p, targetId);
    } else {
        unit.HeadFor(p, time);
        unit.Collecting = 0;
        unit.TargetId = targetId;
    }
    return true;
}

} // namespace

DrainStep HandleGroupOrder(plat::DpId sender, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    const bool queued = in.Type() == MSG_GROUP_ORDER_QUEUED;
    const float time = in.F32();
    const int32_t polygonIndex = in.I32();
    const int32_t targetId = in.I32();
    const std::vector<int32_t> ids = in.Ids();
    Formation f;
    {
        RwLockHold hold(LevelWorldLock(), false);
        f.leader = f.next = LevelPolygon(polygonIndex);
    }
    if (!f.leader) return DropClientRecord(record, size, "polygon index out of range");
    for (int32_t id : ids)
        if (const ServerObject* actor = TvFindActor(id); actor && !SenderControlsTeam(sender, actor->Team))
            return DropClientRecord(record, size, "actor of a team the sender does not play");
    for (size_t i = 0; i < ids.size(); ++i) {
        ServerObject* actor = TvFindActor(ids[i]);
        if (!actor || !actor->IsUnit()) continue;
        auto& unit = static_cast<ServerUnit&>(*actor);
        if (UserMatchSettings.RuleFlagC == 0 && unit.Crouched) continue;
        if (queued) {
            unit.QueueMove(f.next, targetId);
            SendFollowOrderAdded(unit, *f.next, targetId);
        } else if (!MoveUnit(unit, f.next, targetId, time)) {
            continue;
        }
        f.used.push_back(f.next);
        if (!f.leaderPlaced) {
            f.leaderOffset = f.leader->GetReferencePoint() - unit.Position;
            f.leaderPosition = unit.Position;
            f.leaderPlaced = true;
        }
        unit.SetAiTarget(nullptr);
        if (i + 1 < ids.size())
            if (const ServerObject* next = TvFindActor(ids[i + 1])) f.nextOffset = next->Position - f.leaderPosition;
        AdvanceFormation(f, unit);
    }
    return DrainStep::Continue;
}
