#include "sound/music_settings.h"

MusicUserSettings MusicSettings;
