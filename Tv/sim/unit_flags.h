#pragma once
// Capture the flag (game type 5) on the server: the server's periodic check
// that lets units take and return flags, the carrier's own capture check, and
// the flag drop of a team the server removes. The unit's four flag operations
// (TakeFlag, DropFlag, ReturnFlag, CaptureFlag) are ServerUnit's. Server
// thread, or under the server lock.

#include <cstdint>

class ServerObject;
class ServerUnit;

constexpr int32_t kMsgFlagTaken = 90;    // 12: unit id, team of the flag
constexpr int32_t kMsgFlagDropped = 91;  // 12: unit id, team of the flag
constexpr int32_t kMsgFlagReturned = 92; // 12: unit id, the unit's own team
constexpr int32_t kMsgFlagCaptured = 93; // 12: unit id, team of the flag

// Flags are taken, returned and captured strictly inside this squared distance.
constexpr float kFlagReachSquared = 6.0f;

// Every present flag that nobody carries, against every live unit of every
// team list that is not under conversion and stands within reach of the flag:
// a unit of another team that carries no flag yet takes it; a unit of the
// flag's team returns it when it is not at home. A flag taken in this pass is
// left alone by the units after its taker.
void TvCaptureTheFlagCheck();

// A unit of a player team that carries a flag scores when it stands within
// reach of its team's capture point while its own flag is at home.
void TvCheckCapture(ServerUnit* unit);

// The removal of a whole team: a unit that carries a flag drops it first.
void TvDropCarriedFlag(ServerObject* actor);

// Installs the check and the drop in the server's hooks, keeping the others.
// At start-up, after the hooks are reset.
void RegisterCaptureTheFlagHooks();
