#include "Tv/server/match_settings.h"

UserMatchSettingsRecord UserMatchSettings;

bool TvIsFriendlyFire() { return UserMatchSettings.FriendlyFire != 0; }

bool TvIsRuleFlagB() { return UserMatchSettings.RuleFlagB != 0; }
