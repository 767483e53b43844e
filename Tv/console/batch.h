#pragma once
// The batch queue: command-script lines waiting to run, oldest first. Scripts
// are not executed when read; the main loop runs one queued line at the end
// of each frame unless a wait (waits.h, wait_for.h) holds the queue. Main
// thread only; the queue carries no lock.

#include <cstdint>

// Reads the command script at `path` (relative to the current directory)
// into the queue; installed as ConsoleHooks::batchLoadFile, so every caller
// goes through TvBatchLoadFile (console_hooks.h). Lines are trimmed, empty
// ones and "//" comments skipped, longer than 249 characters read in pieces
// of 249. '#' directives, compared case-insensitively with the start of the
// text after the '#':
//   ONLY IF SAFE         stop reading while an enemy (team 2) is alive and engaged
//   ONLY IF HINTS ON     stop reading while the player's hints are off
//   CLEAR BATCH          drop every queued line (the running script's too)
//   EXECUTE IMMEDIATELY  the following lines go to the front of the queue,
//                        in their order, ahead of everything queued before
//   NORMAL EXECUTION     the following lines go to the end again
// Other directives are ignored. True when the file was read (to its end or
// to a stopping directive); false for a null or empty path or a file that
// cannot be opened.
bool TvBatchReadFile(const char* path);

// Appends a copy of the line (cut to 249 characters) at the end of the queue.
void TvBatchAppend(const char* line);

// True when no line is queued.
bool TvBatchIsEmpty();
// The number of queued lines.
int32_t TvBatchCount();

// Runs at most one queued line: nothing when the queue is empty or a WAIT,
// REAL WAIT or WAIT FOR holds it (a wait that has passed is cleared here).
// While the level is over (GameOptions.LevelStatus 3) no wait holds the
// queue. The line is dispatched from ConsoleLine, whose previous contents
// (a line the player is typing) are restored afterwards. True when a line ran.
bool TvBatchRunNext();

// Runs queued lines until the queue is empty or a wait holds it; the rest
// then runs one line per frame (a wait may need frames to pass). Used by the
// level load after queueing the level's command script.
void TvBatchDrain();

// True while a WAIT, REAL WAIT or WAIT FOR would hold the queue.
bool TvBatchWaitPending();

// Empties the queue and clears every wait (console reset, shutdown, tests).
void TvBatchReset();
