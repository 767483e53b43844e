#pragma once
// The server's level-load actor factory, as the level build calls it while
// the server runs (TvIsServerRunning, core/serverthread.h): it creates a
// server actor with its AI core, listed but not announced, and returns its
// id or -1. The server core installs its factory; until then nothing is created.

#include "Tv/defs/objectdefinition.h"

// Returns the factory it replaces (null: none).
ObjectFactory InstallServerActorFactory(ObjectFactory factory);

// -1 without a factory.
int32_t TvCreateServerActor(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                            const Quaternion& orientation);
