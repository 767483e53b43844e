#include "Tv/server/server_actors.h"

#include <utility>

namespace {
ObjectFactory factory = nullptr;
}

ObjectFactory InstallServerActorFactory(ObjectFactory f) { return std::exchange(factory, f); }

int32_t TvCreateServerActor(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                            const Quaternion& orientation) {
    return factory ? factory(team, definition, position, orientation) : -1;
}
