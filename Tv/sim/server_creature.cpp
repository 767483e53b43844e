#include "Tv/sim/server_creature.h"

#include <limits>

#include "Tv/sim/actor_makers.h"

namespace {

constexpr Real kNowhere = std::numeric_limits<Real>::lowest();

} // namespace

ServerBackgroundCreature::ServerBackgroundCreature(int32_t team, const ObjectDefinition* definition,
                                                   const Vector3& position, const Quaternion& orientation, int32_t id)
    : ServerObject(team, definition, position, orientation, kActorFlagsCreature, id) {
    Position = Vector3(kNowhere, kNowhere, kNowhere);
}

void RegisterServerCreatures() {
    SetServerActorMaker(ServerActorClass::BackgroundCreature, &MakeServerActor<ServerBackgroundCreature>);
    SetServerActorMaker(ServerActorClass::FlyingCreature, &MakeServerActor<ServerFlyingCreature>);
}
