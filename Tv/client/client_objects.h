#pragma once
// The client's level-load object factory, as the level build calls it while a
// client is attached: it creates a client object with a new client id and
// returns the id. The client installs its factory while it is attached to a
// game; until then no client is attached and nothing is created.

#include "Tv/defs/objectdefinition.h"

// Returns the factory it replaces (null: none).
ObjectFactory InstallClientObjectFactory(ObjectFactory factory);

// True while a factory is installed.
bool TvIsClientAttached();
// -1 when no client is attached.
int32_t TvCreateClientObject(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                             const Quaternion& orientation);
