#include "Tv/sim/unit_burst.h"

#include "Tv/defs/objectdefinition.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/fragment_burst.h"
#include "Tv/sim/noise_events.h"
#include "Tv/sim/server_mine.h"
#include "Tv/sim/server_minebot.h"
#include "Tv/sim/server_object.h"
#include "core/vector_bytes.h"

namespace {

constexpr Real kBurstRadiusSquared = 16.0f; // 4 m
constexpr int32_t kBurstFragments = 4;
constexpr int32_t kBurstLoudness = 20;

} // namespace

void TvUnitBurst(ServerObject& unit, uint64_t time) {
    const Vector3 centre = unit.Position;
    ByteWriter message;
    message.I32(kMsgMinebotBurst);
    WriteVector3(message, centre);
    TvBroadcast(message, false);
    TvAddExplosionNoise(kBurstLoudness, centre, centre, time, 0);
    TvFireFragments(centre, kBurstFragments);
    const Real damage = unit.Definition ? static_cast<Real>(unit.Definition->limit) : 0;
    const int32_t team = unit.Team;
    ActorSnapshot snapshot(ActorSnapshot::Hold::References);
    snapshot.ForEach([&](ServerObject* victim) {
        if (victim->IsAlive() && DistanceSquared(victim->Position, centre) < kBurstRadiusSquared)
            TvMineBlastHit(*victim, damage, team);
    });
}
