#pragma once
// Noises the AI hears: the ones that follow units of player teams, and the
// explosions of shots, mines and swarms. Server thread, or under the server lock.

#include <cstdint>

#include "core/list.h"
#include "core/maths.h"
#include "core/mem.h"

class ServerObject;

constexpr int32_t kUnitNoiseLoudness = 25;

struct NoiseEvent : MemObject {
    Vector3 position{0, 0, 0};
    Vector3 secondPosition{0, 0, 0}; // the position for unit noise; the explosion's second point
    Real extentSquared = 0;          // 0 for unit noise
    int32_t loudness = 0;            // 0 silent; listeners only test it against 0
    uint64_t expiry = 0;             // ServerClock ticks: when an event without a live owner goes
    ServerObject* owner = nullptr;   // one reference held, or null
};

// Owned events, in insertion order.
extern List<NoiseEvent*> NoiseEventList;

// A noise that follows the unit (one reference held on it); the caller sets the unit's AiFlags bit 0x8.
void TvAddNoiseEvent(ServerObject* unit);
// The unit's noise event with its AiFlags bit 0x8, unless it has one already:
// a second event would keep the unit alive after its first one goes.
void TvGiveNoiseEvent(ServerObject* unit);
// Drops the actor's event, if it has one, and clears its AiFlags bit 0x8.
void TvRemoveNoiseEventOf(ServerObject* actor);
// An ownerless noise at p (q its second point) until `expiry`; it wakes every
// live bot or scavenger of team 2 that is not firing and hears it (hearing
// range squared at least the squared distance to p minus extent squared): it
// thinks on its next AI call.
void TvAddExplosionNoise(int32_t loudness, const Vector3& p, const Vector3& q, uint64_t expiry, Real extent);
// Drops every event (level load and teardown).
void TvClearNoiseEvents();
// Every tenth AI step: owned events follow their live owners (loud while they
// move, silent while they stand); the others go once `time` is past their expiry.
void TvRefreshNoiseEvents(uint64_t time);
