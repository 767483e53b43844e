#pragma once
// The parts of the server thread's pass, one file each, called in this order
// by the thread's loop (server thread only).

#include <cstdint>

#include "platform/threads.h"

// What ended the wait at the top of a pass.
enum class ServerWake { Quit, LockRequest, Message, Timeout };

// Step 1: waits up to 50 ms (without a time-out when driven) for quit, a
// lock request or a message, in that priority.
ServerWake WaitForServerWork();
// Counts the pass begun and ended (the driver waits for the ends).
void BeginServerPass();
void EndServerPass();
// Before a new server thread starts: pass numbers from 0 again, driven or free.
void PrepareServerDriver();
// The event DirectPlay sets when a message for the server player arrives:
// ServerMessageEvent, or one nobody waits for while the server is driven.
plat::Event* ServerArrivalEvent();
// The new thread's first act: a driven server's random generator takes its seed.
void SeedServerRandom();
// Lets a driver waiting for a pass see that the thread has ended.
void StopServerDriver();

// Step 4: takes every waiting client message and dispatches it; a settings
// request ends the drain early.
void DrainClientMessages();
// Steps 5 to 12: everything the simulation does in a pass.
void RunSimulationPass();
// The thread's end on quit: message 135, actors released, player list emptied, DirectPlay released.
void RunServerExit();
