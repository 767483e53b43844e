// The bot's per-pass step: conversion end, sensing scans, queued attack
// orders, the mine sweep, shield recharge and the attack's checks, then the
// aim, the unit's own step, the magazine and, when everything is ready, the
// shot; and the escort flight of a wounded "president".
#include <algorithm>

#include "Tv/client/inventory.h"
#include "Tv/client/teamtable.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/senders.h"
#include "Tv/server/shell_state.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/cheat_switches.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_pickup.h"
#include "Tv/sim/unit_item_steps.h"
#include "chunkfile/nametext.h"
#include "core/clock.h"

namespace {

constexpr int32_t kMsgScanStarted = 113; // 12: id, GameClock seconds

constexpr Real kMineSweepReachSquared = 6.0f;
constexpr Real kMineSweepRadiusSquared = 28.0f;
constexpr Real kMineSweepSeconds = 0.1f;
constexpr Real kRepairedFraction = 0.999f;

constexpr Real kFleeHealthFraction = 0.15f;
constexpr Real kFleeStepSeconds = 3.0f;
constexpr Real kFleeArrivedSquared = 5.0f;
constexpr Real kPickupSearchSquared = 1000000.0f;
constexpr int32_t kFleeWeaponTypeEnd = 13; // repair arms and beyond are no weapons to flee with

// The shot's definition with its record, or null when the level lacks one.
const ObjectDefinition* ShotWithRecord(const ObjectDefinition* shot) {
    return shot && shot->projectile ? shot : nullptr;
}

void StepScanTimer(ServerBot& bot) {
    const CharacterRecord* character = bot.Character;
    if (!character) return;
    const Real period = bot.SightAngle * 4.0f / character->angularScanRate + character->scanDelay;
    const Real clock = GameClock.GetSeconds();
    if (!(clock > bot.NextScanTime)) return;
    bot.NextScanTime = clock + period;
    const int32_t detail = UserMatchSettings.NetDetailLevel;
    const bool story = CurrentGameType == 0;
    if (story || detail <= 6) {
        ByteWriter message = ActorMessage(kMsgScanStarted, bot.Id);
        message.F32(clock);
        TvBroadcast(message, false, !story && detail >= 3 ? bot.Position : kNoPosition);
    }
    bot.StartScan(clock);
}

// The front order when it is an attack or ammunition order and the bot is free
// to take it.
void RunQueuedAttackOrder(ServerBot& bot, Real now) {
    if (bot.Orders.IsEmpty() || bot.Moving || bot.PathState != PS_NONE || bot.IsFiring() || GamePaused ||
        CutsceneActive)
        return;
    const UnitOrder& order = *bot.Orders.Front();
    const int32_t lob = order.AttackWord & 0xFF;
    switch (order.Type) {
    case kOrderAttackTarget:
        if (ServerObject* target = TvFindActor(order.TargetId)) bot.AttackTarget(target, now, 0, lob);
        break;
    case kOrderAttackPoint: bot.AttackPoint(order.Position, now, 0, lob); break;
    case kOrderChangeAmmo: bot.SetAmmoType(order.ItemKey); break;
    default: return;
    }
    bot.PopOrder();
}

// The carried weapon of the highest type below 13 (the first of equals) that
// the character may use and has ammunition for, or null.
InventoryItem* FleeWeapon(const ServerBot& bot) {
    InventoryItem* best = nullptr;
    for (InventoryItem* item : bot.Inventory->Items) {
        if (IsEndMarker(item)) break;
        if (item->Kind == IK_WEAPON && item->SubType < kFleeWeaponTypeEnd && !IsRestricted(bot, *item) &&
            (!best || item->SubType > best->SubType))
            best = item;
    }
    if (!best) return nullptr;
    for (const InventoryItem* item : bot.Inventory->Items) {
        if (IsEndMarker(item)) break;
        if (item->Kind == IK_AMMO && item->Value < kAmmoTypeCount && WeaponTableRow(best->SubType, item->Value))
            return best;
    }
    return nullptr;
}

// The nearest pickup that stays after collection, or the bot's own position.
Vector3 NearestLastingPickup(const ServerBot& bot) {
    Vector3 nearest = bot.Position;
    Real best = kPickupSearchSquared;
    ForEachActor([&](ServerObject* actor) {
        if (!actor->IsPickup() || static_cast<ServerPickup*>(actor)->DestroyAfterCollection) return;
        const Real d = DistanceSquared(bot.Position, actor->Position);
        if (d < best) {
            best = d;
            nearest = actor->Position;
        }
    });
    return nearest;
}

// A player's "president" below 15 % health drops its orders, arms itself,
// runs for the nearest pickup and crouches there, laying mines on the way.
void StepPresidentFlight(ServerBot& bot, uint64_t time) {
    if (!TeamTable::IsPlayerTeam(bot.Team) || bot.ConvertEnd != 0 || !bot.Definition || !bot.Definition->name.Get() ||
        !EqualsIgnoringCase(bot.Definition->name.Get(), "president"))
        return;
    const bool wounded = bot.GetHealthFraction() < kFleeHealthFraction;
    if (wounded && !bot.Fleeing) {
        bot.Fleeing = 1;
        if (!bot.CpuControlled) {
            bot.OrdersCancelled = 0;
            while (bot.HasOrders()) bot.PopOrder();
            if (InventoryItem* weapon = bot.Inventory ? FleeWeapon(bot) : nullptr) bot.UseItem(weapon->ItemId, true);
            bot.HeadForPoint(NearestLastingPickup(bot), GameClock.GetSeconds());
            bot.QueueCrouch();
            bot.NextFleeStep = TicksAfter(time, kFleeStepSeconds);
        }
    }
    if (!wounded) bot.Fleeing = 0;
    if (!bot.Fleeing || bot.OrdersCancelled || time <= bot.NextFleeStep) return;
    if (DistanceSquared(bot.Position, bot.Destination) <= kFleeArrivedSquared) return;
    bot.NextFleeStep = TicksAfter(time, kFleeStepSeconds);
    const InventoryItem* layer = bot.FirstCarried(IK_MINE_LAYER, kMineTypeProximity);
    if (layer && !IsRestricted(bot, *layer)) bot.UseItem(layer->ItemId, true);
}

// Walking up to a mine with a sweeper: hidden enemy mines around the bot are
// disabled as it goes.
void StepMineSweep(ServerBot& bot, uint64_t time, Real now) {
    if (!bot.MineSweep) return;
    bool done = bot.FireTarget == nullptr;
    if (bot.FireTarget && DistanceSquared(bot.Position, bot.FireTarget->Position) < kMineSweepReachSquared) {
        done = true;
        bot.NextMineSweep = time - 1;
    }
    if (time > bot.NextMineSweep) {
        bot.NextMineSweep = TicksAfter(time, kMineSweepSeconds);
        // Disabling may remove a mine: the snapshot holds every actor until the
        // sweep ends.
        ActorSnapshot snapshot(ActorSnapshot::Hold::References);
        snapshot.ForEach([&](ServerObject* actor) {
            if (actor->AiCore == kAiCoreMine && actor->Team != bot.Team && actor->IsActive() &&
                DistanceSquared(bot.Position, actor->Position) < kMineSweepRadiusSquared)
                actor->Disable();
        });
    }
    if (!done) return;
    bot.MineSweep = 0;
    bot.StopAttacking(now);
    bot.HeadForPoint(bot.Position, now);
    bot.StopMoving(now);
}

void RechargeShield(ServerBot& bot, Real now) {
    if (!bot.Definition || bot.GetShield() >= bot.Definition->shields) return;
    bot.Shield = std::min(bot.Definition->shields, bot.Shield + (now - bot.LastSeconds) * bot.Definition->rechargeRate);
}

// A player's bot walks after a target out of range and attacks again once the
// order comes up.
void FollowOutOfRangeTarget(ServerBot& bot, Real maxRange, Real now) {
    const bool walkDone = bot.Waypoints.IsEmpty() || bot.WaypointCursor == bot.Waypoints.Sentinel();
    if ((!bot.Moving && bot.PathState == PS_NONE && walkDone) || bot.MineSweep) bot.Replan(bot.FireTarget, maxRange);
    auto* order = new UnitOrder;
    order->Type = kOrderAttackTarget;
    order->TargetId = bot.FireTarget->Id;
    order->AttackWord = bot.Lob;
    bot.Orders.PushFront(order);
    ByteWriter message = ActorMessage(kMsgBotAttackOutOfRange, bot.Id);
    message.F32(now);
    message.I32(bot.FireTarget->Id);
    TvBroadcast(message, false);
}

// Ends an attack that cannot go on; answers the projectile the attack fires
// (null without one).
const ObjectDefinition* CheckAttack(ServerBot& bot, Real now) {
    if (!bot.Attacking) return nullptr;
    if (!bot.Weapon) {
        bot.StopAttacking(now);
        return nullptr;
    }
    // A weapon row without a projectile, a projectile without its record, or a
    // level without flares ends the attack.
    const ObjectDefinition* projectile = ShotWithRecord(
        (bot.AiFlags & kAiFlagFlareShot) ? DefinitionRegistry::FindByName("flare") : bot.Weapon->Projectile);
    const ServerObject* target = bot.FireTarget;
    const bool repaired =
        bot.Weapon->WeaponType == kWeaponTypeRepair && target && target->GetHealthFraction() > kRepairedFraction;
    if (repaired || !projectile || !bot.IsAlive() || (target && !target->IsAlive()) || CutsceneActive) {
        bot.StopAttacking(now);
        return nullptr;
    }
    const Real maxRange = projectile->projectile->maxRange;
    if (DistanceSquared(bot.Position, bot.TargetPoint) <= maxRange) return projectile;
    if (!bot.CpuControlled && target && target->GetFloorPolygon() && !bot.IsUnderDirectControl())
        FollowOutOfRangeTarget(bot, maxRange, now);
    bot.StopAttacking(now);
    return nullptr;
}

} // namespace

void ServerBot::Think(uint64_t time, Real seconds) {
    const Real now = seconds;
    if (ConvertEnd != 0 && ConvertEnd < now) {
        EndConversion();
        return;
    }
    StepScanTimer(*this);
    RunQueuedAttackOrder(*this, now);
    StepPresidentFlight(*this, time);
    StepMineSweep(*this, time, now);
    RechargeShield(*this, now);
    if (FireTarget) TargetPoint = FireTarget->GetCentre();
    const ObjectDefinition* projectile = CheckAttack(*this, now);
    const bool aimed = !Attacking || AimAtTarget(time, now);
    ServerUnit::Think(time, now);
    if (MagazineCount == 0) {
        SelectAmmo();
        if (InfiniteAmmo || (Weapon && Weapon->AmmoType == kAmmoTypeNoItem)) MagazineCount = 1;
    }
    const bool ready = Attacking && Weapon && !HoldFire && AimReady && YawAimed && PitchAimed && aimed &&
                       time >= NextShotTime && MagazineCount != 0;
    if (!ready || !projectile) return;
    if (ApplyVulnerabilities(projectile, now)) return;
    FireShot(projectile, time, now);
}
