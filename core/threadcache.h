#pragma once
// A thread's cache of small objects in front of a PageAllocator.
//
// Released small objects wait here, per rounded size and last released first
// reused, until the thread asks for that size again; a request the cache
// cannot serve takes a few objects from the pages in one critical section,
// and a full cache hands half of a size's objects back the same way. The
// pages count cached objects as in use, so a page holding one stays off the
// pool until the cache gives it back. Only its own thread touches a cache:
// it needs no lock.

#include <cstddef>
#include <cstdint>

#include "core/mem.h"

class ThreadCache {
public:
    constexpr ThreadCache() = default;
    ThreadCache(const ThreadCache&) = delete;
    ThreadCache& operator=(const ThreadCache&) = delete;

    // How many objects of a rounded small size the cache keeps at most (about
    // kBytesPerSize bytes: enough for the program's small churn, too little
    // to hoard pages), and how many one refill or one hand-back moves.
    static constexpr size_t kBytesPerSize = 8192;
    static constexpr size_t Capacity(size_t roundedSize) {
        const size_t count = kBytesPerSize / roundedSize;
        return count < 2 ? 2 : count > 64 ? 64 : count;
    }
    static constexpr size_t Batch(size_t roundedSize) { return Capacity(roundedSize) / 2; }

    // A small object of the given rounded size (below kSmallLimit).
    void* Allocate(PageAllocator& pages, size_t roundedSize) {
        Bin& bin = bins_[roundedSize / kAlignment];
        if (void* object = bin.head) {
            bin.head = *static_cast<void**>(object);
            --bin.count;
            return object;
        }
        return Refill(pages, roundedSize);
    }

    // Keeps a released small object of the given rounded size.
    void Release(PageAllocator& pages, void* object, size_t roundedSize) {
        Bin& bin = bins_[roundedSize / kAlignment];
        if (bin.count == Capacity(roundedSize)) HandBack(pages, bin, Batch(roundedSize));
        *static_cast<void**>(object) = bin.head;
        bin.head = object;
        ++bin.count;
    }

    // Gives every cached object back to the pages.
    void Flush(PageAllocator& pages);

    // Objects of a rounded small size waiting in the cache.
    size_t CachedCount(size_t roundedSize) const { return bins_[roundedSize / kAlignment].count; }

private:
    struct Bin {
        void* head = nullptr; // chain through each object's first word
        size_t count = 0;
    };

    void* Refill(PageAllocator& pages, size_t roundedSize);
    // Hands n of a bin's objects (at most its count) back to the pages.
    static void HandBack(PageAllocator& pages, Bin& bin, size_t n);

    Bin bins_[kSizeClassCount] = {};
};
