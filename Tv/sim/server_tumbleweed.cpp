#include "Tv/sim/server_tumbleweed.h"

#include "Tv/sim/actor_makers.h"

namespace {

constexpr Real kTumbleweedRaise = 0.2f; // y points down

} // namespace

ServerTumbleweed::ServerTumbleweed(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                                   const Quaternion& orientation, int32_t id)
    : ServerObject(team, definition, position, orientation, kActorFlagsCreature, id) {
    Position.y -= kTumbleweedRaise;
}

void RegisterServerTumbleweed() {
    SetServerActorMaker(ServerActorClass::Tumbleweed, &MakeServerActor<ServerTumbleweed>);
}
