#pragma once
// The operations that create and remove server actors, for the level load,
// the console, the triggers and the actors themselves. The ones that say so
// take the server lock; the others expect the caller to be on the server
// thread, to hold the lock, or to run before the simulation starts.

#include <cstdint>

#include "core/maths.h"
#include "core/matrix.h"

class ServerObject;
struct ObjectDefinition;

// The server's factory: builds the class the definition's AI core names, with
// the next actor id. Null for a class without a maker and for a definition
// with a projectile record and no character.
ServerObject* TvNewServerActor(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                               const Quaternion& orientation);
// Creates an actor without telling the clients (level load, saved games): the
// cooperative game's lead characters of team 1 go to their players' teams;
// the AI core is installed at time 0 and the actor listed with its team.
// Answers the id, or -1 when no actor was built.
int32_t TvCreateServerActor(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                            const Quaternion& orientation);
// Under the lock: creates an actor during play, announces it with message 100
// and starts it; `trackMember` (-1 none) names an actor whose lift the new
// one joins. Answers the id, or 0 when no actor was built.
int32_t TvSpawnActor(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                     const Quaternion& orientation, int32_t trackMember);
// Gives the actor its definition's default item (with the items issue).
void TvGiveDefaultItem(ServerObject* actor);
// Under the lock: removes the actor with that id and tells the clients; false when there is none.
bool TvKillActor(int32_t id);
// Under the lock: removes every actor of the team; removing the local team
// also sets GameOverFlag.
void TvKillTeam(int32_t team);
