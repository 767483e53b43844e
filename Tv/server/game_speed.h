#pragma once
// The game speed: the ServerClock's speed. In multiplayer a slow-down (or a
// pause, speed 0) waits until every player has acknowledged it, so no client
// runs ahead of the server; a speed-up applies at once.

#include <cstdint>

// ServerClock time in ticks.
uint64_t TvGetServerTime();
// The pending speed while a slow-down waits, else the ServerClock's.
float TvGetGameSpeed();
// Under the lock. Single player: both clocks take the speed. Multiplayer: a
// speed not below the current one cancels a pending slow-down and applies
// (message 137); a lower one becomes pending with the next sequence number (message 136).
void TvSetGameSpeed(float speed);
