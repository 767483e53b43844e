#include "Tv/sim/node_ai.h"

void TvNodeAi(ServerObject*, uint64_t) {}
void TvSwarmAi(ServerObject*, uint64_t) {}
