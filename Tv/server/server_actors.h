#pragma once
// The server's level-load actor factory, as the level build calls it while
// the server runs (TvIsServerRunning, core/serverthread.h). The server core
// installs its factory; until then nothing is created.

#include <cstdint>

#include "core/matrix.h"

struct ObjectDefinition;

// Creates a server actor of the definition for the team at the place, with
// its AI core, listed but not announced; returns its id or -1.
using ServerActorFactory = int32_t (*)(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                                       const Quaternion& orientation);

// Returns the factory it replaces (null: none).
ServerActorFactory InstallServerActorFactory(ServerActorFactory factory);

// -1 without a factory.
int32_t TvCreateServerActor(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                            const Quaternion& orientation);
