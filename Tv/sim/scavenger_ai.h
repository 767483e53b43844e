#pragma once
// The AI core of scavengers.

#include <cstdint>

class ServerObject;

void TvScavengerAi(ServerObject* actor, uint64_t time);
