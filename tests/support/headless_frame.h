#pragma once
// One frame of the game without a window, in the main loop's order: the
// command script the server queued; with a client attached, the client poll
// (which wakes a free local server for its pass, dispatches the server's
// messages and updates every client object) and the client objects' render;
// the console window; the captions in the HUD's place; the end of the frame
// on the current device (the null device, or nothing before the engine
// starts), after which one queued command-script line may run. Main thread.
// Tests and tvsim share it.

// The poll's receive status (true without a client).
bool RunHeadlessFrame();
