#include "Tv/sim/turret_ai.h"

void TvTurretAi(ServerObject*, uint64_t) {}
