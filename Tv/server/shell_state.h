#pragma once
// Values of the application shell that the server reads, kept here until the
// shell takes them: set on the main thread, read by the server thread.

#include <atomic>
#include <cstdint>

// The shell's game states that the server tells apart.
constexpr int32_t kGameStatePlay = 5;
constexpr int32_t kGameStateFrontEnd = 8;

// The application's game state (19 values).
extern std::atomic<int32_t> CurrentGameState;
// Set while a cutscene camera runs: the server freezes units instead of running the AI.
extern std::atomic<uint8_t> CutsceneActive;
// The pause toggle's flag (1 paused).
extern std::atomic<uint8_t> GamePaused;
