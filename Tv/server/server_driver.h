#pragma once
// Lock-step runs of the server for tests and recorded runs. A driven server
// waits for work without a time-out and only the driver asks for passes: a
// wake (which drains the waiting client messages) or a time-out pass, each
// waited for. Client wakes and DirectPlay arrivals make no pass of their own;
// lock requests and quitting do, as always. Passes are numbered from 1 for
// every server start.

#include <cstdint>

// Before TvStartServer: the next server is driven, and its thread seeds its
// random generator with `seed`. TvDriveServer(false) makes the next one run freely.
void TvDriveServer(bool driven, uint32_t seed = 1);
bool TvIsServerDriven();

enum class ServerPassKind { Wake, Timeout };
// Lets a driven server make one pass of that kind.
void TvRequestServerPass(ServerPassKind kind);
// Passes ended since the server started.
uint32_t TvServerPassesEnded();
// Returns once pass k has ended (or the server thread has ended).
void TvWaitForServerPass(uint32_t k);
// Returns once every pass begun has ended (a lock's pass goes on after the
// unlock), or the server thread has ended.
void TvWaitForServerIdle();
// Waits for the server to be idle, then requests one pass and waits for it;
// answers its number.
uint32_t TvRunServerPass(ServerPassKind kind);

// The number of the pass the server is making (0 before the first).
uint32_t TvServerPassIndex();
