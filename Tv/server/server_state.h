#pragma once
// The game server's process-wide state (one server at a time), shared by the
// server thread's parts: its thread and lock, the drain and dispatcher, the
// senders, the game actions and the rules. Fields the main thread may read
// or write while the server thread runs are atomic; the others belong to the
// server thread, or to the main thread while it holds the server lock.

#include <atomic>
#include <cstdint>
#include <limits>

#include "Tv/server/session_players.h"
#include "core/list.h"
#include "platform/dplay/direct_play.h"
#include "platform/threads.h"

constexpr float kLargestFloat = std::numeric_limits<float>::max();

// The session's DirectPlay object in multiplayer (one reference held), null in single player.
extern plat::DirectPlay* ServerDirectPlay;
// The group the server created; a send to it reaches every player.
extern plat::DpId AllPlayersGroup;

// Auto-reset events of the server thread: a client message waits, quit, and
// the lock handshake (request, grant, release).
extern plat::Event ServerMessageEvent;
extern plat::Event ServerQuitEvent;
extern plat::Event ServerLockRequestEvent;
extern plat::Event ServerLockGrantEvent;
extern plat::Event ServerLockReleaseEvent;

// One record per remote player, rebuilt at game start; only then are READY messages counted.
extern List<SessionPlayer*> ServerPlayerList;
extern std::atomic<bool> ServerPlayerListBuilt;
// The server steps actors, triggers and rules only while this is set.
extern std::atomic<bool> SimulationRunning;
// End-of-game detection has fired or was suppressed from outside.
extern std::atomic<bool> GameOverFlag;
// A winner has been decided in the game types 2 to 5.
extern std::atomic<bool> MatchDecided;

// Per session player, the messages waiting in DirectPlay's send queue to that
// player, as last asked plus one for every message offered since.
extern uint32_t PlayerQueueCounts[kMaxSessionPlayers];
// Sends since the counts were last refreshed.
extern uint32_t SendCounter;

// A slow-down or pause waiting for every player's acknowledgement.
extern std::atomic<bool> SpeedChangePending;
extern std::atomic<float> PendingGameSpeed;
extern std::atomic<int32_t> PauseSequence;
// The team that holds the game paused (-1 none), since when (RealClock
// seconds, the largest float when none) and the speed to restore after it.
extern int32_t PausingTeam;
extern float PauseStartTime;
extern float SpeedBeforePause;

// The server thread's own pass state.
struct ServerPassState {
    uint32_t passCounter = 0;      // passes while the simulation runs; READY restarts it
    float lastStepTime = 0.0f;     // RealClock seconds at the end of the previous step
    bool gameOverPending = false;  // end of game detected, message 135 not yet sent
    uint64_t gameOverDeadline = 0; // RealClock ticks when message 135 is due
};
extern ServerPassState ServerPass;
