#pragma once
// Identity of the simulation server thread. The game server writes these when
// it creates and stops its thread; the clocks and the random generator read
// them to pick the server thread's own state.

#include <atomic>
#include <cstdint>

// The server thread's id (0 while there is none).
extern std::atomic<uint32_t> ServerThreadId;

// True while the simulation server thread exists.
bool TvIsServerRunning();

// Called by the game server when its thread is created (with its id) and stopped (with 0).
void SetServerThread(uint32_t id);

// True when the calling thread is the server thread.
bool OnServerThread();
