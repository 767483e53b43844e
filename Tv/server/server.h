#pragma once
// The game server: the simulation runs on its own thread, the server thread,
// which owns every server actor. Each pass it waits up to 50 ms for a client
// message, a lock request or quit, takes and applies the clients' messages,
// and while the simulation runs steps the AI and the world, evaluates the
// triggers and the game rules and detects the end of the game.
//
// No other thread touches server state without the server lock: a
// re-entrant lock that the server thread grants at the top of a pass and
// that blocks the server until it is released. On the server thread, and
// while no server runs, the lock calls do nothing. The lock serves one client
// thread, the main thread. TvIsServerRunning is core/serverthread.h's.

#include <cstdint>

#include "core/serverthread.h"
#include "platform/dplay/direct_play.h"

// Starts the server: with the session's DirectPlay object when hosting a
// multiplayer game (the server player and the all-players group are created
// on it), null in single player. False when a server already runs or a
// DirectPlay call or the thread's creation fails.
bool TvStartServer(plat::DirectPlay* directPlay);
// Ends the server thread and waits for it (a lock the caller holds is
// released first), then empties ScriptQueue. Nothing when no server was started.
void TvStopServer();

void TvLockServer();
void TvUnlockServer();
int32_t TvGetServerLockCount();

// Holds the server lock for its scope.
class ServerLockHold {
public:
    ServerLockHold() { TvLockServer(); }
    ~ServerLockHold() { TvUnlockServer(); }
    ServerLockHold(const ServerLockHold&) = delete;
    ServerLockHold& operator=(const ServerLockHold&) = delete;
};

// The server thread makes a pass (the client poll calls it every frame in
// single player); a driven server ignores it.
void TvWakeServer();

// Starts every actor and lets the simulation step (level load, after the actors exist).
void TvStartSimulation();
// Under the lock: stops the simulation, releases every actor and clears GameOverFlag (level end).
void TvStopSimulation();
bool TvIsSimulationRunning();
// Sets GameOverFlag; while it is set end-of-game detection does not run.
void TvSetGameOver(bool flag);

// Multiplayer: marks the players who left the session as gone and hands their
// actors on (cooperative game) or removes their team (other types). False only
// when DirectPlay cannot enumerate the players; true in single player.
bool TvCheckDroppedPlayers();
