#pragma once
// The stun and conversion tests that open an AI core's pass.

#include "core/maths.h"

class ServerObject;

// False while the actor is stunned (at `now`, seconds); otherwise ends a
// finished stun, and a conversion whose end has passed (false then too).
bool AiPassesStunAndConversion(ServerObject& actor, Real now);
