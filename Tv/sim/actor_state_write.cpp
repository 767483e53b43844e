// The writing half of the actor state record (actor_save.h).

#include <cstring>

#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_save.h"
#include "Tv/sim/equipped_item.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_centipede.h"
#include "Tv/sim/server_pickup.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/server_track_object.h"
#include "Tv/sim/unit_records.h"
#include "Tv/sim/vulnerability.h"
#include "Tv/world/collision_polygon.h"
#include "core/bytes.h"
#include "core/vector_bytes.h"

namespace {

// A saved reference: the id + 1, 0 for none.
int32_t SavedId(const ServerObject* actor) { return actor ? actor->Id + 1 : 0; }
int32_t SavedId(const ObjectDefinition* definition) { return definition ? definition->id + 1 : 0; }

void WriteVulnerability(ByteWriter& out, const Vulnerability& v) {
    out.I32(v.attacker ? v.attacker->id : -1); // no role: the loader drops the entry
    out.U8(v.projectile ? 1 : 0);
    if (v.projectile) out.I32(v.projectile->id);
    out.I32(v.delaySeconds);
    out.I32(v.durationSeconds);
    if (v.scriptName) {
        const size_t length = std::strlen(v.scriptName);
        out.I32(static_cast<int32_t>(length));
        out.Bytes(v.scriptName, length);
    } else {
        out.I32(-1);
    }
    out.I32(v.effect);
    out.U8(v.owned);
}

// The 40-byte record with its pointer word as 0; a move order adds its polygon's index.
void WriteOrder(ByteWriter& out, const UnitOrder& order) {
    out.I32(order.Type);
    out.I32(order.TargetId);
    out.I32(order.ItemKey);
    out.I32(order.Role);
    WriteVector3(out, order.Position);
    out.U32(0);
    out.I32(order.AttackWord);
    out.I32(order.GiveCount);
    if (order.Type == kOrderMove) out.U32(order.Polygon ? order.Polygon->polygonIndex : UINT32_MAX);
}

void WriteWaypoints(ByteWriter& out, const List<Waypoint*>& waypoints) {
    out.U32(static_cast<uint32_t>(waypoints.Count()));
    for (const Waypoint* waypoint : waypoints) {
        WriteVector3(out, waypoint->Position);
        out.I32(waypoint->Keep);
        out.I32(waypoint->Tag);
        out.I32(waypoint->Word);
    }
}

void WriteUnitPart(ByteWriter& out, const ServerUnit& unit) {
    uint32_t worn = 0;
    for (const EquippedItem* equipped : unit.Equipment) worn += equipped->Item ? 1 : 0;
    out.U32(worn);
    for (const EquippedItem* equipped : unit.Equipment) {
        if (!equipped->Item) continue;
        out.I32(equipped->Item->ItemId);
        out.I32(equipped->Slot);
    }
    out.U32(static_cast<uint32_t>(unit.Orders.Count()));
    for (const UnitOrder* order : unit.Orders) WriteOrder(out, *order);
    out.U32(unit.GoalPolygon ? unit.GoalPolygon->polygonIndex + 1 : 0);
    WriteWaypoints(out, unit.Waypoints);
    WriteWaypoints(out, unit.StoredWaypoints);
    out.I32(unit.AimModuleCount);
    out.I32(unit.SightBonusCount);
    out.F32(unit.SightRange);
    out.F32(unit.FirstPersonRange);
}

void WriteBotPart(ByteWriter& out, const ServerBot& bot) {
    out.I32(bot.Weapon ? bot.Weapon->WeaponType + 1 : 0);
    out.I32(bot.Weapon ? bot.Weapon->AmmoType : 0);
    out.I32(bot.AmmoItem ? bot.AmmoItem->ItemId + 1 : 0);
    out.I32(SavedId(bot.FireTarget));
    // The chain, which the record would otherwise lose.
    if (bot.IsCentibody()) out.I32(SavedId(static_cast<const ServerCentibody&>(bot).NextSegment));
}

// Length with the terminating zero, then the bytes with it; nothing for no text.
void WriteText(ByteWriter& out, const OwnedText& text) {
    if (text.IsNone()) return;
    const size_t length = std::strlen(text.Get()) + 1;
    out.I32(static_cast<int32_t>(length));
    out.Bytes(text.Get(), length);
}

} // namespace

bool TvWriteActorState(ByteWriter& out, ServerObject& actor) {
    out.I32(SavedId(actor.HeapContents));
    out.I32(SavedId(actor.AiTarget));
    out.U32(static_cast<uint32_t>(actor.Vulnerabilities.Count()));
    for (const Vulnerability* v : actor.Vulnerabilities) WriteVulnerability(out, *v);
    if (actor.IsUnit()) WriteUnitPart(out, static_cast<const ServerUnit&>(actor));
    if (actor.IsBot()) WriteBotPart(out, static_cast<const ServerBot&>(actor));
    if (actor.IsProjectile()) out.I32(SavedId(static_cast<const ServerProjectile&>(actor).Target));
    if (actor.IsPickup()) {
        const auto& pickup = static_cast<const ServerPickup&>(actor);
        WriteText(out, pickup.Script);
        WriteText(out, pickup.KeyName);
    }
    if (actor.IsTrackObject()) {
        const auto& track = static_cast<const ServerTrackObject&>(actor);
        out.U32(static_cast<uint32_t>(track.Riders.Count()));
        for (const ServerObject* rider : track.Riders) out.I32(rider->Id);
    }
    return true; // the writer grows as needed: no write falls short
}
