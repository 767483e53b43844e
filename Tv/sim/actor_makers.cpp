#include "Tv/sim/actor_makers.h"

#include "Tv/sim/server_object.h"

namespace {

ServerActorMaker makers[static_cast<int32_t>(ServerActorClass::Count)] = {};
ServerProjectileMaker projectileMaker = nullptr;

ServerObject* MakeServerObject(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                               const Quaternion& orientation, int32_t id) {
    return new ServerObject(team, definition, position, orientation, kActorFlagsPlain, id);
}

} // namespace

void SetServerActorMaker(ServerActorClass actorClass, ServerActorMaker maker) {
    makers[static_cast<int32_t>(actorClass)] = maker;
}

ServerActorMaker ServerActorMakerOf(ServerActorClass actorClass) { return makers[static_cast<int32_t>(actorClass)]; }

void SetServerProjectileMaker(ServerProjectileMaker maker) { projectileMaker = maker; }

ServerProjectileMaker ServerProjectileMakerOf() { return projectileMaker; }

void RegisterServerObject() { SetServerActorMaker(ServerActorClass::Object, &MakeServerObject); }
