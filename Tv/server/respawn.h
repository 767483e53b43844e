#pragma once
// Respawning a character in the multiplayer game types (the respawn trigger
// calls it when a character's respawn delay has passed).

#include <cstdint>

#include "core/list.h"
#include "core/maths.h"
#include "core/matrix.h"

// The ids of respawned actors, in respawn order (read by the console).
extern List<int32_t> RespawnIdList;

// Spawns the definition of that name for `team` while the server runs and
// lists its id, then runs "CTFRespawn.tcs" in capture the flag, else
// "RTPRespawn.tcs", on every machine. A name no definition bears prints
// string 11021 and runs no script.
void TvRespawnCharacter(const char* name, int32_t team, const Vector3& position, const Quaternion& orientation);
