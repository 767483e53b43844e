#include "Tv/sim/scavenger_ai.h"

void TvScavengerAi(ServerObject*, uint64_t) {}
