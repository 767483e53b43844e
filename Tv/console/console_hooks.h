#pragma once
// What the game calls of the command language before it exists: console
// output, timed captions, the batch queue of command-script lines and the
// respawn triggers, WAIT FOR's watched object and the doors' collision. The
// command language installs the real handlers at start-up; until then every
// call does nothing. The respawn trigger is added on the server thread (or
// under the server lock), the others run on the main thread.

#include <cstdint>

class ClientObject;

struct ConsoleHooks {
    // Prints one line on the console (which pops it up).
    void (*print)(const char* text) = nullptr;
    // A timed caption at screen fractions (x, y) of the given kind and box width.
    void (*caption)(float x, float y, const char* text, int32_t kind, float width) = nullptr;
    // Queues the lines of a command-script file (name relative to the current
    // directory) for the console; false when the file cannot be read.
    bool (*batchLoadFile)(const char* name) = nullptr;
    // Adds the level trigger of kind 18 (its command list one empty line)
    // that re-creates an actor of the role for the team once ServerClock
    // reaches `deadline` (ticks).
    void (*addRespawnTrigger)(const char* roleName, int32_t team, uint64_t deadline) = nullptr;
    // WAIT FOR's watched object: the client object a waiting condition follows.
    void (*waitForWatchedObject)(ClientObject* object) = nullptr;
    // The door's polygons leave or enter the collision world (the door opens or closes).
    void (*doorOpenCollision)(int32_t door) = nullptr;
    void (*doorCloseCollision)(int32_t door) = nullptr;
};

// Installs the handlers (a default-constructed record removes them).
void SetConsoleHooks(const ConsoleHooks& hooks);
// The handlers installed now.
const ConsoleHooks& GetConsoleHooks();

// Prints a console line: at once on the main thread; from the server thread
// the line waits for the main thread's next TvPrintHandedOverLines.
void TvConsolePrint(const char* text);
// Main thread, once a frame: prints the lines the server thread printed since.
void TvPrintHandedOverLines();
// Drops the lines the server thread printed and no frame has printed yet.
void TvDropHandedOverLines();
void TvShowCaption(float x, float y, const char* text, int32_t kind, float width);
bool TvBatchLoadFile(const char* name);
void TvAddRespawnTrigger(const char* roleName, int32_t team, uint64_t deadline);
void TvWaitForWatchedObject(ClientObject* object);
void TvDoorOpenCollision(int32_t door);
void TvDoorCloseCollision(int32_t door);
