#pragma once
// Command scripts the server asks every machine to run (level triggers,
// respawns, fragment scripts): they reach the host's main thread through a
// queue it empties once a frame.

// Runs a command script on every machine: queued for the host's main thread
// and announced to the clients with message 103 (a client that hosts the
// server ignores it, so the host runs the script once). Server thread, or
// the main thread holding the server lock.
void TvRunCommandScript(const char* name);
// Main thread, once per frame: prints the lines the server thread printed, then
// queues the lines of one waiting script (from the scripts directory) for the console.
void TvRunQueuedScript();
