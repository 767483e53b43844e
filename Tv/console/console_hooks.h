#pragma once
// What the game calls of the command language before it exists: console
// output, timed captions and the batch queue of command-script lines. The
// command language installs the real handlers at start-up; until then every
// call does nothing. All three run on the main thread.

#include <cstdint>

struct ConsoleHooks {
    // Prints one line on the console (which pops it up).
    void (*print)(const char* text) = nullptr;
    // A timed caption at screen fractions (x, y) of the given kind and box width.
    void (*caption)(float x, float y, const char* text, int32_t kind, float width) = nullptr;
    // Queues the lines of a command-script file (name relative to the current
    // directory) for the console; false when the file cannot be read.
    bool (*batchLoadFile)(const char* name) = nullptr;
};

// Installs the handlers (a default-constructed record removes them).
void SetConsoleHooks(const ConsoleHooks& hooks);

void TvConsolePrint(const char* text);
void TvShowCaption(float x, float y, const char* text, int32_t kind, float width);
bool TvBatchLoadFile(const char* name);
