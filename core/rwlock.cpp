#include "core/rwlock.h"

namespace {
constexpr uint32_t kRetrySleepMs = 5;
}

bool RwLock::TryLock(bool exclusive) {
    plat::CriticalSectionLock hold(guard_);
    if (writer_.load(std::memory_order_relaxed)) return false;
    if (!exclusive) {
        readers_.fetch_add(1, std::memory_order_relaxed);
        return true;
    }
    if (readers_.load(std::memory_order_relaxed) != 0) return false;
    writer_.store(true, std::memory_order_relaxed);
    return true;
}

void RwLock::Lock(bool exclusive) {
    while (!TryLock(exclusive)) plat::Sleep(kRetrySleepMs);
}

void RwLock::Unlock(bool exclusive) {
    plat::CriticalSectionLock hold(guard_);
    if (exclusive)
        writer_.store(false, std::memory_order_relaxed);
    else
        readers_.fetch_sub(1, std::memory_order_relaxed);
}

bool RwLock::IsBusy(bool exclusive) const {
    if (writer_.load(std::memory_order_relaxed)) return true;
    return exclusive && readers_.load(std::memory_order_relaxed) != 0;
}
