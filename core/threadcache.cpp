#include "core/threadcache.h"

void* ThreadCache::Refill(PageAllocator& pages, size_t roundedSize) {
    Bin& bin = bins_[roundedSize / kAlignment];
    void* chain;
    const size_t taken = pages.AllocateChain(roundedSize, Batch(roundedSize), chain);
    bin.head = *static_cast<void**>(chain);
    bin.count = taken - 1;
    return chain;
}

// The objects released longest ago go: the ones kept are the likeliest still
// in the processor's cache.
void ThreadCache::HandBack(PageAllocator& pages, Bin& bin, size_t n) {
    if (n == 0) return;
    void** cut = &bin.head; // the link that ends the objects kept
    for (size_t kept = bin.count - n; kept > 0; --kept) cut = static_cast<void**>(*cut);
    void* chain = *cut;
    *cut = nullptr;
    bin.count -= n;
    pages.ReleaseChain(chain);
}

void ThreadCache::Flush(PageAllocator& pages) {
    for (Bin& bin : bins_) HandBack(pages, bin, bin.count);
}
