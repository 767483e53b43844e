#include "Tv/sim/server_minebot.h"

#include <algorithm>

#include "Tv/client/teamtable.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/ai_stun_gate.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/unit_burst.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "core/vector_bytes.h"

namespace {

constexpr int32_t kAiActivityIdle = 3;
constexpr Real kBurstReachSquared = 2.25f;  // 1.5 m
constexpr Real kChaseMessageValue = 20.0f;

// Calls on every live team-mate within the radius: an idle bot (activity
// neither 0 nor 1, no alarm) goes to look at the minebot's investigate point,
// a minebot not chasing yet goes after the same quarry.
void Recruit(ServerUnit& minebot, Real radiusSquared, Real seconds) {
    const List<ServerObject*>* mates = TeamActorListOf(minebot.Team);
    if (!mates) return;
    for (ServerObject* mate : *mates) {
        if (mate == &minebot || !mate->IsAlive() || DistanceSquared(mate->Position, minebot.Position) >= radiusSquared)
            continue;
        if (mate->AiCore == kAiCoreBot && mate->AiActivity != 0 && mate->AiActivity != 1 && mate->AlarmState == 0) {
            mate->AiActivity = 0;
            mate->InvestigatePoint = minebot.InvestigatePoint;
            mate->AiFlags &= ~kAiFlagFlareShot;
        } else if (mate->AiCore == kAiCoreMinebot && mate->AiActivity != kAiActivityChasing && minebot.AiTarget) {
            TvMinebotChase(mate, minebot.AiTarget, seconds);
        }
    }
}

// The nearest live actor of a team other than the minebot's own and
// `alsoSkipped` (-1: none), strictly within that squared distance; null when there is none.
ServerObject* NearestOtherTeamActor(const ServerUnit& minebot, Real rangeSquared, int32_t alsoSkipped) {
    ServerObject* nearest = nullptr;
    Real best = rangeSquared;
    for (int32_t team = 0; team < static_cast<int32_t>(TeamCount); ++team) {
        const List<ServerObject*>* actors = TeamActorListOf(team);
        if (team == minebot.Team || team == alsoSkipped || !actors) continue;
        for (ServerObject* actor : *actors) {
            const Real d = DistanceSquared(actor->Position, minebot.Position);
            if (actor->IsAlive() && d < best) {
                nearest = actor;
                best = d;
            }
        }
    }
    return nearest;
}

void Chase(ServerUnit& minebot, uint64_t time, Real seconds) {
    if (time > minebot.AiTimer) minebot.AiTimer = TicksAfter(time, 1.0f);
    const Real secondsLeft = static_cast<Real>(minebot.AiTimer - time) * CurrentSecondsPerTick();
    Recruit(minebot, minebot.AlertRadius * minebot.AlertRadius * secondsLeft, seconds);
    if (NearestOtherTeamActor(minebot, kBurstReachSquared, -1)) {
        TvUnitBurst(minebot, time);
        return;
    }
    ServerObject* quarry = minebot.AiTarget;
    if (quarry && quarry->IsAlive()) {
        minebot.WalkTo(quarry->Position, false);
        return;
    }
    minebot.StopMoving(seconds);
    minebot.AiActivity = kAiActivityIdle;
    minebot.SetAiTarget(nullptr);
}

void Listen(ServerUnit& minebot, Real seconds) {
    const Real hearing = minebot.Character ? minebot.Character->hearingRangeSquared : 0;
    if (ServerObject* heard = NearestOtherTeamActor(minebot, hearing, 0)) {
        TvMinebotChase(&minebot, heard, seconds);
        return;
    }
    minebot.SetAiTarget(nullptr);
    minebot.StopMoving(seconds);
}

} // namespace

void TvMinebotAi(ServerObject* actor, uint64_t time) {
    if (!actor->IsUnit() || time <= actor->AiWakeTime) return;
    auto& minebot = static_cast<ServerUnit&>(*actor);
    const Real seconds = static_cast<Real>(time) * CurrentSecondsPerTick();
    if (!AiPassesStunAndConversion(minebot, seconds)) return;
    if (minebot.Disabled) {
        minebot.SetAiTarget(nullptr);
        minebot.StopMoving(seconds);
        return;
    }
    minebot.AiWakeTime = TicksAfter(time, 1.0f);
    if (minebot.AiActivity == kAiActivityChasing)
        Chase(minebot, time, seconds);
    else
        Listen(minebot, seconds);
}

void TvMinebotChase(ServerObject* actor, ServerObject* target, Real seconds) {
    if (!actor->IsUnit()) return;
    auto& minebot = static_cast<ServerUnit&>(*actor);
    minebot.AiActivity = kAiActivityChasing;
    ByteWriter message;
    message.I32(kMsgMinebotChase);
    WriteVector3(message, minebot.Position);
    message.F32(kChaseMessageValue);
    message.U32(kMinebotChaseWord);
    TvBroadcast(message, false);
    minebot.HeadFor(target->GetFloorPolygon(), seconds);
    minebot.SetAiTarget(target);
    const double ticks = (static_cast<double>(seconds) + 1.0) * static_cast<double>(CurrentTicksPerSecondFloat());
    minebot.AiTimer = static_cast<uint64_t>(std::max<int64_t>(0, FloorToInt64(ticks)));
}
