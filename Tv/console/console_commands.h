#pragma once
// The console window's commands. Each reads its arguments from ConsoleLine
// and answers 1. Main thread only.

#include <cstdint>

// Console height <rows>: 1..14 sets the window's rows; 15 or more prints
// string 11011; 0, negative or missing prints string 11010.
uint8_t TvCmdConsoleHeight();
// Instant slide ON/TRUE (string 10606) or OFF/FALSE (10607); anything else
// shows the setting (10603 with 12000 on, 12001 off).
uint8_t TvCmdConsoleInstant();
// Pending and scrollback caps <n>: 1..200 (1..100) sets the cap (10601,
// 10604); above prints 11004 (11005); 0, negative or missing shows the cap
// (10600, 10602, with the number).
uint8_t TvCmdPendingCap();
uint8_t TvCmdScrollbackCap();
// Empties the console's scrollback.
uint8_t TvCmdClearScreen();
// TEXT <n> prints string 3400 + n; TEXT <words> prints the words.
uint8_t TvCmdText();
// Clears the scrollback and shuts the window (a never-shown console included).
uint8_t TvCmdHideConsole();
