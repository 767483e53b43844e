#pragma once
// The program's allocator. MemAlloc/MemFree serve every allocation of the
// program's own objects, containers and buffers.
//
// Small requests come from pages of kPageSize bytes, each serving one rounded
// size (its size class); the pages are carved from kPageBlockSize blocks of the
// runtime heap and never given back. A page starts with a MemPage header, so
// an object's page (and its size) is found by masking the object's address:
// there is no per-object header. Large requests take a heap block with room for
// a page-aligned header in front of the object, which MemFree finds the same way.
//
// One critical section serialises the pages once MemInit has run (at static
// initialisation), on every thread; before MemInit and after MemShutdown they
// run unlocked, so code that allocates from other static initialisers or
// exit-time destructors works in any order. In front of the pages each thread
// keeps a small cache of released small objects (core/threadcache.h), which
// serves most requests without the lock.
//
// With TAVRIN_MALLOC_ALLOCATOR defined (the sanitizer build) MemAlloc/MemFree
// hand every block to malloc/free instead, so the sanitizer sees each one;
// PageAllocator itself is still built and tested there.

#include <cstddef>
#include <cstdint>

// Layout constants of the page design.
constexpr size_t kPageSize = 4096;
constexpr size_t kPageHeaderSize = 48;
constexpr size_t kAlignment = 16;                           // every request is rounded up to a multiple
constexpr size_t kSmallLimit = kPageSize - kPageHeaderSize; // rounded sizes below this are small
constexpr size_t kSizeClassCount = kPageSize / kAlignment;  // class heads, indexed by rounded size / kAlignment
constexpr size_t kPageBlockSize = 1 << 20;                  // heap block that refills the free-page pool
constexpr size_t kLargeOverhead = kPageSize + kPageHeaderSize;
constexpr size_t kEmergencyReserveSize = 102400;
// How often one heap request runs the out-of-memory handler before the program
// gives up: renewing the reserve cannot help a request that never fits, and
// without a bound such a request would retry for ever.
constexpr int kOutOfMemoryRetries = 8;

// Returns a block of at least `size` bytes, aligned to kAlignment; never null
// (when the heap is exhausted the program ends with plat::kExitOutOfMemory).
// 0 bytes is served as kAlignment bytes. The contents are not cleared.
void* MemAlloc(size_t size);
// Releases a block from MemAlloc; null does nothing. Foreign addresses and
// double releases are not detected.
void MemFree(void* block);

// The allocator's start and end, run by one static object of mem.cpp: MemInit
// turns locking on, takes the emergency reserve (when it cannot, an "Out of
// Memory" box is shown and the program ends with plat::kExitOutOfMemory) and
// installs MemOutOfMemoryHandler as the runtime's new handler, so a failed
// `new` (of a std::vector or std::string too) renews the reserve and retries,
// at most kOutOfMemoryRetries times in a row on a thread (calls a second or
// more apart are not in a row) before the program ends with
// plat::kExitOutOfMemory; MemShutdown turns locking off, gives the
// reserve back and reinstalls the previous new handler. Calling either again
// while already in that state does nothing.
void MemInit();
void MemShutdown();

// Runs when a heap request fails: gives the emergency reserve back and takes a
// new one; returns 1 to ask for a retry, or ends the program with
// plat::kExitOutOfMemory when no new reserve can be had.
int MemOutOfMemoryHandler();

// The runtime heap behind the allocator: never null. A failed request runs
// MemOutOfMemoryHandler and is retried, at most kOutOfMemoryRetries times;
// then the program ends with plat::kExitOutOfMemory.
void* RuntimeHeapAlloc(size_t size);
void RuntimeHeapFree(void* block);

