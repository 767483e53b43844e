#include "Tv/sim/server_unit.h"

// The capture-the-flag rules are not built yet: the flag stays where it is.

void ServerUnit::TakeFlag(int32_t) {}
void ServerUnit::DropFlag() {}
void ServerUnit::ReturnFlag() {}
void ServerUnit::CaptureFlag() {}
