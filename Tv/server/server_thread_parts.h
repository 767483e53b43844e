#pragma once
// The parts of the server thread's pass, one file each, called in this order
// by the thread's loop (server thread only).

#include <cstdint>

// What ended the wait at the top of a pass.
enum class ServerWake { Quit, LockRequest, Message, Timeout };

// Step 1: waits up to 50 ms (without a time-out when driven) for quit, a
// lock request or a message, in that priority.
ServerWake WaitForServerWork();
// Counts the pass begun and ended (the driver waits for the ends).
void BeginServerPass();
void EndServerPass();
// The driver's state for a new server thread: pass numbers from 0 again, the seed applied.
void StartServerDriver();
// Lets a driver waiting for a pass see that the thread has ended.
void StopServerDriver();

// Step 4: takes every waiting client message and dispatches it; a settings
// request ends the drain early.
void DrainClientMessages();
// Steps 5 to 12: everything the simulation does in a pass.
void RunSimulationPass();
// The thread's end on quit: message 135, actors released, player list emptied, DirectPlay released.
void RunServerExit();
