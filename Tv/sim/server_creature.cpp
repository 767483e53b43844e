#include "Tv/sim/server_creature.h"

#include <limits>

#include "Tv/sim/actor_makers.h"

namespace {

constexpr Real kNowhere = std::numeric_limits<Real>::lowest();

template <class Creature>
ServerObject* MakeCreature(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                           const Quaternion& orientation, int32_t id) {
    return new Creature(team, definition, position, orientation, id);
}

} // namespace

ServerBackgroundCreature::ServerBackgroundCreature(int32_t team, const ObjectDefinition* definition,
                                                   const Vector3& position, const Quaternion& orientation, int32_t id)
    : ServerObject(team, definition, position, orientation, kActorFlagsCreature, id) {
    Position = Vector3(kNowhere, kNowhere, kNowhere);
}

void RegisterServerCreatures() {
    SetServerActorMaker(ServerActorClass::BackgroundCreature, &MakeCreature<ServerBackgroundCreature>);
    SetServerActorMaker(ServerActorClass::FlyingCreature, &MakeCreature<ServerFlyingCreature>);
}
