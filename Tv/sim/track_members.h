#pragma once
// Which lift carries an actor: the lifts are the track objects of
// TrackObjectList, and a lift's riders are the actors it carries in its
// current run (it lets them go at the end of every run). Riders are matched
// by id, so an actor that has just left the registry (one spawning its heap
// as it dies) is still found. Server thread or under the server lock.

#include <cstdint>

// The track number of the lift whose current run carries the actor with
// that id: the lift's id + 1, or 0. The track field of message 100.
int32_t TvTrackOfRider(int32_t actorId);
// The same question by the name the scripts ask it with (a lift's members are its riders).
inline int32_t TvFindTrackOfMember(int32_t actorId) { return TvTrackOfRider(actorId); }
