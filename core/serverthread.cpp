#include "core/serverthread.h"

#include "platform/threads.h"

std::atomic<uint32_t> ServerThreadId{0};

static std::atomic<bool> serverRunning{false};

bool TvIsServerRunning() { return serverRunning.load(std::memory_order_acquire); }

void SetServerThread(uint32_t id) {
    ServerThreadId.store(id, std::memory_order_release);
    serverRunning.store(id != 0, std::memory_order_release);
}

bool OnServerThread() {
    uint32_t id = ServerThreadId.load(std::memory_order_acquire);
    return id != 0 && id == plat::CurrentThreadId();
}
