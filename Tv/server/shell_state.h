#pragma once
// Values of the application shell that the server reads, kept here until the
// shell takes them: set on the main thread, read by the server thread.

#include <cstdint>

#include "core/relaxed.h"

// The shell's game states that the server tells apart.
constexpr int32_t kGameStatePlay = 5;
constexpr int32_t kGameStateFrontEnd = 8;

// The application's game state (19 values).
extern Relaxed<int32_t> CurrentGameState;
// Set while a cutscene camera runs: the server freezes units instead of running the AI.
extern Relaxed<uint8_t> CutsceneActive;
// The pause toggle's flag (1 paused).
extern Relaxed<uint8_t> GamePaused;
