#pragma once
// What the match rules leave of a hit on an actor, and the report that tells
// the clients what is left of the actor. Shots, blasts and mines use both.

#include <cstdint>

#include "core/maths.h"

class ServerObject;

// The damage after TvScaleDamage for the target's side and its definition's resistance.
Real TvDamageFor(const ServerObject& target, Real damage, int32_t damageKind);
// Message `type` (55; 56 for a nanofrag blast), 20 bytes: the actor's id,
// Strength, GetShield and GetArmour.
void TvBroadcastDamageReport(int32_t type, const ServerObject& actor, bool guaranteed);
