#include "core/threadcache.h"

void* ThreadCache::Refill(PageAllocator& pages, size_t roundedSize) {
    Bin& bin = bins_[roundedSize / kAlignment];
    void* chain;
    const size_t taken = pages.AllocateChain(roundedSize, Batch(roundedSize), chain);
    bin.head = *static_cast<void**>(chain);
    bin.count = taken - 1;
    return chain;
}

// The objects released last go: they lead the chain, so handing them back
// walks no further than they reach, and their pages serve them again first.
void ThreadCache::HandBack(PageAllocator& pages, Bin& bin, size_t n) {
    if (n == 0) return;
    void* chain = bin.head;
    void** cut = &bin.head; // becomes the link after the last object handed back
    for (size_t moved = 0; moved < n; ++moved) cut = static_cast<void**>(*cut);
    bin.head = *cut;
    *cut = nullptr;
    bin.count -= n;
    pages.ReleaseChain(chain);
}

void ThreadCache::Flush(PageAllocator& pages) {
    for (Bin& bin : bins_) HandBack(pages, bin, bin.count);
}
