#pragma once
// The rules of the running game: its type and the session settings of a
// multiplayer match. The front end's multiplayer menus set them on the host,
// the start and lobby messages on the clients; the server thread, the team
// table and the actors read them. Values that the server thread writes or
// that may change while it runs are atomic.

#include <cstdint>

#include "core/relaxed.h"

enum GameType : int32_t {
    kGameStory = 0,            // single player
    kGameCooperative = 1,      // the five lead characters shared out among the players
    kGameLastLeadStanding = 2, // ends when at most one player team keeps a living lead character
    kGamePresident = 3,        // ends by score or time limit
    kGameLeadKills = 4,        // a team scores by killing another team's lead character
    kGameCaptureTheFlag = 5,   // as 3, with the flag rules
};

// The session's game type (GameType, 0 to 5).
extern Relaxed<int32_t> CurrentGameType;

// The local player's team (on a host, the host's own team); -1 for none.
extern Relaxed<int32_t> LocalTeam;

// Seconds of pause each player team gets at game start (60).
extern int32_t PauseAllowance;
// Seconds before a dead character respawns in game types 3 to 5 (30).
extern int32_t RespawnDelay;
// Time limit of game types 3 to 5 in minutes, 0 for none (20).
extern int32_t MultiplayerSettingA;
// Score that ends game types 3 to 5, 0 for none (3).
extern int32_t ScoreLimit;
// Per lobby position, the player's colour choice (1, 2, 3, 4).
extern int32_t PlayerTable[4];
// Per lead character (LeadCharacterIndex order), the 1-based lobby position of
// the player who plays it in the cooperative game (1, 1, 1, 1, 0).
extern Relaxed<int32_t> CoopCharacterTable[5];
// Teams of the running game: the player count + 2 in game types 1 to 5, else 3.
extern int32_t SessionTeamCount;
