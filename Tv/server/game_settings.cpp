#include "Tv/server/game_settings.h"

Relaxed<int32_t> CurrentGameType{kGameStory};
Relaxed<int32_t> LocalTeam{1};
int32_t PauseAllowance = 60;
int32_t RespawnDelay = 30;
int32_t MultiplayerSettingA = 20;
int32_t ScoreLimit = 3;
int32_t PlayerTable[4] = {1, 2, 3, 4};
Relaxed<int32_t> CoopCharacterTable[5] = {1, 1, 1, 1, 0};
int32_t SessionTeamCount = 3;
