#include "platform/threads.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "platform/fpu.h"
#include "platform/paths.h"

namespace plat {
namespace {

std::atomic<ThreadId> g_nextThreadId{1};
thread_local ThreadId t_threadId = 0;

ThreadId NewThreadId() { return g_nextThreadId.fetch_add(1, std::memory_order_relaxed); }

// Nice values for the priorities; raising one above normal needs rights the
// process usually lacks, so it may fail.
int NiceValue(ThreadPriority priority) {
    switch (priority) {
    case ThreadPriority::Lowest: return 10;
    case ThreadPriority::BelowNormal: return 5;
    case ThreadPriority::Normal: return 0;
    case ThreadPriority::AboveNormal: return -5;
    case ThreadPriority::Highest: return -10;
    case ThreadPriority::TimeCritical: return -20;
    }
    return 0;
}

// Every event shares one lock and one condition: a wait for several events
// then needs no registration with each of them.
struct EventHub {
    std::mutex mutex;
    std::condition_variable changed;
};

EventHub& Events() {
    static EventHub hub;
    return hub;
}

} // namespace

ThreadId CurrentThreadId() {
    if (t_threadId == 0) t_threadId = NewThreadId();
    return t_threadId;
}

void Sleep(uint32_t ms) {
    if (ms == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

struct Thread::State {
    std::mutex mutex;
    std::condition_variable changed;
    bool started = false; // tid is known
    bool done = false;
    pid_t tid = 0;
    ThreadId id = 0;
    std::thread thread;
};

Thread::~Thread() {
    // A thread that destroys its own Thread object cannot wait for itself.
    if (!Join() && state_->thread.joinable()) state_->thread.detach();
}

namespace {
std::atomic<bool> g_threadsStarted{false};
}

bool ThreadsStarted() { return g_threadsStarted.load(std::memory_order_relaxed); }

bool Thread::Start(std::function<void()> body) {
    if (IsRunning()) return false;
    // Set before the thread exists, so the new thread and its creator both see it.
    g_threadsStarted.store(true, std::memory_order_relaxed);
    Join(); // reaps a thread that has ended
    auto state = std::make_shared<State>();
    state->id = NewThreadId();
    try {
        state->thread = std::thread([state, body = std::move(body), dir = GetCurrentDir(),
                                     gameFpu = IsGameFpuMode()]() mutable {
            t_threadId = state->id;
            detail::InheritCurrentDir(std::move(dir));
            if (gameFpu) SetGameFpuMode();
            {
                std::lock_guard lock(state->mutex);
                state->tid = gettid();
                state->started = true;
            }
            state->changed.notify_all();
            body();
            {
                std::lock_guard lock(state->mutex);
                state->done = true;
            }
            state->changed.notify_all();
        });
    } catch (const std::system_error&) {
        return false;
    }
    state_ = std::move(state);
    return true;
}

bool Thread::Join(uint32_t timeoutMs) {
    if (!state_) return true;
    if (state_->id == CurrentThreadId()) return false;
    {
        std::unique_lock lock(state_->mutex);
        auto done = [this] { return state_->done; };
        if (timeoutMs == kInfinite)
            state_->changed.wait(lock, done);
        else if (!state_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), done))
            return false;
    }
    if (state_->thread.joinable()) state_->thread.join();
    return true;
}

bool Thread::IsRunning() const {
    if (!state_) return false;
    std::lock_guard lock(state_->mutex);
    return !state_->done;
}

ThreadId Thread::Id() const { return state_ ? state_->id : 0; }

bool Thread::SetPriority(ThreadPriority priority) {
    if (!state_) return false;
    pid_t tid;
    {
        std::unique_lock lock(state_->mutex);
        state_->changed.wait(lock, [this] { return state_->started; });
        if (state_->done) return false;
        tid = state_->tid;
    }
    // On Linux the nice value of a thread id applies to that thread alone.
    return setpriority(PRIO_PROCESS, static_cast<id_t>(tid), NiceValue(priority)) == 0;
}

Event::Event(bool manualReset, bool initiallySet) : manual_(manualReset), set_(initiallySet) {}

Event::~Event() = default;

void Event::Set() {
    EventHub& hub = Events();
    {
        std::lock_guard lock(hub.mutex);
        set_ = true;
    }
    hub.changed.notify_all();
}

void Event::Reset() {
    std::lock_guard lock(Events().mutex);
    set_ = false;
}

bool Event::Wait(uint32_t timeoutMs) {
    Event* self = this;
    return WaitForAnyEvent(&self, 1, timeoutMs) == 0;
}

uint32_t WaitForAnyEvent(Event* const* events, uint32_t count, uint32_t timeoutMs) {
    EventHub& hub = Events();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    uint32_t found = 0;
    auto signalled = [&] {
        for (found = 0; found < count; ++found)
            if (events[found]->set_) return true;
        return false;
    };
    std::unique_lock lock(hub.mutex);
    if (timeoutMs == kInfinite)
        hub.changed.wait(lock, signalled);
    else if (!hub.changed.wait_until(lock, deadline, signalled))
        return kWaitTimeout;
    if (!events[found]->manual_) events[found]->set_ = false;
    return found;
}

struct CriticalSection::Impl {
    std::recursive_mutex mutex;
};

CriticalSection::CriticalSection() : impl_(new Impl) {}
CriticalSection::~CriticalSection() { delete impl_; }
void CriticalSection::Enter() { impl_->mutex.lock(); }
bool CriticalSection::TryEnter() { return impl_->mutex.try_lock(); }
void CriticalSection::Leave() { impl_->mutex.unlock(); }

InstanceLock::~InstanceLock() { Release(); }

bool InstanceLock::Acquire(std::string_view name) {
    Release();
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    std::string path = runtimeDir && *runtimeDir ? runtimeDir : "/tmp";
    path += "/tavrin-";
    for (char c : name) path += (c == '/' || c == '\\') ? '_' : c;
    path += ".lock";
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void InstanceLock::Release() {
    if (fd_ < 0) return;
    close(fd_); // closing the only descriptor drops the flock
    fd_ = -1;
}

namespace {

uint64_t PagesToBytes(long pages) {
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) : 0;
}

} // namespace

uint64_t PhysicalMemoryBytes() { return PagesToBytes(sysconf(_SC_PHYS_PAGES)); }

MemoryStatus QueryMemoryStatus() {
    MemoryStatus status;
    status.totalPhysical = PhysicalMemoryBytes();
    status.availablePhysical = PagesToBytes(sysconf(_SC_AVPHYS_PAGES));
    constexpr uint64_t kUserAddressSpace = uint64_t{1} << 47;
    rlimit limit{};
    status.totalVirtual = getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
                              ? std::min<uint64_t>(limit.rlim_cur, kUserAddressSpace)
                              : kUserAddressSpace;
    // The first field of statm is the size of every mapping, in pages.
    long mappedPages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &mappedPages) != 1) mappedPages = 0;
        std::fclose(statm);
    }
    const uint64_t mapped = PagesToBytes(mappedPages);
    status.availableVirtual = status.totalVirtual > mapped ? status.totalVirtual - mapped : 0;
    return status;
}

SystemTime UtcNow() {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    tm parts;
    gmtime_r(&ts.tv_sec, &parts);
    auto field = [](long v) { return static_cast<uint16_t>(v); };
    return SystemTime{field(parts.tm_year + 1900), field(parts.tm_mon + 1), field(parts.tm_wday), field(parts.tm_mday),
                      field(parts.tm_hour),        field(parts.tm_min),     field(parts.tm_sec),
                      field(ts.tv_nsec / 1'000'000)};
}

} // namespace plat
