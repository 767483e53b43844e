#include "Tv/console/console_hooks.h"

namespace {
ConsoleHooks installed;
}

void SetConsoleHooks(const ConsoleHooks& hooks) { installed = hooks; }

const ConsoleHooks& GetConsoleHooks() { return installed; }

void TvConsolePrint(const char* text) {
    if (installed.print) installed.print(text);
}

void TvShowCaption(float x, float y, const char* text, int32_t kind, float width) {
    if (installed.caption) installed.caption(x, y, text, kind, width);
}

bool TvBatchLoadFile(const char* name) { return installed.batchLoadFile && installed.batchLoadFile(name); }

void TvAddRespawnTrigger(const char* roleName, int32_t team, uint64_t deadline) {
    if (installed.addRespawnTrigger) installed.addRespawnTrigger(roleName, team, deadline);
}

void TvWaitForWatchedObject(ClientObject* object) {
    if (installed.waitForWatchedObject) installed.waitForWatchedObject(object);
}

void TvDoorOpenCollision(int32_t door) {
    if (installed.doorOpenCollision) installed.doorOpenCollision(door);
}

void TvDoorCloseCollision(int32_t door) {
    if (installed.doorCloseCollision) installed.doorCloseCollision(door);
}
