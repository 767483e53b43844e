#pragma once
// Centipedes: a head (ServerCentipede, AI core "centipede") that walks and
// fights like any bot and drags a chain of body segments (ServerCentibody,
// AI core "centibody") after it, each a full bot with its own weapon, shield
// and health. The head's start spawns five segments behind it; the chain
// breaks before the first segment that dies, and a head left without
// segments explodes at its next pass. Server thread, or under the server lock.

#include <cstdint>

#include "Tv/sim/server_bot.h"

constexpr int32_t kCentipedeRecordSize = 784;
constexpr int32_t kCentipedeSegments = 5;
constexpr int32_t kMsgSegmentLinked = 138; // 12: element id, new segment id (guaranteed)

class ServerCentibody : public ServerBot {
public:
    using ServerBot::ServerBot;
    // Releases NextSegment, then the bot.
    ~ServerCentibody() override;

    // ---- Overrides, in the table's order ----
    int32_t GetSize() const override { return kCentipedeRecordSize; }
    bool IsCentibody() const override { return true; }
    // Every live segment behind it explodes, then the unit's own death.
    void Die() override;
    // Nothing: the head drives its segments.
    void Think(uint64_t, Real) override {}

    // Moves `step` toward the point unless within sqrt(0.8) of it, turns to
    // face it (pitch on heading), then takes the bot's step.
    void Follow(const Vector3& point, Real step, uint64_t time, Real seconds);

    ServerCentibody* NextSegment = nullptr; // one reference held; null at the tail
    int32_t SavedNextSegmentId = 0;         // a loaded segment's (id + 1, 0 none) until the fix-up
};

class ServerCentipede : public ServerCentibody {
public:
    using ServerCentibody::ServerCentibody;

    bool IsCentipede() const override { return true; }
    // Spawns the body 1 to 5 m behind the head (message 138 for each link), then the bot's start.
    void Start(uint64_t time, Real seconds) override;
    // The bot's step, then the body follows as far as the head moved; the
    // chain is cut before its first dead segment. Without segments it explodes.
    void Think(uint64_t time, Real seconds) override;

private:
    // Up to five segments of the "centibody" definition (none when it is
    // missing or of another core), each linked behind the last.
    void SpawnBody();
};

// Registers the head's and the segment's makers with the server factory.
void RegisterServerCentipede();
