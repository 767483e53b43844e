#pragma once
// How the server builds each class of actor. The server's factory picks a
// class from the definition's AI core; the issue that brings a class
// registers its maker with Register...() at start-up, and a class without a
// maker gives no actor. The plain ServerObject's maker is here.

#include <cstdint>

#include "Tv/defs/actor_class.h"

#include "core/maths.h"
#include "core/matrix.h"

class ServerObject;
struct ObjectDefinition;

using ServerActorClass = ActorClass;

// Builds and registers an actor with the given id; null when it cannot.
using ServerActorMaker = ServerObject* (*)(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                                           const Quaternion& orientation, int32_t id);
void SetServerActorMaker(ServerActorClass actorClass, ServerActorMaker maker);
// The class's maker, or null.
ServerActorMaker ServerActorMakerOf(ServerActorClass actorClass);
// The maker of a class built from (team, definition, position, orientation, id).
template <class Actor>
ServerObject* MakeServerActor(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                              const Quaternion& orientation, int32_t id) {
    return new Actor(team, definition, position, orientation, id);
}

// What a projectile is built with.
struct ProjectileLaunch {
    int32_t team;
    const ObjectDefinition* definition;
    Vector3 from;
    Quaternion orientation;
    float speed;
    int32_t shooterId;
    int32_t targetId; // -1 none
    int32_t kind;     // damage kind; 15 the lead character's special shot
    int32_t id;
    float damageMultiplier; // 1.0, or the shooter character's for kind 15
};
using ServerProjectileMaker = ServerObject* (*)(const ProjectileLaunch& launch);
void SetServerProjectileMaker(ServerProjectileMaker maker);
ServerProjectileMaker ServerProjectileMakerOf();

// Registers the plain ServerObject (definitions of no other class without a projectile record).
void RegisterServerObject();
