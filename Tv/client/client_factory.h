#pragma once
// The client's object factory: it picks the client class from the
// definition's AI core (the choice the server makes for the actor twin) and
// builds it. TvNewClientObject builds the twin of an actor the server
// announced (message 100), a fragment (107) or a detached part (139) with the
// server's id, and starts it; TvCreateClientObject builds the objects the
// level load and the saved-game loader place on the client's side, with ids
// from ClientObjectIdCounter, unstarted (StartAllClientObjects starts them).
//
// Each class built so far has its row here (a class deriving from one is
// built as that base until it lands); the factory builds a plain ClientObject
// for the rest, so ids stay in step with the server. Tests may install their
// own maker over a row.

#include <cstdint>

#include "Tv/defs/actor_class.h"
#include "Tv/defs/objectdefinition.h"
#include "core/maths.h"
#include "core/matrix.h"

class ClientObject;

using ClientObjectClass = ActorClass;

// The class of a definition, as the server chooses it (ActorClassOf).
inline ClientObjectClass ChooseClientObjectClass(const ObjectDefinition& definition) {
    return ActorClassOf(definition);
}

// Builds and registers an object of a class with the given id.
using ClientObjectMaker = ClientObject* (*)(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                                            const Quaternion& orientation, int32_t id);
// Installs a class's maker (null: back to the factory's own row).
void SetClientObjectMaker(ClientObjectClass objectClass, ClientObjectMaker maker);

// Builds the object for the class the definition chooses, with that id: the
// class's installed maker, else its row, else a plain ClientObject
// (construction flags 0). Null for ClientObjectClass::None.
ClientObject* TvBuildClientObject(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                                  const Quaternion& orientation, int32_t id);

// The twin of a server actor: built with `id`, started at the current
// GameClock time and, with `track` (0 none, else a track object's id + 1),
// attached to that track object and put back at `position`. Answers the id,
// or -1 when no object is made (also when an object of that id lives). The id
// counter is not touched.
int32_t TvNewClientObject(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                          const Quaternion& orientation, int32_t id, int32_t track);

// A client-made object with the next id of ClientObjectIdCounter, not started.
// In the cooperative game a lead character made for team 1 goes to its
// player's team. Answers the id, or -1 when no object is made (the counter is
// then left alone).
int32_t TvCreateClientObject(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                             const Quaternion& orientation);

// Tools and tests that only record what the level load places install a
// recorder here: while one is installed the client counts as attached and
// TvCreateClientObject calls it instead of building. Returns the recorder it
// replaces (null: none).
ObjectFactory InstallClientObjectFactory(ObjectFactory recorder);

// The client link's (for the level build, which asks it before it calls the factory).
bool TvIsClientAttached();
