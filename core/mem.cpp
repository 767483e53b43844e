#include "core/mem.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>

#include "core/list.h"
#include "core/threadcache.h"
#include "platform/msgbox.h"
#include "platform/process.h"
#include "platform/timer.h"

// malloc's blocks are what the sanitizer build hands out directly, and the
// large blocks rely on their alignment too.
static_assert(alignof(std::max_align_t) >= kAlignment);

namespace {

// Built at compile time, never destroyed: static initialisers that run before
// MemInit and exit-time destructors that run after MemShutdown still use it.
constinit PageAllocator gAllocator;

// The emergency reserve, given back when the heap runs out.
constinit std::atomic<void*> gReserve{nullptr};

// MemInit and MemShutdown are the construction and destruction of this object.
struct MemLifetime {
    MemLifetime() { MemInit(); }
    ~MemLifetime() { MemShutdown(); }
} gMemLifetime;

std::byte* AlignUp(void* p, size_t alignment) {
    auto address = reinterpret_cast<uintptr_t>(p);
    return reinterpret_cast<std::byte*>((address + alignment - 1) & ~(alignment - 1));
}

std::byte* Bytes(MemPage* page) { return reinterpret_cast<std::byte*>(page); }

// The allocator's critical section is a plain mutex: nothing inside the
// allocator takes it again, and uncontended it is cheaper than a re-entrant one.
std::mutex& LockOf(unsigned char* storage) { return *std::launder(reinterpret_cast<std::mutex*>(storage)); }

// Requests above this cannot be met (and would overflow the large-block size).
constexpr size_t kMaxRequest = (SIZE_MAX - kLargeOverhead) & ~(kAlignment - 1);

} // namespace

// --- Runtime heap and out-of-memory handling ---

int MemOutOfMemoryHandler() {
    std::free(gReserve.exchange(nullptr));
    // Taken straight from malloc: the handler must not run itself again.
    void* fresh = std::malloc(kEmergencyReserveSize);
    if (!fresh) plat::ExitProcess(plat::kExitOutOfMemory);
    std::free(gReserve.exchange(fresh));
    return 1;
}

void* RuntimeHeapAlloc(size_t size) {
    if (size == 0) size = 1;
    for (int retries = 0;; ++retries) {
        if (void* block = std::malloc(size)) return block;
        if (retries == kOutOfMemoryRetries) plat::ExitProcess(plat::kExitOutOfMemory);
        MemOutOfMemoryHandler();
    }
}

void RuntimeHeapFree(void* block) { std::free(block); }

namespace {

// The runtime new handler that was installed before MemInit installed ours.
constinit std::new_handler gPreviousNewHandler = nullptr;

// A failed `new` (the containers' allocations among them) retries after each
// call. The handler does not learn which request failed, nor that a retry
// succeeded: retries of one request follow each other at once, so it counts
// the calls that come within a quiet interval of the previous one. A request
// the retries cannot help ends the program like a failed MemAlloc instead of
// retrying for ever, and a thread that recovered starts a fresh count.
constexpr uint32_t kRetryQuietMs = 1000;

void NewHandler() {
    thread_local int callsInARow = 0;
    thread_local uint32_t lastCallMs = 0;
    const uint32_t now = plat::MillisecondTimer();
    if (callsInARow > 0 && now - lastCallMs > kRetryQuietMs) callsInARow = 0;
    lastCallMs = now;
    if (++callsInARow > kOutOfMemoryRetries) plat::ExitProcess(plat::kExitOutOfMemory);
    MemOutOfMemoryHandler();
}

} // namespace

void MemInit() {
    if (gAllocator.IsLocking()) return;
    gAllocator.EnableLocking();
    void* reserve = std::malloc(kEmergencyReserveSize);
    if (!reserve) {
        plat::MessageBox("Out of Memory", "", plat::kMbTaskModal);
        plat::ExitProcess(plat::kExitOutOfMemory);
    }
    std::free(gReserve.exchange(reserve));
    gPreviousNewHandler = std::set_new_handler(NewHandler);
}

void MemShutdown() {
    if (!gAllocator.IsLocking()) return;
    gAllocator.DisableLocking();
    std::free(gReserve.exchange(nullptr));
    std::set_new_handler(gPreviousNewHandler);
}

// --- Program-wide entry points ---

#ifdef TAVRIN_MALLOC_ALLOCATOR

