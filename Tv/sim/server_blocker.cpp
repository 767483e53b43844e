#include "Tv/sim/server_blocker.h"

void RegisterServerBlocker() {}
