#include "Tv/sim/track_members.h"

#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_track_object.h"

int32_t TvTrackOfRider(int32_t actorId) {
    for (const ServerTrackObject* lift : TrackObjectList)
        if (lift->HasRider(actorId)) return lift->Id + 1;
    return 0;
}