void* MemAlloc(size_t size) { return RuntimeHeapAlloc(PageAllocator::RoundSize(size)); }
void MemFree(void* block) { RuntimeHeapFree(block); }

#else

// Every request of every thread, whoever started the thread, either stays in
// that thread's own cache, which no other thread sees, or takes the
// critical section for the pages (PageAllocator::Lock): the one lock guards
// all shared allocator state on all threads alike.

namespace {

// The calling thread's cache of small objects. The runtime destroys it when
// its thread ends, whoever started the thread, and the cached objects go back
// to the pages; from then on (later exit-time destructors of that thread)
// the thread's requests go to the pages directly.
struct CacheOfThread {
    ~CacheOfThread();
    ThreadCache cache;
};
thread_local CacheOfThread tCache;
constinit thread_local bool tCacheClosed = false;

CacheOfThread::~CacheOfThread() {
    tCacheClosed = true;
    cache.Flush(gAllocator);
}

} // namespace

void* MemAlloc(size_t size) {
    const size_t rounded = PageAllocator::RoundSize(size);
    if (rounded < kSmallLimit && !tCacheClosed) return tCache.cache.Allocate(gAllocator, rounded);
    return gAllocator.Allocate(size);
}

void MemFree(void* block) {
    if (!block) return;
    // The page of a live object keeps its size: readable without the lock.
    const size_t objectSize = PageAllocator::PageOf(block)->ObjectSize;
    if (objectSize != 0 && !tCacheClosed)
        tCache.cache.Release(gAllocator, block, objectSize);
    else
        gAllocator.Release(block);
}

#endif

// --- PageAllocator ---

size_t PageAllocator::RoundSize(size_t size) {
    if (size == 0) return kAlignment;
    if (size > kMaxRequest) return kMaxRequest;
    return (size + kAlignment - 1) & ~(kAlignment - 1);
}

MemPage* PageAllocator::PageOf(const void* object) {
    return reinterpret_cast<MemPage*>(reinterpret_cast<uintptr_t>(object) & ~(kPageSize - 1));
}

void PageAllocator::EnableLocking() {
    static_assert(sizeof(std::mutex) <= sizeof(lockStorage_));
    static_assert(alignof(std::mutex) <= alignof(void*));
    if (locking_) return;
    ::new (lockStorage_) std::mutex;
    locking_ = true;
}

void PageAllocator::DisableLocking() {
    if (!locking_) return;
    locking_ = false;
    LockOf(lockStorage_).~mutex();
}

// While locking is on, every thread takes the critical section, whoever
// started it: the server thread, the SDL audio callback and a network thread
// count alike, since nothing here asks how a thread came to be.
bool PageAllocator::Lock() {
    const bool take = locking_;
    if (take) LockOf(lockStorage_).lock();
    return take;
}

void PageAllocator::Unlock(bool taken) {
    if (taken) LockOf(lockStorage_).unlock();
}

void* PageAllocator::HeapAlloc(size_t size) { return heap_ ? heap_->Allocate(size) : RuntimeHeapAlloc(size); }

void PageAllocator::HeapFree(void* block) {
    if (heap_)
        heap_->Release(block);
    else
        RuntimeHeapFree(block);
}

void* PageAllocator::Allocate(size_t size) {
    const size_t rounded = RoundSize(size);
    const bool locked = Lock();
    void* object = rounded < kSmallLimit ? AllocateSmall(rounded) : AllocateLarge(rounded);
    Unlock(locked);
    return object;
}

void PageAllocator::Release(void* block) {
    if (!block) return;
    const bool locked = Lock();
    MemPage* page = PageOf(block);
    if (page->ObjectSize == 0)
        HeapFree(page->Bump);
    else
        ReleaseSmall(page, block);
    Unlock(locked);
}

size_t PageAllocator::AllocateChain(size_t roundedSize, size_t n, void*& chain) {
    const bool locked = Lock();
    void** link = &chain;
    size_t taken = 0;
    do {
        void* object = AllocateSmall(roundedSize);
        *link = object;
        link = static_cast<void**>(object);
    } while (++taken < n);
    *link = nullptr;
    Unlock(locked);
    return taken;
}

void PageAllocator::ReleaseChain(void* chain) {
    const bool locked = Lock();
    while (chain) {
        void* next = *static_cast<void**>(chain);
        ReleaseSmall(PageOf(chain), chain);
        chain = next;
    }
    Unlock(locked);
}

