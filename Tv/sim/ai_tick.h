#pragma once
// The AI step of the simulation: every actor carries an AI core (the
// definition's `aiCore`, 0 to 20) and, by its core, a callback that runs once
// per server pass before the world step. Server thread, or another thread
// holding the server lock.

#include <cstdint>

class ServerObject;

using AiCallback = void (*)(ServerObject* actor, uint64_t time);

// Calls of TvAiTick since program start; never reset, so it runs on across levels.
extern uint32_t AiTickCount;

// Installs a core from `time` (ServerClock ticks): wake time, idle activity,
// aggression from the character (0.7 without one), the AI state cleared, and
// the core's callbacks and InTeamList by its row of the core table. The
// caller lists the actor with its team when InTeamList is set.
void TvSetAiCore(ServerObject* actor, int32_t core, uint64_t time);

// One AI step at the pass's server time: the always-computer-driven members
// of player teams, then the actors of every AiTeamList team that are alive;
// every tenth call refreshes the noise events. Callbacks may create, remove,
// convert or delete actors.
void TvAiTick(uint64_t time);

// The core of "waiting" actors and the other quiet cores: does nothing.
void TvIdleAi(ServerObject* actor, uint64_t time);
// The "pathfinder" core: a unit's waypoint advance, nothing else.
void TvPathfinderAi(ServerObject* actor, uint64_t time);

// Level teardown: empties the level trigger list.
void TvClearLevelTriggers();
