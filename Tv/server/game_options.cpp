#include "Tv/server/game_options.h"

GameOptionsRecord GameOptions;
