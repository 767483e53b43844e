#pragma once
// The client's level-load object factory, as the level build calls it. The
// client installs its factory while it is attached to a game; until then no
// client is attached and nothing is created.

#include <cstdint>

#include "core/matrix.h"

struct ObjectDefinition;

// Creates a client object of the definition for the team at the place with a
// new client id; returns the id.
using ClientObjectFactory = int32_t (*)(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                                        const Quaternion& orientation);

// Returns the factory it replaces (null: none).
ClientObjectFactory InstallClientObjectFactory(ClientObjectFactory factory);

// True while a factory is installed.
bool TvIsClientAttached();
// -1 when no client is attached.
int32_t TvCreateClientObject(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                             const Quaternion& orientation);
