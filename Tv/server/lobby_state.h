#pragma once
// The multiplayer lobby's values: written by the server thread as lobby
// messages arrive and by the front end, shown by the front end.

#include <cstdint>

#include "core/relaxed.h"

constexpr int32_t kLobbyChatTextSize = 256; // 255 characters and the terminator

// The last chat text received while the host was in the front end.
void TvSetLobbyChatText(const char* text);
// Copies it into `out` (kLobbyChatTextSize bytes).
void TvGetLobbyChatText(char* out);

// 4 players x 5 choices: entry (player - 1) x 5 + slot.
extern Relaxed<int32_t> LobbyRobotChoices[20];
// One byte per player (player - 1).
extern Relaxed<uint8_t> LobbyReadyFlags[4];
// A value of the front end's lobby carried by the lobby messages.
extern Relaxed<int32_t> LobbySessionValue;
