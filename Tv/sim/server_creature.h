#pragma once
// Background creatures: scenery animals that the clients move about within
// their own bounds (the ambient "fly" and "bug" creatures pickups wake are of
// this kind). The server keeps only their id, team, definition and model;
// it places them at the most negative float on every axis, so no
// distance-based search on the server ever finds them.

#include <cstdint>

#include "Tv/sim/server_object.h"

class ServerBackgroundCreature : public ServerObject {
public:
    // The ServerObject part with flags 1, then moved out of everybody's reach.
    ServerBackgroundCreature(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                             const Quaternion& orientation, int32_t id);

    bool IsBackgroundCreature() const override { return true; }
};

class ServerFlyingCreature : public ServerBackgroundCreature {
public:
    using ServerBackgroundCreature::ServerBackgroundCreature;

    bool IsFlyingCreature() const override { return true; }
};

// Registers the makers of both classes with the server factory (AI cores
// "background creature" and "flying background creature").
void RegisterServerCreatures();
