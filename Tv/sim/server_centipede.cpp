#include "Tv/sim/server_centipede.h"

void RegisterServerCentipede() {}
