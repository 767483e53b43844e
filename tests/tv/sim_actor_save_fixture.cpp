#include "tests/tv/sim_actor_save_fixture.h"

#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/defs/ownedtext.h"
#include "Tv/server/actor_actions.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/actor_save.h"
#include "Tv/sim/equipped_item.h"
#include "Tv/sim/server_pickup.h"
#include "Tv/sim/server_popup.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/server_track_object.h"
#include "Tv/sim/unit_records.h"
#include "Tv/sim/vulnerability.h"
#include "core/bytes.h"

namespace {

constexpr Quaternion kIdentity{0, 0, 0, 1};

// The base fields every family carries, each set apart from its neighbours.
void Distinguish(ServerObject& actor) {
    actor.StunStart = 1.25f;
    actor.StunEnd = 2.5f;
    actor.ConvertStart = 3.75f;
    actor.ConvertEnd = 5.0f;
    actor.TargetId = 42;
    actor.AiActivity = 3;
    actor.AiWakeTime = 0x0102030405060708ull;
    actor.AiAggression = 0.375f;
    actor.InvestigatePoint = {7, -8, 9};
    actor.WithheldShots = 4;
    actor.HasNoisePoint = 1;
    actor.AiFlags = 0x40;
    actor.AlarmState = 2;
    actor.LastSeconds = 11.5f;
    actor.AiTimer = 0x1112131415161718ull;
    actor.KeepModelInWorld = 1;
    actor.StateTicks = 0x2122232425262728ull;
    actor.ThinkTicks = 0x3132333435363738ull;
    actor.StateSeconds = 12.5f;
    actor.BroadcastSeconds = 13.5f;
    actor.Armour = 17;
    actor.Strength = 63;
    actor.StateChanged = 1;
    actor.SavedByte1 = 0x5a;
    actor.SavedByte2 = 0xa5;
}

Vulnerability* NewVulnerability(const ObjectDefinition* attacker, const ObjectDefinition* projectile,
                                const char* script, int32_t delay, int32_t effect) {
    auto* v = new Vulnerability;
    v->attacker = attacker;
    v->projectile = projectile;
    v->delaySeconds = delay;
    v->scriptName = script ? TextCopy(script) : nullptr;
    v->effect = effect;
    v->owned = 1;
    return v;
}

Waypoint* NewWaypoint(const Vector3& position, int32_t keep, int32_t tag) {
    auto* waypoint = new Waypoint;
    waypoint->Position = position;
    waypoint->Keep = keep;
    waypoint->Tag = tag;
    return waypoint;
}

} // namespace

void ActorSaveTest::SetUp() {
    EmplacementTest::SetUp();
    MakeFloor(8, 8);
    WalkerSpec registeredWalker; // the loader finds definitions by id
    registeredWalker.registered = true;
    walker = MakeWalker("walker", registeredWalker);
    role = MakeDefinition("zudad", 1, false, false, true);
    heap = MakeDefinition("medkit", 1, false, false, true);
    GunnerSpec gunning;
    gunning.registered = true;
    gunner = MakeGunner("gunner", gunning);
    auto* row = new WeaponParameters(**WeaponTableSlot(1, DefaultAmmoType(1)));
    *WeaponTableSlot(1, 5) = row;
    turret = MakeEmplacement("turret", 20, gunning);
    pickup = MakeDefinition("switch", kAiCorePickup, true, false, true);
    lift = MakeDefinition("lift", kAiCoreTrackObject, false, false, true);
    crate = MakeDefinition("crate", 1, false, false, true);
}

ServerObject* ActorSaveTest::Crate(int32_t team, const Vector3& position) {
    return TvFindActor(TvCreateServerActor(team, crate, position, kIdentity));
}

ServerUnit* ActorSaveTest::SavedUnit() {
    ServerUnit* unit = MakeUnit(1, {3, 0, 3}, walker, 512);
    Distinguish(*unit);
    unit->HeapContents = heap;
    unit->SetAiTarget(Crate(2, {9, 0, 9}));
    unit->Vulnerabilities.PushBack(NewVulnerability(role, bolt, "x", 2, kVulnerabilityScript));
    unit->Vulnerabilities.PushBack(NewVulnerability(role, nullptr, nullptr, 5, kVulnerabilityShutdown));
    wornItem = Carry(*unit, IK_MODULE, 4, 1, 0);
    auto* worn = new EquippedItem;
    worn->Item = wornItem;
    worn->Slot = 2;
    unit->Equipment.PushBack(worn);
    auto* move = new UnitOrder;
    move->Type = kOrderMove;
    move->TargetId = 9;
    move->Position = {1, 0, 1};
    move->Polygon = Polygon(5);
    move->GiveCount = 3;
    unit->Orders.PushBack(move);
    auto* hold = new UnitOrder;
    hold->Type = kOrderHold;
    hold->Position = {2, 0, 2};
    unit->Orders.PushBack(hold);
    unit->GoalPolygon = Polygon(7);
    unit->Waypoints.PushBack(NewWaypoint({1, 0, 3}, 0, 0));
    unit->Waypoints.PushBack(NewWaypoint({5, 0, 3}, 1, 6));
    unit->StoredWaypoints.PushBack(NewWaypoint({5, 0, 5}, 1, 2));
    unit->OrdersCancelled = 1;
    unit->DisguiseStart = 20;
    unit->DisguiseEnd = 80;
    unit->DisguiseId = 77;
    unit->CloakActive = 1;
    unit->CloakStart = 30;
    unit->CloakEnd = 150;
    unit->Concealed = 1;
    unit->StandingMode = 5;
    unit->CpuControlled = 0;
    unit->SetPathState(PS_CLEARPATH_FAILED);
    unit->CentreOffset = {0, -0.75f, 0.25f};
    unit->AimModuleCount = 2;
    unit->SightBonusCount = 1;
    unit->SightRange = 12.5f;
    unit->FirstPersonRange = 30;
    return unit;
}

