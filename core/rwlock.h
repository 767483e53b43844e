#pragma once
// Reader/writer lock for structures shared by the main and server threads:
// any number of readers or one writer. A request that cannot be granted
// sleeps 5 ms and tries again; readers are admitted whenever no writer holds
// the lock, even while a writer waits. Not re-entrant, no upgrade: a holder
// never asks again before releasing. Meant for short, rarely contended sections.

#include <atomic>
#include <cstdint>

#include "platform/threads.h"

class RwLock {
public:
    RwLock() = default;
    RwLock(const RwLock&) = delete;
    RwLock& operator=(const RwLock&) = delete;

    // Blocks until the lock is held shared (false) or exclusive (true).
    void Lock(bool exclusive);
    // One attempt; true when the lock was taken.
    bool TryLock(bool exclusive);
    // Releases the mode the caller locked with.
    void Unlock(bool exclusive);
    // True when a request of that mode would have to wait. A snapshot taken
    // without the guard: it may be out of date as soon as it returns.
    bool IsBusy(bool exclusive) const;

private:
    std::atomic<bool> writer_{false};
    plat::CriticalSection guard_;
    std::atomic<int32_t> readers_{0};
};

// Holds a lock in one mode for its scope; a null lock holds nothing.
class RwLockHold {
public:
    RwLockHold(RwLock* lock, bool exclusive) : lock_(lock), exclusive_(exclusive) {
        if (lock_) lock_->Lock(exclusive_);
    }
    ~RwLockHold() {
        if (lock_) lock_->Unlock(exclusive_);
    }
    RwLockHold(const RwLockHold&) = delete;
    RwLockHold& operator=(const RwLockHold&) = delete;

private:
    RwLock* const lock_;
    const bool exclusive_;
};
