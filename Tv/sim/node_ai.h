#pragma once
// The AI cores of nodes and swarms.

#include <cstdint>

class ServerObject;

void TvNodeAi(ServerObject* actor, uint64_t time);
void TvSwarmAi(ServerObject* actor, uint64_t time);