// A large block: the header on the first page boundary inside the heap block,
// the object right after it; only ObjectSize and Bump of the header are used.
void* PageAllocator::AllocateLarge(size_t roundedSize) {
    void* block = HeapAlloc(roundedSize + kLargeOverhead);
    auto* header = reinterpret_cast<MemPage*>(AlignUp(block, kPageSize));
    header->ObjectSize = 0;
    header->Bump = static_cast<std::byte*>(block);
    return Bytes(header) + kPageHeaderSize;
}

// The class head of a rounded size; a head never used before (all zero, as
// the allocator is before any constructor has run) is made an empty list.
MemPage* PageAllocator::Head(size_t roundedSize) {
    MemPage* head = &heads_[roundedSize / kAlignment];
    if (!head->Next) head->Next = head->Prev = head;
    return head;
}

void* PageAllocator::AllocateSmall(size_t roundedSize) {
    MemPage* head = Head(roundedSize);
    // The class's allocation page is always the tail of its list.
    MemPage* page = head->Prev != head ? head->Prev : TakePage(roundedSize);
    ++page->InUse;
    void* object;
    if (page->FreeList) {
        object = page->FreeList; // last released, first reused
        page->FreeList = *static_cast<void**>(object);
    } else {
        object = page->Bump;
        const uintptr_t next = reinterpret_cast<uintptr_t>(page->Bump) + roundedSize;
        const uintptr_t lastStart = reinterpret_cast<uintptr_t>(page) + kPageSize - roundedSize;
        page->Bump = next > lastStart ? nullptr : page->Bump + roundedSize;
    }
    // A full page leaves its list; its objects still lead back to it.
    if (!page->FreeList && !page->Bump) list_links::Unlink(page);
    return object;
}

// Pops a page from the pool (refilling it when empty) and makes it the tail
// of the class list of roundedSize.
MemPage* PageAllocator::TakePage(size_t roundedSize) {
    if (!pool_) RefillPool();
    MemPage* page = pool_;
    pool_ = page->Next;
    list_links::LinkAfter(page, Head(roundedSize)->Prev);
    page->ObjectSize = static_cast<uint32_t>(roundedSize);
    page->InUse = 0;
    page->FreeList = nullptr;
    page->Bump = Bytes(page) + kPageHeaderSize;
    return page;
}

// Carves a heap block into pages, pushed in ascending order so the highest is
// on top: 256 pages from a page-aligned block, 255 otherwise.
void PageAllocator::RefillPool() {
    auto* block = static_cast<std::byte*>(HeapAlloc(kPageBlockSize));
    std::byte* end = block + kPageBlockSize;
    for (std::byte* p = AlignUp(block, kPageSize); end - p >= static_cast<ptrdiff_t>(kPageSize); p += kPageSize) {
        auto* page = reinterpret_cast<MemPage*>(p);
        page->Next = pool_;
        pool_ = page;
    }
}

void PageAllocator::ReleaseSmall(MemPage* page, void* object) {
    const bool wasFull = !page->FreeList && !page->Bump;
    --page->InUse;
    *static_cast<void**>(object) = page->FreeList;
    page->FreeList = object;
    if (page->InUse == 0) {
        if (!wasFull) list_links::Unlink(page);
        page->Next = pool_;
        pool_ = page;
    } else if (wasFull) {
        // Back on its list as the tail: the next request of its size reuses
        // the object just released.
        list_links::LinkAfter(page, Head(page->ObjectSize)->Prev);
    }
}

// --- Inspection ---

size_t PageAllocator::PoolPageCount() const {
    size_t n = 0;
    for (const MemPage* p = pool_; p; p = p->Next) ++n;
    return n;
}

size_t PageAllocator::ClassPageCount(size_t roundedSize) const {
    if (roundedSize >= kSmallLimit) return 0;
    const MemPage* head = &heads_[roundedSize / kAlignment];
    size_t n = 0;
    if (head->Next)
        for (const MemPage* p = head->Next; p != head; p = p->Next) ++n;
    return n;
}

const MemPage* PageAllocator::AllocationPage(size_t roundedSize) const {
    if (roundedSize >= kSmallLimit) return nullptr;
    const MemPage* head = &heads_[roundedSize / kAlignment];
    return head->Next && head->Prev != head ? head->Prev : nullptr;
}
