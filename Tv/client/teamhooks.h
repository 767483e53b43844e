#pragma once
// What the team table takes from the layers that are not its own: the
// settings of the running game (the server's) and the timed on-screen
// captions (the command language's). Each service is a hook its owner
// installs at start-up; until then a story game with one local player on
// team 1 is assumed and captions show nothing.

#include <cstdint>

constexpr int32_t kMaxPlayers = 4;

struct TeamGameSettings {
    int32_t GameType = 0;                            // 0 story ... 5 capture the flag
    int32_t PlayerCount = 1;                         // players of the session
    int32_t TeamCount = 3;                           // teams of the game: players + 2 in game types 1 to 5, else 3
    int32_t LocalTeam = 1;                           // the local player's team, -1 for none
    int32_t PauseAllowance = 60;                     // seconds of pause each player team gets
    int32_t PlayerTable[kMaxPlayers] = {1, 2, 3, 4}; // colour choice per lobby position
};

using TeamGameQuery = TeamGameSettings (*)();
// Null restores the defaults above.
void SetTeamGameQuery(TeamGameQuery query);
TeamGameSettings CurrentTeamGameSettings();

// A timed caption: `text` at (x, y) in screen fractions, in caption queue
// `kind`, wrapped to `width` of the screen. The text is copied.
using CaptionHook = void (*)(float x, float y, const char* text, int32_t kind, float width);
// Null removes the hook.
void SetCaptionHook(CaptionHook hook);
void ShowCaption(float x, float y, const char* text, int32_t kind, float width);