// Header at the start of every page and of every large block (kPageHeaderSize
// bytes). The class heads share its shape; only their Next/Prev are used.
struct MemPage {
    MemPage* Next;       // next page of the size class (or next page of the pool)
    MemPage* Prev;       // previous page of the size class
    uint32_t ObjectSize; // rounded size of the class; 0 marks a large block
    int32_t InUse;       // objects handed out and not released
    void* FreeList;      // last released object; each free object's first word links the next
    std::byte* Bump;     // first byte never handed out; null when no object fits any more.
                         // A large block keeps its heap block's address here.
    std::byte Padding[kPageHeaderSize - 40];
};
static_assert(sizeof(MemPage) == kPageHeaderSize);

// Where a PageAllocator takes its memory from (tests supply their own to see
// the requests and to hand out blocks of chosen alignment).
class PageHeap {
public:
    virtual void* Allocate(size_t size) = 0; // never null
    virtual void Release(void* block) = 0;

protected:
    ~PageHeap() = default;
};

// The page allocator itself; MemAlloc/MemFree use one global instance, built
// at compile time so that it works before any static initialiser has run.
// Trivially destructible on purpose: its pages outlive every other object.
class PageAllocator {
public:
    // heap == nullptr: the runtime heap (RuntimeHeapAlloc / RuntimeHeapFree).
    constexpr explicit PageAllocator(PageHeap* heap = nullptr) : heap_(heap) {}
    PageAllocator(const PageAllocator&) = delete;
    PageAllocator& operator=(const PageAllocator&) = delete;

    void* Allocate(size_t size);
    void Release(void* block);

    // Takes up to n objects of a small rounded size in one critical section,
    // each served as Allocate would; returns them as a chain linked through
    // their first words (null-terminated) and how many it holds (at least 1).
    size_t AllocateChain(size_t roundedSize, size_t n, void*& chain);
    // Releases a null-terminated chain of small objects linked through their
    // first words, in one critical section, as Release would one by one.
    void ReleaseChain(void* chain);

    // Turns the critical section on (creating it) or off (deleting it). While
    // it is on, every thread takes it for every operation on the pages.
    void EnableLocking();
    void DisableLocking();
    bool IsLocking() const { return locking_; }

    // The request size after rounding: a multiple of kAlignment, at least kAlignment.
    static size_t RoundSize(size_t size);
    // The header of the page (or large block) an object lies in.
    static MemPage* PageOf(const void* object);

    // Inspection, unlocked (for a quiet allocator): pages waiting in the
    // free-page pool; pages on the list of a small rounded size; the page its
    // next request is served from (null when none).
    size_t PoolPageCount() const;
    size_t ClassPageCount(size_t roundedSize) const;
    const MemPage* AllocationPage(size_t roundedSize) const;

private:
    MemPage* Head(size_t roundedSize);
    MemPage* TakePage(size_t roundedSize);
    void RefillPool();
    void* AllocateLarge(size_t roundedSize);
    void* AllocateSmall(size_t roundedSize);
    void ReleaseSmall(MemPage* page, void* object);
    void* HeapAlloc(size_t size);
    void HeapFree(void* block);
    bool Lock();
    void Unlock(bool taken);

    PageHeap* heap_;
    MemPage* pool_ = nullptr;
    bool locking_ = false;
    // Storage of the critical section, constructed by EnableLocking (kept
    // opaque so that this header stays light).
    alignas(void*) unsigned char lockStorage_[48] = {};
    MemPage heads_[kSizeClassCount] = {};
};

// Base of the program's own heap objects: `new` and `delete` of a class derived
// from it go through MemAlloc/MemFree.
class MemObject {
public:
    static void* operator new(size_t size) { return MemAlloc(size); }
    static void* operator new[](size_t size) { return MemAlloc(size); }
    static void operator delete(void* block) noexcept { MemFree(block); }
    static void operator delete[](void* block) noexcept { MemFree(block); }
    // The class forms above hide the global placement form; keep it usable.
    static void* operator new(size_t, void* where) noexcept { return where; }
    static void operator delete(void*, void*) noexcept {}
};
