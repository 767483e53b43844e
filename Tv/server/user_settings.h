#pragma once
// The match fields of the user settings, which the server and the actors
// read: set by the options menu and by the lobby and settings messages on the
// main thread, read by the server thread. The rest of the user settings
// joins them with the front end.

#include <cstdint>

#include "core/relaxed.h"

struct UserSettingsRecord {
    Relaxed<int32_t> FriendlyFire{0};   // shots hurt the own side (0 off)
    Relaxed<int32_t> RuleFlagB{0};      // mine blasts hit every live actor in range (0 off)
    Relaxed<int32_t> RuleFlagC{0};      // when 0, units in their alternate stance ignore group moves
    Relaxed<int32_t> NetDetailLevel{0}; // 0 to 9: higher culls and throttles broadcasts harder
};
extern UserSettingsRecord UserSettings;

bool TvIsFriendlyFire();
bool TvIsRuleFlagB();
