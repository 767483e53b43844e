#include "Tv/server/shell_state.h"

std::atomic<int32_t> CurrentGameState{0};
std::atomic<uint8_t> CutsceneActive{0};
std::atomic<uint8_t> GamePaused{0};
