#include "Tv/console/console_hooks.h"

#include <string>
#include <vector>

#include "core/serverthread.h"
#include "platform/threads.h"

namespace {

ConsoleHooks installed;

// Lines printed on the server thread, printed by the main thread's next frame.
plat::CriticalSection& HandOverLock() {
    static plat::CriticalSection lock;
    return lock;
}
std::vector<std::string> handOver;

} // namespace

void SetConsoleHooks(const ConsoleHooks& hooks) { installed = hooks; }

const ConsoleHooks& GetConsoleHooks() { return installed; }

void TvConsolePrint(const char* text) {
    if (!text) return;
    if (OnServerThread()) {
        plat::CriticalSectionLock hold(HandOverLock());
        handOver.emplace_back(text);
        return;
    }
    if (installed.print) installed.print(text);
}

void TvPrintHandedOverLines() {
    std::vector<std::string> lines;
    {
        plat::CriticalSectionLock hold(HandOverLock());
        lines.swap(handOver);
    }
    for (const std::string& line : lines) TvConsolePrint(line.c_str());
}

void TvDropHandedOverLines() {
    plat::CriticalSectionLock hold(HandOverLock());
    handOver.clear();
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
