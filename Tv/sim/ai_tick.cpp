#include "Tv/sim/ai_tick.h"

#include "Tv/sim/server_object.h"

void TvSetAiCore(ServerObject* actor, int32_t core, uint64_t) { actor->AiCore = core; }

void TvAiTick(uint64_t) {}
