#pragma once
// The console window: a text window that slides down over the game, shows
// every printed line, takes typed command lines and pops up by itself when
// output arrives while it is closed. Its state lives here and in GameOptions
// (ConsoleState 0 open, 1 closed, 2 popped up by output, 3 never shown;
// EchoOn; ConsolePopupMaxLines). Main thread only: lines printed on the
// server thread reach it through TvConsolePrint's hand-over.
//
// Screen positions are fractions of the screen; the slide position is the
// fraction by which the window's bottom edge lies below the top, minus 1
// (-1.0 fully hidden). A "line height" is SmallFont's, as a screen fraction.

#include <cstdint>

struct InputEvent;

constexpr uint32_t kConsoleDefaultTextColour = 0xFFB2B2CC; // printed lines
constexpr uint32_t kConsoleInputColour = 0xFF595966;       // echoed typed lines
constexpr uint32_t kConsoleDefaultCursorColour = 0xFFE5E5E5;
constexpr uint32_t kStatusTextColour = 0xFFFFEF47;
constexpr int32_t kConsoleLineChars = 249; // the most characters of a typed or recalled line

constexpr int32_t kConsoleOpen = 0;
constexpr int32_t kConsoleClosed = 1;
constexpr int32_t kConsolePoppedUp = 2;
constexpr int32_t kConsoleNeverShown = 3;

extern int32_t ConsoleScrollbackCap; // 20; lines kept in the scrollback (1..100 by command)
extern int32_t ConsolePendingCap;    // 20; "more" lines held back
extern int32_t ConsoleVisibleLines;  // 1; the rows the window opens to
extern int32_t ConsoleMaxLines;      // 14
extern float ConsoleSlide;           // -1.0
extern float ConsoleSlideTarget;     // ConsoleVisibleLines x line height - 1.0
extern uint8_t ConsoleInstantSlide;  // the window jumps to its target
extern uint64_t ConsoleCloseTime;    // RealClock ticks when a popped-up window closes
extern uint32_t ConsoleTextColour;   // output colour (the caret's is the engine's ConsoleCaretColour)
extern uint8_t ConsoleEnabled;       // the console key works
extern uint8_t FullConsole;          // Tab completion and the full command list

// The console key binding (the front end's key bindings will own it).
extern uint32_t ConsoleKeyCode;      // 41
extern uint32_t ConsoleKeyModifiers; // 0, compared without Shift

// Prints one line: into the scrollback, or held back as pending while the
// window is full and its oldest visible line is under 2 s old; pops a closed
// window up. Nothing while GameOptions.EchoOn is 0. TvConsoleFrame first
// prints the lines the server thread handed over. Every accepted line also
// goes to the output sink.
void TvConsoleWindowPrint(const char* text);

// Receives every line TvConsoleWindowPrint accepts (on the main thread), or
// none when null.
void TvSetConsoleOutputSink(void (*sink)(const char* text));

// Appends a line to the scrollback with its colour and RealClock stamp; the
// window closes 14 s later when popped up; beyond ConsoleScrollbackCap the
// oldest line goes.
void TvConsoleAddLine(const char* text, uint32_t colour);
// Appends a line to the pending list in the output colour (oldest dropped past the cap).
void TvConsoleAddPending(const char* text);
// Moves the first pending line to the scrollback, stamped now.
void TvConsoleShowPending();
// Empties the scrollback; the recall position returns to the start.
void TvConsoleClearScreen();

// The console key: opens a closed or popped-up window, closes an open one
// (dropping the pending lines). A never-shown console stays so.
void TvConsoleToggle();
// A click at display row mouseY: true (and the window closes) when it falls
// on the visible window.
bool TvConsoleCloseOnClick(int32_t mouseY);
// A key event while the console is open: paging of pending lines, editing,
// recall, Tab completion (with FullConsole), Enter dispatches the line at
// CommandLevel 3.
void TvConsoleKey(const InputEvent& event);
// Runs a typed line as Enter does: copies it (cut to 249 characters) into
// ConsoleLine, echoes it into the scrollback in the input colour, dispatches
// it at CommandLevel 3 and empties the line; an open window the command left
// alone grows by a row.
void TvConsoleSubmitLine(const char* text);
// Every frame: slides the window, closes a popped-up window at its close
// time, queues the backdrop, input line and scrollback for drawing. `now` is
// RealClock ticks. Prints handed over from other threads come out first.
void TvConsoleFrame(uint64_t now);

// Counts and lines of the scrollback (oldest first) and the pending list.
int32_t TvConsoleScrollbackCount();
const char* TvConsoleScrollbackLine(int32_t index);
uint32_t TvConsoleScrollbackColour(int32_t index);
int32_t TvConsolePendingCount();
const char* TvConsolePendingLine(int32_t index);
// The typed line and the cursor in it.
const char* TvConsoleInputLine();
int32_t TvConsoleCursor();

// Level end: ConsoleState 1, slide -1, pending lines, scrollback and the
// recall position cleared (the batch queue, waits and captions are their
// modules' to clear).
void TvConsoleWindowReset();
// Back to the program-start values (every list emptied, every setting at its
// initial value, the sink removed). Tests and TvConsoleShutdown.
void TvConsoleWindowClear();
