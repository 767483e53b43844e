#pragma once
// The class of object a definition makes, on the server (the actor) and on
// the client (its twin) alike: by AI core, else by character, else a plain
// object. Both factories choose with ActorClassOf, so the two sides build the
// same kind of object for every placement and their ids stay in step.

#include <cstdint>

struct ObjectDefinition;

enum class ActorClass : int32_t {
    None, // no object: a projectile definition without a character
    Object,
    Unit,
    Bot,
    Blocker,
    TrackObject,
    Tumbleweed,
    Pickup,
    BackgroundCreature,
    FlyingCreature,
    Centipede,
    Centibody,
    Node,
    Popup,
    President,
    Turret,
    Count
};

// A core without a class of its own goes by the character ("weapon" 33,
// unarmed: a unit; any other: a bot); a definition without one is a plain
// object, or nothing when it is a projectile's.
ActorClass ActorClassOf(const ObjectDefinition& definition);
