#include "Tv/sim/server_node.h"

void RegisterServerNode() {}
