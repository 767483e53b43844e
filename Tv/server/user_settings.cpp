#include "Tv/server/user_settings.h"

UserSettingsRecord UserSettings;

bool TvIsFriendlyFire() { return UserSettings.FriendlyFire != 0; }

bool TvIsRuleFlagB() { return UserSettings.RuleFlagB != 0; }
