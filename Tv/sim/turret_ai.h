#pragma once
// The AI core a raised turret runs.

#include <cstdint>

class ServerObject;

void TvTurretAi(ServerObject* actor, uint64_t time);
