#pragma once
// Every way the server sends a message to the clients. In single player each
// sender appends the message to ServerToClientQueue and answers true; in
// multiplayer they send through the session's DirectPlay object from the
// server player and answer false when DirectPlay reports an error (passed to
// AwReportError). They run on the server thread, or on the main thread while
// it holds the server lock. An installed message recorder gets each message
// once, at the sender the caller chose.

#include <cstdint>

#include "core/bytes.h"
#include "core/maths.h"
#include "platform/dplay/dplay_types.h"

// A message with no place in the world: never culled.
inline constexpr Vector3 kNoPosition{0.0f, 0.0f, 0.0f};

// To every session player, culled by distance from `position` (unless it is
// kNoPosition, or for the last player) and throttled by each player's send
// queue (guaranteed messages always go). Answers true.
bool TvBroadcast(const void* message, uint32_t size, bool guaranteed, const Vector3& position = kNoPosition);
inline bool TvBroadcast(const ByteWriter& m, bool guaranteed, const Vector3& position = kNoPosition) {
    return TvBroadcast(m.bytes().data(), static_cast<uint32_t>(m.size()), guaranteed, position);
}
// A message that is only its type, broadcast with no position.
bool TvBroadcastType(int32_t type, bool guaranteed);
// To a player or group id (kDpIdAllPlayers: everybody) with a plain send: no
// culling, no throttling.
bool TvSendToId(plat::DpId to, const void* message, uint32_t size, bool guaranteed);
inline bool TvSendToId(plat::DpId to, const ByteWriter& m, bool guaranteed) {
    return TvSendToId(to, m.bytes().data(), static_cast<uint32_t>(m.size()), guaranteed);
}
// To all players at once: no culling, no throttling.
bool TvSendToAll(const void* message, uint32_t size, bool guaranteed);
inline bool TvSendToAll(const ByteWriter& m, bool guaranteed) {
    return TvSendToAll(m.bytes().data(), static_cast<uint32_t>(m.size()), guaranteed);
}
// To the player of ServerPlayerList at `index`, throttled on that player's
// count; multiplayer only. An index outside the list sends nothing and answers false.
bool TvSendToPlayer(int32_t index, const void* message, uint32_t size, bool guaranteed);
// To a player id, throttled on a fresh count of that player's queue.
bool TvSendToPlayerId(plat::DpId id, const void* message, uint32_t size, bool guaranteed);
// To the session player at `index`, not throttled; false outside the player list.
bool TvSendToSessionPlayer(int32_t index, const void* message, uint32_t size, bool guaranteed);
// To the player who plays `team` (nothing when nobody does); in single player a broadcast.
bool TvSendToTeamPlayer(int32_t team, const void* message, uint32_t size, bool guaranteed);
// Message 3 to the player whose team the actor is on. False without sending
// when ServerPlayerList is empty or the actor does not exist.
bool TvSendToOwner(int32_t actorId);
// Message 160 (a string-table notice) and 161 (an interface sound cue) to a team's player, not guaranteed.
bool TvSendPlayerNotice(int32_t team, int16_t stringId);
bool TvSendPlayerSound(int32_t team, uint8_t cue);

// The same, for a message built with a ByteWriter.
inline bool TvSendToPlayer(int32_t index, const ByteWriter& m, bool guaranteed) {
    return TvSendToPlayer(index, m.bytes().data(), static_cast<uint32_t>(m.size()), guaranteed);
}
inline bool TvSendToPlayerId(plat::DpId id, const ByteWriter& m, bool guaranteed) {
    return TvSendToPlayerId(id, m.bytes().data(), static_cast<uint32_t>(m.size()), guaranteed);
}
inline bool TvSendToSessionPlayer(int32_t index, const ByteWriter& m, bool guaranteed) {
    return TvSendToSessionPlayer(index, m.bytes().data(), static_cast<uint32_t>(m.size()), guaranteed);
}
inline bool TvSendToTeamPlayer(int32_t team, const ByteWriter& m, bool guaranteed) {
    return TvSendToTeamPlayer(team, m.bytes().data(), static_cast<uint32_t>(m.size()), guaranteed);
}

// Refreshes every session player's queue count from DirectPlay (the server thread, each pass).
void TvRefreshPlayerQueueCounts();
