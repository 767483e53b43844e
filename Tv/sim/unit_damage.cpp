// How actors lose and regain strength, and how a unit dies or is knocked out.
#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/senders.h"
#include "Tv/server/server.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/cheat_switches.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/unit_deaths.h"
#include "Tv/sim/unit_item_steps.h"
#include "chunkfile/nametext.h"
#include "core/clock.h"
#include "core/random.h"

namespace {

// Killing a unit of one of these roles scores for the killer's team in leader-kills play.
constexpr std::array<std::string_view, 5> kLeaderNames{"dodo", "tavrin", "drevanis", "doriz", "zudad"};

bool IsLeader(const ObjectDefinition* definition) {
    const char* name = definition ? definition->name.Get() : nullptr;
    return name && std::any_of(kLeaderNames.begin(), kLeaderNames.end(),
                               [name](std::string_view leader) { return EqualsIgnoringCase(name, leader); });
}

// The client throws off one body part of the dying unit as a new object.
void BroadcastSeveredPart(const ServerUnit& unit) {
    const auto points = static_cast<uint32_t>(unit.Definition->severPoints.size());
    ByteWriter message = ActorMessage(kMsgUnitSevered, unit.Id);
    message.I32(TvNextActorId());
    message.I32(static_cast<int32_t>(RandomGenerator::ForCallingThread().Draw() / 2 % points));
    TvBroadcast(message, false);
}

} // namespace

bool ServerObject::TakeDamage(Real amount, bool protectedHit, int32_t) {
    const CharacterRecord* character = Definition ? Definition->character.get() : nullptr;
    if (amount < 0) {
        if (!character) return false;
        Strength = std::min(Strength - amount, character->strength);
        return true;
    }
    if (protectedHit) {
        const Real armour = GetArmour();
        if (amount <= armour) return false;
        amount -= armour;
    }
    const bool changed = amount > 0;
    if (changed) Strength -= amount;
    if (Strength <= 0) {
        Strength = 0;
        if (Definition && Definition->destruction) Explode();
    }
    return changed;
}

bool ServerUnit::TakeDamage(Real amount, bool protectedHit, int32_t attackerTeam) {
    if (GodMode && TeamTable::IsPlayerTeam(Team)) return false;
    if (amount == 0 || std::isnan(amount)) return false;
    const bool repair = amount < 0;
    Real left = std::fabs(amount);
    if (!repair && protectedHit) {
        const Real shield = GetShield();
        if (shield > 0) {
            DrainShieldItems(std::min(left, shield));
            left = left <= shield ? 0 : left - shield;
        }
        if (left > 0) {
            DrainArmourItems(1.0f);
            const Real armour = GetArmour();
            left = left > armour ? left - armour : 0;
        }
    }
    const bool wasAlive = Strength > 0;
    const bool changed = left > 0;
    if (changed) Strength += repair ? left : -left;
    if (Strength <= 0) {
        Strength = 0;
        if (!wasAlive) return changed; // a unit dies once
        if (Definition && !Definition->severPoints.empty()) BroadcastSeveredPart(*this);
        if (CurrentGameType == kGameLeadKills && attackerTeam != -1 && attackerTeam != Team && IsLeader(Definition)) {
            TvBroadcast(TeamScoresMessage(attackerTeam), true);
        }
        Moving = 0;
        Die();
    } else if (Character) {
        Strength = std::min(Strength, Character->strength);
    }
    return changed;
}

Relaxed<int32_t> UnitDeathCount{0};

void ServerUnit::Die() {
    UnitDeathCount = UnitDeathCount + 1;
    const bool explodes = Definition && Definition->destruction;
    ByteWriter message = ActorMessage(explodes ? kMsgUnitDestroyed : kMsgUnitDied, Id);
    UnitMotionState state;
    GetMotionState(state);
    state.Write(message);
    TvBroadcast(message, !explodes);
    BroadcastSeconds = StateSeconds;
    Concealed = 0;
    if (CarriedFlag) DropFlag();
    OnDeath();
    if (explodes) Explode();
}

void ServerUnit::OnDeath() {
    Concealed = 0;
    // Once: a unit that died is removed later, and what it kept is not dealt out again.
    if (Inventory && TvIsSimulationRunning() && !(AiFlags & kAiFlagDeadForAi)) LeaveItemsAtDeath(*this);
    if (YieldTo) YieldTo->Release();
    YieldTo = nullptr;
    ServerObject::OnDeath();
}

void ServerUnit::Disable() {
    Concealed = 0;
    AiTickCallback = nullptr;
    const Real now = GameClock.GetSeconds();
    StopMoving(now);
    if (IsFiring()) StopAttacking(now);
    TvBroadcast(ActorMessage(kMsgUnitDisabled, Id), false);
    Disabled = 1;
}
