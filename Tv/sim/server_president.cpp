#include "Tv/sim/server_president.h"

void RegisterServerPresident() {}
