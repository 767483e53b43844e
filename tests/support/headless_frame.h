#pragma once
// One frame of the client without a window, in the main loop's order: the
// command script the server queued, the client poll (which wakes a free local
// server for its pass, dispatches the server's messages and updates every
// client object), the client objects' render, and the end of the frame on the
// current device (the null device, or nothing before the engine starts).
// Main thread. Tests and tvsim's client run share it.

// The poll's receive status.
bool RunHeadlessFrame();
