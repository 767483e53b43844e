#pragma once
// How the multiplayer game types end: the win check the server thread runs
// every fourth pass, the end by score at the time limit, and the announcement
// of the winners, which stops the game.

#include <cstdint>

// One byte per team 0 to 5: 1 for a winner.
constexpr int32_t kWinnerTeams = 6;

// Game types 2 to 5: true when the match is decided (the winners are
// announced unless a lone player's last lead stands); false in types 0 and 1.
bool TvCheckWinConditions();
// Ends the match now: every player team with the highest score wins (all of
// them when every score is 0).
void TvEndMatchByScore();
// Broadcasts message 156 with the winner bytes, then sets the game speed to 0.
void TvAnnounceWinners(const uint8_t (&winners)[kWinnerTeams]);
