#include "Tv/sim/combat_ai.h"

// The combat AI's decisions come with the bot; until then an armed actor is listed and called, and stays put.
void TvCombatAi(ServerObject*, uint64_t) {}
