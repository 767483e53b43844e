#pragma once
// Which track object (lift) carries an actor. Until track objects are built
// no actor rides one.

#include <cstdint>

// The id + 1 of the track object whose member list holds the actor, 0 when none does.
int32_t TvFindTrackOfMember(int32_t actorId);