ServerBot* ActorSaveTest::SavedBot() {
    ServerBot* bot = MakeBot(1, {5, 0, 3}, gunner); // a player team's: it carries an inventory
    Distinguish(*bot);
    bot->SetAmmoType(5);
    ammoStack = Carry(*bot, IK_AMMO, 5, 5, 40);
    bot->AmmoItem = ammoStack;
    bot->MagazineCount = 7;
    ServerObject* target = Crate(2, {1, 0, 1});
    target->AddRef();
    bot->FireTarget = target;
    bot->NextShotTime = 0x4142434445464748ull;
    bot->HoldFire = 1;
    bot->AttackCommandTime = 21.5f;
    bot->Fleeing = 1;
    bot->Shield = 44;
    bot->Attacking = 1;
    bot->TargetPoint = {1, -1, 1};
    bot->YawAimed = 0;
    bot->PitchAimed = 0;
    bot->ShotSpeed = 20;
    bot->TargetHeading = 1024;
    bot->Elevation = -64;
    bot->LastAttackChange = 19.5f;
    return bot;
}

ServerProjectile* ActorSaveTest::SavedProjectile() {
    auto* shot = new ServerProjectile(2, bolt, {1, -2, 3}, kIdentity, 5, 7, -1, 3, TvNextActorId());
    Distinguish(*shot);
    shot->DamageMultiplier = 1.5f;
    shot->Velocity = {0, -1, 5};
    shot->LaunchSeconds = 9.5f;
    shot->LaunchTicks = 0x5152535455565758ull;
    ServerObject* target = Crate(1, {6, 0, 6});
    target->AddRef();
    shot->Target = target;
    return shot;
}

ServerPickup* ActorSaveTest::SavedPickup() {
    auto* taken = static_cast<ServerPickup*>(TvFindActor(TvCreateServerActor(0, pickup, {2, 0, 2}, kIdentity)));
    Distinguish(*taken);
    taken->SetScript("run.tcs", true);
    taken->SetKey("keycard");
    taken->Taken = 1;
    taken->HeapClass = 6;
    taken->DestroyAfterCollection = 1;
    taken->ItemCount = 3;
    return taken;
}

ServerTrackObject* ActorSaveTest::SavedTrack() {
    auto* track = static_cast<ServerTrackObject*>(TvFindActor(TvCreateServerActor(0, lift, {4, 0, 4}, kIdentity)));
    Distinguish(*track);
    track->CarriesRiders = 1;
    track->TrackSet = 1;
    track->Running = 1;
    track->Reversed = 1;
    track->Looping = 1;
    track->LoopTicks = 500;
    track->SetTrackSpeed(0.25f);
    track->Curve[0] = {4, 0, 4};
    track->Curve[1] = {4, -1, 4};
    track->Curve[2] = {4, -2, 4};
    track->Curve[3] = {4, -3, 4};
    track->StartOrientation = kIdentity;
    track->EndOrientation = {0, 0.70710677f, 0, 0.70710677f};
    QuaternionSlerp(track->StartOrientation, track->EndOrientation, track->TurnInterpolation);
    track->RunStart = 0x6162636465666768ull;
    track->PauseTime = 99;
    track->AddRider(*MakeUnit(1, {4, 0, 4}, walker));
    return track;
}

ServerTurret* ActorSaveTest::SavedTurret() {
    ServerTurret* emplacement = MakeTurret(2, {6, 0, 2}, turret);
    Distinguish(*emplacement);
    emplacement->Raised = 1;
    emplacement->LosTesting = 1;
    emplacement->TurretAiTime = 0x7172737475767778ull;
    return emplacement;
}

std::vector<uint8_t> ActorSaveTest::SaveBlock() {
    ByteWriter out;
    EXPECT_TRUE(TvSaveActors(out));
    return out.bytes();
}

bool ActorSaveTest::LoadBlock(const std::vector<uint8_t>& block) {
    ByteReader in(block.data(), block.size());
    return TvLoadActors(in) && in.remaining() == 0;
}
