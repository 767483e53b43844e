#include "Tv/server/shell_state.h"

Relaxed<int32_t> CurrentGameState{0};
Relaxed<uint8_t> CutsceneActive{0};
Relaxed<uint8_t> GamePaused{0};
