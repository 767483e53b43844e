#include "Tv/sim/server_track_object.h"

void RegisterServerTrackObject() {}
