#pragma once
// The minebot: a unit of the AI core "minebot" that chases the nearest enemy
// it hears, calls its team-mates in, and bursts beside its quarry. Server
// thread, or under the server lock.

#include <cstdint>

#include "core/maths.h"

class ServerObject;

constexpr int32_t kMsgMinebotBurst = 104; // 16: point
constexpr int32_t kMsgMinebotChase = 182; // 24: point, 20.0, kMinebotChaseWord
constexpr uint32_t kMinebotChaseWord = 0x00030001;
constexpr int32_t kAiActivityChasing = 7;

// The minebot core's AI callback, once a second (nothing while stunned; a
// finished stun or conversion ends first, the conversion ending the call).
// A disabled minebot stands and forgets its quarry. A chasing one recruits
// its team's idle bots and minebots around it (a radius that shrinks over
// each second), bursts when an actor of another team stands within 1.5 m
// (104, noise, four fragments, the definition's limit as damage to every live
// actor within 4 m, itself included), else walks at its quarry, giving up
// once the quarry is dead. One that is not chasing goes after the nearest
// live actor of another team but 0 within its hearing range.
void TvMinebotAi(ServerObject* minebot, uint64_t time);
// Starts a chase at `seconds`: activity 7, message 182, a path toward the
// target's floor, the target held as AiTarget, the recruiting second from now.
void TvMinebotChase(ServerObject* minebot, ServerObject* target, Real seconds);
