#include "Awapi/aw3d/user_settings.h"

AwUserSettings UserSettings;
