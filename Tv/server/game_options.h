#pragma once
// The least of the game options that the level load reads; the server core's
// options record takes its place.

#include <cstdint>

#include "core/maths.h"

// LevelStatus values.
constexpr int32_t kLevelRunning = 0;
constexpr int32_t kLevelOver = 3; // no actors are placed

struct GameOptionsRecord {
    int32_t LevelStatus = kLevelRunning;
    Real CameraMaxZoom = 100.0f; // saved with games, copied to the camera at level load
};

extern GameOptionsRecord GameOptions;
