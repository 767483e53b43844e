#pragma once
// The server's half of the level-start handshake (host and single player):
// every player answers READY once its level has loaded, and the server then
// starts its clock and sends the go.

// The level's start in ServerClock and GameClock seconds (set by the level
// load and by loading a saved game).
extern float LevelStartTime;

// Under the lock: every record of the server's player list not ready.
void TvClearPlayersReady();
// Every record not gone.
void TvClearPlayersGone();
// Main thread, after the level has loaded: in multiplayer waits until every
// player is ready or gone, asking the others with message 5 after 15 s and
// every 8 s; then the ServerClock runs at speed 1.0 from LevelStartTime and,
// in multiplayer, message 2 (the go) goes to every player. False only when
// DirectPlay fails.
bool TvWaitForPlayersReady();
