#include "Tv/server/server.h"
#include "Tv/server/server_state.h"

namespace {
// Nesting depth of the lock held by the client thread; only that thread touches it.
int32_t serverLockCount = 0;
} // namespace

void TvLockServer() {
    if (OnServerThread() || !TvIsServerRunning()) return;
    if (serverLockCount++ > 0) return;
    ServerLockRequestEvent.Set();
    ServerLockGrantEvent.Wait();
}

void TvUnlockServer() {
    if (OnServerThread() || serverLockCount == 0) return;
    if (--serverLockCount == 0) ServerLockReleaseEvent.Set();
}

int32_t TvGetServerLockCount() { return serverLockCount; }
