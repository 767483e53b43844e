#include "Tv/sim/server_tumbleweed.h"

#include "Tv/sim/actor_makers.h"

namespace {

constexpr Real kTumbleweedRaise = 0.2f; // y points down

ServerObject* MakeServerTumbleweed(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                                   const Quaternion& orientation, int32_t id) {
    return new ServerTumbleweed(team, definition, position, orientation, id);
}

} // namespace

ServerTumbleweed::ServerTumbleweed(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                                   const Quaternion& orientation, int32_t id)
    : ServerObject(team, definition, position, orientation, kActorFlagsCreature, id) {
    Position.y -= kTumbleweedRaise;
}

void RegisterServerTumbleweed() { SetServerActorMaker(ServerActorClass::Tumbleweed, &MakeServerTumbleweed); }
