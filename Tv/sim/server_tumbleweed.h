#pragma once
// ServerTumbleweed: scenery the clients roll about themselves; the server
// keeps only its id, team, definition and model, and gives it no behaviour of
// its own.

#include <cstdint>

#include "Tv/sim/server_object.h"

class ServerTumbleweed : public ServerObject {
public:
    // The ServerObject part with flags 1, then raised 0.2 (it sits above the spot).
    ServerTumbleweed(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                     const Quaternion& orientation, int32_t id);

    bool IsTumbleweed() const override { return true; }
};

// Registers the tumbleweed's maker with the server factory (AI core "tumbleweed").
void RegisterServerTumbleweed();
