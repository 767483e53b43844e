#pragma once
// Housekeeping commands: help, the command list, quitting, the log line and
// the two debugging hooks. Main thread.

#include <cstdint>

// help name: the help text of the command named by the whole rest of the
// line (11012 when none); with nothing left and the full console, every
// registered name in table order.
uint8_t TvCmdHelp();
// Every registered name, bucket by bucket, newest first within a bucket.
uint8_t TvCmdListCommands();
// Ends the program with status 1 through the standard exit, so the
// registered shutdown routines run.
uint8_t TvCmdQuit();
// LOG: writes "Log message called from console" to the log file.
uint8_t TvCmdLog();
// ASSERT: writes a log line and returns.
uint8_t TvCmdAssert();
// BREAK: does nothing.
uint8_t TvCmdBreak();
