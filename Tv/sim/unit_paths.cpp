#include "Tv/sim/server_unit.h"

// STUB: path states and planning are being written.

void ServerUnit::SetPathState(::PathState state) { PathState = state; }
void ServerUnit::PlanClearPath() {}
void ServerUnit::PlanFullPath() {}
void ServerUnit::PlanPartialPath() {}
void ServerUnit::Replan(ServerObject*, Real) {}
void ServerUnit::PrependPathTo(const Vector3&, Real) {}
