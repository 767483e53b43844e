#include "Tv/client/client_objects.h"

#include <utility>

namespace {
ObjectFactory factory = nullptr;
}

ObjectFactory InstallClientObjectFactory(ObjectFactory f) { return std::exchange(factory, f); }

bool TvIsClientAttached() { return factory != nullptr; }

int32_t TvCreateClientObject(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                             const Quaternion& orientation) {
    return factory ? factory(team, definition, position, orientation) : -1;
}
