#pragma once
// The world step of the simulation, once per server pass after the AI step:
// path admissions, path conflicts, then the step and think of every actor of
// the pass's snapshot, and the nanofrag bursts. Actors may be created,
// removed and deleted inside it; those created are first stepped next pass.

#include <cstdint>

#include "core/maths.h"

class ServerUnit;

// One world step at the pass's ServerClock time (ticks and seconds).
void TvWorldTick(uint64_t time, Real seconds);

// True when no enemy unit sees the unit (its stealth test).
bool TvIsHiddenFromEnemies(const ServerUnit* unit);

// Per pass, before the actors think: team engagement and the conflicts
// between walking units that want the same polygons.
void TvResolvePathConflicts(uint64_t time, Real seconds);

// Instead of the AI step while a cutscene runs: units at rest under direct
// control stop (player teams) or halt (others), attacks end, crouched player
// units stand up.
void TvCutsceneFreeze();
