#pragma once
// The match fields of the user settings, which the server and the actors
// read (the engine keeps the device fields in UserSettings): set by the
// options menu and by the lobby and settings messages on the main thread,
// read by the server thread.

#include <cstdint>

#include "core/relaxed.h"

struct UserMatchSettingsRecord {
    Relaxed<int32_t> FriendlyFire{0};   // shots hurt the own side (0 off)
    Relaxed<int32_t> RuleFlagB{0};      // mine blasts hit every live actor in range (0 off)
    Relaxed<int32_t> RuleFlagC{0};      // when 0, units in their alternate stance ignore group moves
    Relaxed<int32_t> NetDetailLevel{0}; // 0 to 9: higher culls and throttles broadcasts harder
};
extern UserMatchSettingsRecord UserMatchSettings;

bool TvIsFriendlyFire();
bool TvIsRuleFlagB();
