// The reading half of the actor state record (actor_save.h). Every count and
// length is checked against the bytes left before anything is allocated from
// it, and every value used as an enum or index against its range.

#include <cstring>
#include <memory>
#include <string_view>

#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_image.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/actor_save.h"
#include "Tv/sim/equipped_item.h"
#include "Tv/sim/noise_events.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_centipede.h"
#include "Tv/sim/server_pickup.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/server_track_object.h"
#include "Tv/sim/unit_records.h"
#include "Tv/sim/vulnerability.h"
#include "Tv/world/collision_polygon.h"
#include "Tv/world/level_world.h"
#include "core/bytes.h"
#include "core/vector_bytes.h"

namespace {

// The smallest size of one entry of each saved list.
constexpr size_t kVulnerabilityMinBytes = 22; // role, flag, delay, duration, length -1, effect, owned
constexpr size_t kEquippedBytes = 8;
constexpr size_t kOrderBytes = 40;
constexpr size_t kWaypointBytes = 24;
constexpr size_t kRiderBytes = 4;

// A count of entries of at least `entryBytes` each that the bytes left can hold.
bool ReadCount(ByteReader& in, size_t entryBytes, uint32_t& count) {
    return in.U32(count) && count <= in.remaining() / entryBytes;
}

// A saved reference (id or key + 1, 0 for none): never negative.
bool ReadSavedId(ByteReader& in, int32_t& id) { return in.I32(id) && id >= 0; }

bool ReadInRange(ByteReader& in, int32_t lo, int32_t hi, int32_t& v) { return in.I32(v) && v >= lo && v <= hi; }

// The polygon with that index in the level world's table, or null.
CollisionPolygon* PolygonOfIndex(uint32_t index) {
    const LevelWorld* world = LevelWorldInstance;
    return world && index < world->polygonCount ? world->polygonTable[index] : nullptr;
}

bool SameText(const char* a, const char* b) { return a == b || (a && b && std::strcmp(a, b) == 0); }

bool SameVulnerability(const Vulnerability& a, const Vulnerability& b) {
    return a.attacker == b.attacker && a.projectile == b.projectile && a.delaySeconds == b.delaySeconds &&
           a.durationSeconds == b.durationSeconds && a.effect == b.effect && SameText(a.scriptName, b.scriptName);
}

// A record the actor did not add itself is the definition's shared one when the
// definition still has it; otherwise the actor keeps (and frees) its own copy.
Vulnerability* Settle(std::unique_ptr<Vulnerability> read, const ObjectDefinition* definition) {
    if (!read->owned && definition)
        for (const auto& shared : definition->vulnerabilities)
            if (SameVulnerability(*shared, *read)) return shared.get();
    read->owned = 1;
    return read.release();
}

// One entry into `out`; `out` stays null (the entry read past) when its role or projectile is unknown.
bool ReadVulnerability(ByteReader& in, std::unique_ptr<Vulnerability>& out) {
    int32_t roleId = 0, projectileId = 0, scriptLength = 0;
    uint8_t hasProjectile = 0;
    if (!in.I32(roleId) || !in.U8(hasProjectile) || (hasProjectile && !in.I32(projectileId))) return false;
    auto v = std::make_unique<Vulnerability>();
    if (!in.I32(v->delaySeconds) || !in.I32(v->durationSeconds) || !in.I32(scriptLength)) return false;
    if (scriptLength != -1) {
        if (scriptLength < 0 || static_cast<size_t>(scriptLength) > in.remaining()) return false;
        v->scriptName = TextCopy(std::string_view(reinterpret_cast<const char*>(in.cursor()), size_t(scriptLength)));
        in.Skip(static_cast<size_t>(scriptLength));
    }
    if (!ReadInRange(in, kVulnerabilityShutdown, kVulnerabilityScript, v->effect) || !in.U8(v->owned)) return false;
    v->attacker = DefinitionRegistry::FindById(roleId);
    v->projectile = hasProjectile ? DefinitionRegistry::FindById(projectileId) : nullptr;
    if (v->attacker && (!hasProjectile || v->projectile)) out = std::move(v);
    return true;
}

// The saved list replaces the one the actor was built with (the definition's
// records and any default item, which the saved list holds again).
bool ReadVulnerabilities(ByteReader& in, ServerObject& actor) {
    uint32_t count = 0;
    if (!ReadCount(in, kVulnerabilityMinBytes, count)) return false;
    std::vector<std::unique_ptr<Vulnerability>> read;
    for (uint32_t i = 0; i < count; ++i) {
        std::unique_ptr<Vulnerability> v;
        if (!ReadVulnerability(in, v)) return false;
        if (v) read.push_back(std::move(v));
    }
    for (Vulnerability* old : actor.Vulnerabilities)
        if (old->owned) delete old;
    actor.Vulnerabilities.Clear();
    for (auto& v : read) actor.Vulnerabilities.PushBack(Settle(std::move(v), actor.Definition));
    return true;
}

bool ReadEquipment(ByteReader& in, ServerUnit& unit) {
    uint32_t count = 0;
    if (!ReadCount(in, kEquippedBytes, count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        int32_t key = 0, slot = 0;
        if (!in.I32(key) || !ReadInRange(in, 0, kMountSlotCount - 1, slot)) return false;
        auto* equipped = new EquippedItem;
        equipped->SavedItemKey = key;
        equipped->Slot = slot;
        unit.Equipment.PushBack(equipped);
    }
    return true;
}

bool ReadOrders(ByteReader& in, ServerUnit& unit) {
    uint32_t count = 0;
    if (!ReadCount(in, kOrderBytes, count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        auto order = std::make_unique<UnitOrder>();
        uint32_t pointerWord = 0;
        if (!ReadInRange(in, kOrderAttackTarget, kOrderChangeAmmo, order->Type) || !in.I32(order->TargetId) ||
            !in.I32(order->ItemKey) || !in.I32(order->Role))
            return false;
        order->Position = ReadVector3(in);
        if (!in.U32(pointerWord) || !in.I32(order->AttackWord) || !in.I32(order->GiveCount)) return false;
        if (order->Type == kOrderMove) {
            uint32_t index = 0;
            if (!in.U32(index)) return false;
            order->Polygon = PolygonOfIndex(index);
        }
        unit.Orders.PushBack(order.release());
    }
    return true;
}

bool ReadWaypoints(ByteReader& in, List<Waypoint*>& waypoints) {
    uint32_t count = 0;
    if (!ReadCount(in, kWaypointBytes, count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        auto* waypoint = new Waypoint;
        waypoint->Position = ReadVector3(in);
        in.I32(waypoint->Keep);
        in.I32(waypoint->Tag);
        in.I32(waypoint->Word);
        waypoints.PushBack(waypoint);
    }
    return in.ok();
}

bool ReadUnitPart(ByteReader& in, ServerUnit& unit) {
    if (unit.Disabled) {
        unit.AiTickCallback = nullptr;
        unit.AiStartCallback = nullptr;
    }
    if (unit.CloakActive && (unit.AiFlags & kAiFlagNoiseEvent)) TvRemoveNoiseEventOf(&unit);
    uint32_t goal = 0;
    if (!ReadEquipment(in, unit) || !ReadOrders(in, unit) || !in.U32(goal)) return false;
    unit.GoalPolygon = goal ? PolygonOfIndex(goal - 1) : nullptr;
    if (!ReadWaypoints(in, unit.Waypoints) || !ReadWaypoints(in, unit.StoredWaypoints)) return false;
    return in.I32(unit.AimModuleCount) && in.I32(unit.SightBonusCount) && in.F32(unit.SightRange) &&
           in.F32(unit.FirstPersonRange);
}

// A new weapon of the saved type with the saved ammunition (the type's
// default when this level has no row for the pair), or none.
void RestoreWeapon(ServerBot& bot, int32_t savedType, int32_t ammoType) {
    delete bot.Weapon;
    bot.Weapon = nullptr;
    if (savedType == 0) return;
    bot.Weapon = new WeaponInstance;
    bot.Weapon->WeaponType = savedType - 1;
    if (!bot.Weapon->SetAmmoType(ammoType)) bot.Weapon->SetDefaultAmmo();
}

bool ReadBotPart(ByteReader& in, ServerBot& bot) {
    int32_t weaponType = 0, ammoType = 0;
    if (!ReadInRange(in, 0, kWeaponTypeCount, weaponType) || !ReadInRange(in, 0, kAmmoTypeCount - 1, ammoType))
        return false;
    RestoreWeapon(bot, weaponType, ammoType);
    if (!ReadSavedId(in, bot.SavedAmmoItemKey) || !ReadSavedId(in, bot.SavedFireTargetId)) return false;
    return !bot.IsCentibody() || ReadSavedId(in, static_cast<ServerCentibody&>(bot).SavedNextSegmentId);
}

// A text the image says the record carries: its length with the final zero, then its bytes.
bool ReadText(ByteReader& in, bool present, OwnedText& text) {
    if (!present) {
        text = OwnedText();
        return true;
    }
    int32_t length = 0;
    if (!in.I32(length) || length < 1 || static_cast<size_t>(length) > in.remaining()) return false;
    const char* bytes = reinterpret_cast<const char*>(in.cursor());
    if (bytes[length - 1] != 0) return false;
    text = OwnedText(std::string_view(bytes, std::strlen(bytes)));
    return in.Skip(static_cast<size_t>(length));
}

bool ReadTrackPart(ByteReader& in, ServerTrackObject& track) {
    if (track.CarriesRiders && !TrackObjectList.Contains(&track)) TrackObjectList.PushBack(&track);
    uint32_t count = 0;
    if (!ReadCount(in, kRiderBytes, count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        int32_t id = 0;
        if (!in.I32(id)) return false;
        track.SavedRiderIds.PushBack(id);
    }
    return true;
}

} // namespace

bool TvReadActorState(ByteReader& in, ServerObject& actor, const ActorImage& image) {
    RestoreActorImage(actor, image);
    actor.Loaded = 1;
    if (!ReadSavedId(in, actor.SavedHeapContentsId) || !ReadSavedId(in, actor.SavedAiTargetId)) return false;
    if (!ReadVulnerabilities(in, actor)) return false;
    if (actor.IsUnit() && !ReadUnitPart(in, static_cast<ServerUnit&>(actor))) return false;
    if (actor.IsBot() && !ReadBotPart(in, static_cast<ServerBot&>(actor))) return false;
    if (actor.IsProjectile() && !ReadSavedId(in, static_cast<ServerProjectile&>(actor).SavedTargetId)) return false;
    if (actor.IsPickup()) {
        auto& pickup = static_cast<ServerPickup&>(actor);
        if (!ReadText(in, image.Word(kImagePickupScript) != 0, pickup.Script) ||
            !ReadText(in, image.Word(kImagePickupKey) != 0, pickup.KeyName))
            return false;
    }
    if (actor.IsTrackObject() && !ReadTrackPart(in, static_cast<ServerTrackObject&>(actor))) return false;
    return in.ok();
}
