#include "Tv/sim/actor_damage.h"

#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/damage_rules.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/server_object.h"

Real TvDamageFor(const ServerObject& target, Real damage, int32_t damageKind) {
    const ObjectDefinition* definition = target.Definition;
    return TvScaleDamage(TeamTable::IsPlayerTeam(target.Team), damage, definition ? definition->resistance : 0,
                         definition ? definition->resistanceFactor : 0.0f, damageKind);
}

void TvBroadcastDamageReport(int32_t type, const ServerObject& actor, bool guaranteed) {
    ByteWriter message = ActorMessage(type, actor.Id);
    message.F32(actor.Strength);
    message.F32(actor.GetShield());
    message.F32(actor.GetArmour());
    TvBroadcast(message, guaranteed);
}
