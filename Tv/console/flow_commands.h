#pragma once
// The command language's control flow and housekeeping: conditions, silent
// and nested lines, tokens, scripts, echo. Handlers read their arguments from
// ConsoleLine and print through TvConsolePrint. Main thread.

#include <cstdint>

// TOKEN name: creates the token or resets it to 0 (prints 11017 without a
// name; nothing while the level is over).
uint8_t TvCmdToken();
// IF (a op b) line: runs the line when the condition holds; 11009 after a
// condition error. The line is emptied after the nested dispatch.
uint8_t TvCmdIf();
// IF CARRYING item line: runs the line once when an actor of a player team
// carries the item (server here only, under the server lock).
uint8_t TvCmdIfCarrying();
// @line: runs the line with console output switched off.
uint8_t TvCmdSilent();
// ECHO ON|OFF: switches console output; anything else shows the setting.
uint8_t TvCmdEcho();
// BATCH file: queues a script from the scripts directory (nothing while the
// level is over; a missing file prints nothing).
uint8_t TvCmdBatch();
// BATCHANDBROADCAST file: the host runs the script and tells every client to
// (server here only; nothing while the level is over).
uint8_t TvCmdBatchAndBroadcast();
