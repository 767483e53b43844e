#pragma once
// A small unit that bursts (a swarm, a minebot): the announcement, the noise,
// four fragments and its limit as blast damage to every live actor near it,
// itself included. Whether it survives is up to that damage. Server thread,
// or under the server lock.

#include <cstdint>

class ServerObject;

// The burst at the unit's position at `time` (ServerClock ticks): message
// 104, an explosion noise, four "frag_projectile" fragments (none without
// that definition), and the definition's limit to every live actor within 4 m.
void TvUnitBurst(ServerObject& unit, uint64_t time);
