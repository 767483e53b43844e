#include "Tv/console/console_window.h"

#include "Tv/app/input_event.h"

int32_t ConsoleScrollbackCap = 20;
int32_t ConsolePendingCap = 20;
int32_t ConsoleVisibleLines = 1;
int32_t ConsoleMaxLines = 14;
float ConsoleSlide = -1.0f;
float ConsoleSlideTarget = -1.0f;
uint8_t ConsoleInstantSlide = 0;
uint64_t ConsoleCloseTime = 0;
uint32_t ConsoleTextColour = kConsoleDefaultTextColour;
uint8_t ConsoleEnabled = 1;
uint8_t FullConsole = 0;
uint32_t ConsoleKeyCode = 41;
uint32_t ConsoleKeyModifiers = 0;

void TvConsoleWindowPrint(const char*) {}
void TvSetConsoleOutputSink(void (*)(const char*)) {}
void TvConsoleAddLine(const char*, uint32_t) {}
void TvConsoleAddPending(const char*) {}
void TvConsoleShowPending() {}
void TvConsoleClearScreen() {}
void TvConsoleToggle() {}
bool TvConsoleCloseOnClick(int32_t) { return false; }
void TvConsoleKey(const InputEvent&) {}
void TvConsoleFrame(uint64_t) {}
int32_t TvConsoleScrollbackCount() { return 0; }
const char* TvConsoleScrollbackLine(int32_t) { return ""; }
uint32_t TvConsoleScrollbackColour(int32_t) { return 0; }
int32_t TvConsolePendingCount() { return 0; }
const char* TvConsolePendingLine(int32_t) { return ""; }
const char* TvConsoleInputLine() { return ""; }
int32_t TvConsoleCursor() { return 0; }
void TvSetScrollbackCap(int32_t) {}
void TvSetPendingCap(int32_t) {}
void TvConsoleWindowReset() {}
void TvConsoleWindowClear() {}
