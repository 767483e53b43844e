#pragma once
// The host's side of starting a multiplayer game and of its lobby. Each
// answers false after a DirectPlay error (passed to AwReportError); in single
// player they answer true (the lobby messages are queued for the local client).

#include <cstdint>

#include "platform/dplay/dplay_types.h"

// At game start: the session refuses new players, and the server's player
// list is rebuilt from the session's players (all added to the all-players
// group). True when that succeeded; only then are READY messages counted.
bool TvCloseSessionToJoins();
// The start message (0, or 1 when the level is over) with the game type, the
// team count, the player's team and the script names, to each player.
bool TvSendStartGame();
// Message 200 to each session player: the front end's four values, the
// players' ids and names, and the receiver's own lobby position.
bool TvSendPlayerTable(const int32_t (&values)[4]);
// Message 143: the lobby's set-up values and text (at most 63 characters).
bool TvSendLobbySetup(const int32_t (&six)[6], const int32_t (&twenty)[20], int32_t value, const char* text);
// Message 144: five values (the host passes CoopCharacterTable) and the lobby settings.
bool TvSendLobbySettings(const int32_t (&five)[5]);
// Message 141 with the lobby's chat text.
bool TvSendLobbyChat();
// Message 201: the player at that lobby position left (-1: every player; only while the session has players).
bool TvSendPlayerLeft(int32_t position);
bool TvDestroyPlayer(plat::DpId id);
