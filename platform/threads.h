#pragma once
// Threads, events, waits and critical sections in the shape the game expects.

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace plat {

using ThreadId = uint32_t;

// A small non-zero id of the calling thread, stable for its lifetime.
ThreadId CurrentThreadId();

constexpr uint32_t kInfinite = 0xFFFFFFFF;
constexpr uint32_t kWaitTimeout = 258;

enum class ThreadPriority { Lowest = -2, BelowNormal = -1, Normal = 0, AboveNormal = 1, Highest = 2, TimeCritical = 15 };

// True once a Thread has been started: from then on the process may run our
// code on more than one thread (shared state that is only touched by the
// program's own threads can skip its lock until then).
bool ThreadsStarted();

// Sleeps for ms milliseconds; 0 yields the rest of the time slice.
void Sleep(uint32_t ms);

class Thread {
public:
    Thread() = default;
    ~Thread(); // joins a running thread
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts the thread; it inherits the creator's current directory and
    // floating-point mode. False when the thread cannot be created.
    bool Start(std::function<void()> body);
    // Waits for the thread to end; true when it ended within the timeout.
    bool Join(uint32_t timeoutMs = kInfinite);
    bool IsRunning() const;
    // The thread's id (valid from Start on; 0 before).
    ThreadId Id() const;
    // Best effort: may silently do nothing without the rights to change it.
    bool SetPriority(ThreadPriority priority);

private:
    struct State;
    std::shared_ptr<State> state_;
};

// An event: auto-reset events release one waiter and clear; manual-reset ones stay set.
class Event {
public:
    explicit Event(bool manualReset = false, bool initiallySet = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    // True when signalled within the timeout (consuming an auto-reset signal).
    bool Wait(uint32_t timeoutMs = kInfinite);

private:
    friend uint32_t WaitForAnyEvent(Event* const* events, uint32_t count, uint32_t timeoutMs);
    bool manual_;
    bool set_;
};

// Waits until one of the events is set. The lowest signalled index wins and
// only that one is consumed; kWaitTimeout when none was set within the timeout.
uint32_t WaitForAnyEvent(Event* const* events, uint32_t count, uint32_t timeoutMs);

// Re-entrant critical section.
class CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter();
    bool TryEnter();
    void Leave();

private:
    struct Impl;
    Impl* impl_;
};

class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CriticalSection& cs) : cs_(cs) { cs_.Enter(); }
    ~CriticalSectionLock() { cs_.Leave(); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CriticalSection& cs_;
};

// A named single-instance lock (a lock file held with flock under the
// runtime directory). False when another process holds it.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    bool Acquire(std::string_view name);
    void Release();

private:
    int fd_ = -1;
};

// Installed physical memory in bytes.
uint64_t PhysicalMemoryBytes();

// Memory in bytes (0 where the system does not tell). Virtual memory is the
// process's address space: its limit, or the user half of the 47-bit space
// without one, and what its mappings leave of that.
struct MemoryStatus {
    uint64_t totalPhysical = 0, availablePhysical = 0, totalVirtual = 0, availableVirtual = 0;
};
MemoryStatus QueryMemoryStatus();

struct SystemTime {
    uint16_t year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};
// Current date and time in UTC.
SystemTime UtcNow();

} // namespace plat
