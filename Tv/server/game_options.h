#pragma once
// GameOptions: the 152-byte record of per-game options that travels whole
// with saved games, read and written field by field at its offsets. The
// main thread owns it, except MissionStats, which the server thread's actors
// count and the main thread reads on a paused or stopped game.

#include <cstdint>

#include "core/bytes.h"
#include "core/maths.h"

constexpr uint32_t kGameOptionsSize = 152;

// LevelStatus values the level flow tells apart.
constexpr int32_t kLevelRunning = 0;
constexpr int32_t kLevelOver = 3; // no actors are placed
constexpr uint32_t kWaitStateSize = 18;

// MissionStats counters, in their GameOptions order.
enum MissionStat : int32_t {
    kStatPlayerShots = 0, // shots fired by the player side
    kStatPlayerHits,      // hits scored by the player side
    kStatEnemyShots,      // shots fired by team 2
    kStatEnemyHits,       // hits scored by team 2
    kStatFifth,           // read only by the statistics screen
    kStatLevelLosses,     // the player side's losses in this level
    kStatTotalLosses,     // the player side's losses in total
    kMissionStatCount
};

struct GameOptionsRecord {
    uint8_t WaitState[kWaitStateSize] = {};                          // offset 0: the console's waits (opaque here)
    uint8_t EchoOn = 1;                                              // 18
    int32_t LowDetailShapes = 0;                                     // 20
    uint8_t ControlsDisabled = 0;                                    // 24
    uint8_t OverheadView = 1;                                        // 25: 1 overhead camera, 0 recon view
    int32_t ConsolePopupMaxLines = 5;                                // 28
    int32_t ConsoleState = 1;                                        // 32
    int32_t FrontEndOption36 = 0;                                    // 36: kept with the key bindings
    int32_t FrontEndOption40 = 0;                                    // 40: kept with the key bindings
    int32_t LevelShadowsOn = 0;                                      // 44
    int32_t FrontEndOption48 = 0;                                    // 48
    int32_t FrontEndOption52 = 0;                                    // 52
    int32_t FrontEndOption56 = 1;                                    // 56
    int32_t Difficulty = 1;                                          // 60: 0 easy, 1 medium, 2 hard, 3 extreme
    Colour SunColour = Colour::FromFloats(0.3f, 0.3f, 0.275f, 1.0f); // 64 (24 bytes)
    Vector3 SunDirection{0.65f, -0.3937004f, -0.65f};                // 88
    float SunValue = 150.0f;                                         // 100
    // 104: 0 running; 1 leave the level; 2 level finished; 3 level over.
    int32_t LevelStatus = 1;
    int32_t SessionOption = 0;                    // 108: sent as the first byte of message 162
    int32_t MissionStats[kMissionStatCount] = {}; // 112
    int32_t TrainingArea = -1;                    // 140
    float CameraMaxZoom = 100.0f;                 // 144
};

extern GameOptionsRecord GameOptions;

// Writes the 152 bytes (unset bytes zero).
void WriteGameOptions(ByteWriter& out, const GameOptionsRecord& options);
// Reads 152 bytes into `options`; false on a short read, leaving `options` as it was.
bool ReadGameOptions(ByteReader& in, GameOptionsRecord& options);

// Level start: the per-level loss counter to 0; with `all` the six others too.
void TvResetMissionStats(bool all);
// Counts `shots` fired by a team: the computer's side (team 2) as enemy shots,
// any other team but 0 as the player side's.
void TvCountShots(int32_t team, int32_t shots);
