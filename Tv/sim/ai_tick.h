#pragma once
// The AI step of the simulation. Until the AI cores are built an actor only
// keeps the core it was given, and the AI step does nothing.

#include <cstdint>

class ServerObject;

// Installs an AI core (0 to 20) on the actor from `time` (ServerClock ticks).
void TvSetAiCore(ServerObject* actor, int32_t core, uint64_t time);
// One AI step of every AI-enabled actor of the active teams (ServerClock ticks).
void TvAiTick(uint64_t time);
