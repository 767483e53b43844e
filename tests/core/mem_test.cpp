#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <random>
#include <thread>
#include <vector>

#include "core/mem.h"
#include "core/threadcache.h"
#include "platform/process.h"
#include "platform/threads.h"
#include "platform/virtual_clock.h"

namespace {

std::byte* Bytes(const void* p) { return static_cast<std::byte*>(const_cast<void*>(p)); }
uintptr_t Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }
size_t ObjectsPerPage(size_t rounded) { return kSmallLimit / rounded; }

// A heap that records what the allocator asks of it and hands out blocks at a
// chosen distance from a page boundary; it frees everything at the end, so a
// private allocator leaves nothing behind.
class RecordingHeap final : public PageHeap {
public:
    explicit RecordingHeap(size_t offsetFromPage = kAlignment) : offset_(offsetFromPage) {}
    ~RecordingHeap() {
        for (void* base : bases_) std::free(base);
    }

    void* Allocate(size_t size) override {
        void* base = std::aligned_alloc(kPageSize, (size + offset_ + kPageSize - 1) / kPageSize * kPageSize);
        bases_.push_back(base);
        requests.push_back(size);
        blocks.push_back(Bytes(base) + offset_);
        return blocks.back();
    }
    void Release(void* block) override { released.push_back(block); }

    std::vector<size_t> requests;
    std::vector<void*> blocks;
    std::vector<void*> released;

private:
    size_t offset_;
    std::vector<void*> bases_;
};

class PageAllocatorTest : public testing::Test {
protected:
    RecordingHeap heap;
    PageAllocator alloc{&heap};
};

TEST(PageAllocatorRounding, RoundsUpToTheAlignmentWithoutWrapping) {
    struct Case {
        size_t request, rounded;
    };
    const Case cases[] = {
        {0, kAlignment},
        {1, kAlignment},
        {kAlignment, kAlignment},
        {kAlignment + 1, 2 * kAlignment},
        {kSmallLimit - kAlignment, kSmallLimit - kAlignment},
        {kSmallLimit - kAlignment + 1, kSmallLimit},
    };
    for (const Case& c : cases) EXPECT_EQ(PageAllocator::RoundSize(c.request), c.rounded) << c.request;

    // Sizes near the top of the range must not wrap round to a small size.
    for (size_t huge : {SIZE_MAX, SIZE_MAX - kAlignment, SIZE_MAX - kLargeOverhead}) {
        const size_t rounded = PageAllocator::RoundSize(huge);
        EXPECT_GT(rounded, SIZE_MAX / 2) << huge;
        EXPECT_EQ(rounded % kAlignment, 0u);
        EXPECT_GT(rounded + kLargeOverhead, rounded); // the large-block size does not overflow
    }
}

TEST_F(PageAllocatorTest, EachSizeClassFillsItsPageInAddressOrderThenLeavesItsList) {
    for (size_t size : {kAlignment, 3 * kAlignment, size_t{1000}, kSmallLimit - kAlignment}) {
        SCOPED_TRACE(size);
        const size_t rounded = PageAllocator::RoundSize(size);
        const size_t perPage = ObjectsPerPage(rounded);
        void* first = alloc.Allocate(size);
        MemPage* page = PageAllocator::PageOf(first);
        EXPECT_EQ(Bytes(first), Bytes(page) + kPageHeaderSize);
        EXPECT_EQ(page->ObjectSize, rounded);
        for (size_t i = 1; i < perPage; ++i) {
            EXPECT_EQ(alloc.AllocationPage(rounded), page);
            ASSERT_EQ(Bytes(alloc.Allocate(size)), Bytes(first) + i * rounded);
        }
        EXPECT_EQ(page->InUse, static_cast<int32_t>(perPage));
        EXPECT_EQ(alloc.ClassPageCount(rounded), 0u); // full
        void* next = alloc.Allocate(size);
        EXPECT_NE(PageAllocator::PageOf(next), page);
        EXPECT_EQ(alloc.ClassPageCount(rounded), perPage > 1 ? 1u : 0u);
    }
}

TEST_F(PageAllocatorTest, RequestsSharingARoundedSizeShareTheirPages) {
    void* a = alloc.Allocate(kAlignment + 1);
    void* b = alloc.Allocate(2 * kAlignment);
    void* c = alloc.Allocate(1);
    EXPECT_EQ(PageAllocator::PageOf(a), PageAllocator::PageOf(b));
    EXPECT_EQ(Bytes(b), Bytes(a) + 2 * kAlignment);
    EXPECT_NE(PageAllocator::PageOf(c), PageAllocator::PageOf(a));
}

TEST_F(PageAllocatorTest, TheSmallLimitIsTheFirstLargeSize) {
    void* small = alloc.Allocate(kSmallLimit - kAlignment);
    EXPECT_EQ(PageAllocator::PageOf(small)->ObjectSize, kSmallLimit - kAlignment);
    ASSERT_EQ(heap.requests.size(), 1u);
    EXPECT_EQ(heap.requests[0], kPageBlockSize);

    void* large = alloc.Allocate(kSmallLimit - kAlignment + 1);
    ASSERT_EQ(heap.requests.size(), 2u);
    EXPECT_EQ(heap.requests[1], kSmallLimit + kLargeOverhead);
    MemPage* header = PageAllocator::PageOf(large);
    EXPECT_EQ(header->ObjectSize, 0u);
    EXPECT_EQ(Bytes(large), Bytes(header) + kPageHeaderSize);
    EXPECT_EQ(Bytes(header->Bump), Bytes(heap.blocks[1]));
}

TEST(PageAllocatorLarge, HeaderSitsOnThePageBoundaryInsideTheHeapBlock) {
    // Heap blocks at every kind of distance from a page boundary, including none.
    for (size_t offset : {size_t{0}, kAlignment, kPageSize - kAlignment}) {
        SCOPED_TRACE(offset);
        RecordingHeap heap(offset);
        PageAllocator alloc(&heap);
        const size_t size = 3 * kPageSize + 5;
        auto* object = static_cast<std::byte*>(alloc.Allocate(size));
        std::byte* block = Bytes(heap.blocks.at(0));
        MemPage* header = PageAllocator::PageOf(object);
        EXPECT_EQ(Address(header) % kPageSize, 0u);
        EXPECT_GE(Bytes(header), block);
        EXPECT_LT(Bytes(header), block + kPageSize);
        EXPECT_LE(object + size, block + heap.requests[0]);
        std::memset(object, 0xAB, size);

        alloc.Release(object);
        ASSERT_EQ(heap.released.size(), 1u);
        EXPECT_EQ(heap.released[0], block);
    }
}

TEST(PageAllocatorPool, ARefillYieldsEveryWholePageOfTheBlockHighestFirst) {
    struct Case {
        size_t offset, pages;
    };
    for (Case c : {Case{0, kPageBlockSize / kPageSize}, Case{kAlignment, kPageBlockSize / kPageSize - 1}}) {
        SCOPED_TRACE(c.offset);
        RecordingHeap heap(c.offset);
        PageAllocator alloc(&heap);
        void* first = alloc.Allocate(kAlignment);
        ASSERT_EQ(heap.requests.size(), 1u);
        EXPECT_EQ(alloc.PoolPageCount(), c.pages - 1);

        std::byte* block = Bytes(heap.blocks[0]);
        auto* lastPage = reinterpret_cast<std::byte*>((Address(block + kPageBlockSize) & ~(kPageSize - 1)) - kPageSize);
        EXPECT_EQ(Bytes(PageAllocator::PageOf(first)), lastPage);
        // Each further size class takes the next page down.
        EXPECT_EQ(Bytes(PageAllocator::PageOf(alloc.Allocate(2 * kAlignment))), lastPage - kPageSize);

        // Emptying the pool takes one more heap block, no sooner.
        std::vector<void*> objects;
        for (size_t i = 0; i < c.pages - 2; ++i) objects.push_back(alloc.Allocate(kSmallLimit - kAlignment));
        EXPECT_EQ(heap.requests.size(), 1u);
        EXPECT_EQ(alloc.PoolPageCount(), 0u);
        alloc.Allocate(kSmallLimit - kAlignment);
        EXPECT_EQ(heap.requests.size(), 2u);
    }
}

TEST_F(PageAllocatorTest, ReleasedObjectsAreReusedLastInFirstOut) {
    void* a = alloc.Allocate(64);
    void* b = alloc.Allocate(64);
    void* c = alloc.Allocate(64);
    alloc.Release(a);
    alloc.Release(c);
    EXPECT_EQ(alloc.Allocate(64), c);
    EXPECT_EQ(alloc.Allocate(64), a);
    EXPECT_EQ(Bytes(alloc.Allocate(64)), Bytes(b) + 2 * 64); // then bump again
    alloc.Release(nullptr);                                 // does nothing
}

TEST_F(PageAllocatorTest, ReleasingFromAFullPageMakesItTheAllocationPage) {
    const size_t size = 256;
    const size_t perPage = ObjectsPerPage(size);
    std::vector<void*> first;
    for (size_t i = 0; i < perPage; ++i) first.push_back(alloc.Allocate(size));
    void* onSecondPage = alloc.Allocate(size);
    MemPage* fullPage = PageAllocator::PageOf(first[0]);
    ASSERT_NE(PageAllocator::PageOf(onSecondPage), fullPage);
    ASSERT_EQ(alloc.ClassPageCount(size), 1u);

    alloc.Release(first[5]);
    EXPECT_EQ(alloc.ClassPageCount(size), 2u);
    EXPECT_EQ(alloc.AllocationPage(size), fullPage);
    EXPECT_EQ(alloc.Allocate(size), first[5]);
    // Full again: it leaves the list and the second page serves.
    EXPECT_EQ(alloc.AllocationPage(size), PageAllocator::PageOf(onSecondPage));
}

TEST_F(PageAllocatorTest, APageWithNoObjectLeftGoesBackToThePoolForAnySize) {
    // The only object of a full page (one object per page at the largest small size).
    void* lone = alloc.Allocate(kSmallLimit - kAlignment);
    const size_t pool = alloc.PoolPageCount();
    alloc.Release(lone);
    EXPECT_EQ(alloc.PoolPageCount(), pool + 1);
    EXPECT_EQ(alloc.ClassPageCount(kSmallLimit - kAlignment), 0u);

    // The last object of a page that is still on its class list.
    void* a = alloc.Allocate(32);
    void* b = alloc.Allocate(32);
    MemPage* page = PageAllocator::PageOf(a);
    alloc.Release(a);
    EXPECT_EQ(alloc.ClassPageCount(32), 1u);
    alloc.Release(b);
    EXPECT_EQ(alloc.ClassPageCount(32), 0u);
    EXPECT_EQ(alloc.PoolPageCount(), pool + 1);

    // The pool's top page serves the next new class, fresh.
    void* other = alloc.Allocate(1024);
    EXPECT_EQ(PageAllocator::PageOf(other), page);
    EXPECT_EQ(Bytes(other), Bytes(page) + kPageHeaderSize);
    EXPECT_EQ(page->ObjectSize, 1024u);
    EXPECT_EQ(page->InUse, 1);
}

// One thread's share of a churn through `alloc` (MemAlloc/MemFree when null):
// random allocations and releases, each block keeping the pattern its thread
// wrote until the thread releases it.
void Churn(PageAllocator* alloc, unsigned seed) {
    auto allocate = [alloc](size_t n) { return alloc ? alloc->Allocate(n) : MemAlloc(n); };
    auto release = [alloc](void* p) { alloc ? alloc->Release(p) : MemFree(p); };
    std::mt19937 rng(seed);
    std::vector<std::pair<unsigned char*, size_t>> live;
    bool intact = true;
    for (int step = 0; step < 20000; ++step) {
        if (live.size() < 200 && (live.empty() || rng() % 2)) {
            size_t size = rng() % 8 == 0 ? 5000 + rng() % 3000 : 1 + rng() % 600;
            auto* p = static_cast<unsigned char*>(allocate(size));
            std::memset(p, static_cast<int>(seed), size);
            live.emplace_back(p, size);
        } else {
            size_t i = rng() % live.size();
            auto [p, size] = live[i];
            intact &= p[0] == static_cast<unsigned char>(seed) && p[size - 1] == static_cast<unsigned char>(seed);
            release(p);
            live[i] = live.back();
            live.pop_back();
        }
    }
    for (auto [p, size] : live) {
        intact &= p[size / 2] == static_cast<unsigned char>(seed);
        release(p);
    }
    EXPECT_TRUE(intact);
}

// Half of the threads are started by the platform layer, half outside it (as
// the audio callback's or a network library's are): the lock serves them all.
void ChurnOnThreads(PageAllocator* alloc) {
    constexpr int kThreads = 4;
    std::unique_ptr<plat::Thread> ours[kThreads / 2];
    std::thread foreign[kThreads / 2];
    for (int t = 0; t < kThreads / 2; ++t) {
        ours[t] = std::make_unique<plat::Thread>();
        ASSERT_TRUE(ours[t]->Start([alloc, t] { Churn(alloc, 0x41 + t); }));
        foreign[t] = std::thread([alloc, t] { Churn(alloc, 0x61 + t); });
    }
    for (auto& thread : ours) thread->Join();
    for (auto& thread : foreign) thread.join();
}

TEST(PageAllocatorLocking, ThreadsShareALockedAllocator) {
    RecordingHeap heap;
    PageAllocator alloc(&heap);
    alloc.EnableLocking();
    alloc.EnableLocking(); // already on: no second critical section
    EXPECT_TRUE(alloc.IsLocking());
    ChurnOnThreads(&alloc);
    alloc.DisableLocking();
    EXPECT_FALSE(alloc.IsLocking());
    alloc.Release(alloc.Allocate(10)); // still works unlocked
}

TEST(MemAlloc, ServesAlignedDistinctBlocksToEveryThread) {
    std::vector<void*> blocks;
    for (size_t size : {size_t{0}, size_t{0}, size_t{1}, size_t{17}, kSmallLimit - 1, kSmallLimit, size_t{100000}}) {
        void* p = MemAlloc(size);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(Address(p) % kAlignment, 0u) << size;
        std::memset(p, 0x5A, size);
        for (void* q : blocks) EXPECT_NE(p, q);
        blocks.push_back(p);
    }
    for (void* p : blocks) MemFree(p);
    MemFree(nullptr);

    ChurnOnThreads(nullptr);
}

TEST_F(PageAllocatorTest, AThreadCacheMovesObjectsInBatchesAndServesTheRestItself) {
    constexpr size_t kSize = 64;
    const size_t batch = ThreadCache::Batch(kSize), capacity = ThreadCache::Capacity(kSize);
    ASSERT_GE(batch, 2u);
    ASSERT_EQ(capacity, 2 * batch);
    ThreadCache cache;

    // One refill takes a batch from the pages, in address order.
    auto* first = static_cast<std::byte*>(cache.Allocate(alloc, kSize));
    MemPage* page = PageAllocator::PageOf(first);
    const size_t allPages = alloc.PoolPageCount() + 1;
    EXPECT_EQ(page->InUse, static_cast<int32_t>(batch));
    EXPECT_EQ(cache.CachedCount(kSize), batch - 1);
    std::vector<void*> held{first};
    for (size_t i = 1; i < batch; ++i) {
        held.push_back(cache.Allocate(alloc, kSize));
        EXPECT_EQ(held.back(), first + i * kSize);
    }
    EXPECT_EQ(page->InUse, static_cast<int32_t>(batch)); // served without the pages

    // A released object waits in the cache and is the next one served.
    cache.Release(alloc, held[1], kSize);
    EXPECT_EQ(page->InUse, static_cast<int32_t>(batch));
    EXPECT_EQ(cache.Allocate(alloc, kSize), held[1]);

    // Flushed, the cache gives what it kept back to the pages.
    while (held.size() < capacity + 1) held.push_back(cache.Allocate(alloc, kSize));
    std::vector<MemPage*> pages;
    for (void* p : held)
        if (std::find(pages.begin(), pages.end(), PageAllocator::PageOf(p)) == pages.end())
            pages.push_back(PageAllocator::PageOf(p));
    auto inUse = [&] {
        int32_t sum = 0;
        for (MemPage* p : pages) sum += p->InUse;
        return sum;
    };
    cache.Flush(alloc);
    EXPECT_EQ(cache.CachedCount(kSize), 0u);
    EXPECT_EQ(inUse(), static_cast<int32_t>(held.size()));

    // A full cache hands a batch back before it keeps one more.
    for (size_t i = 0; i < capacity; ++i) cache.Release(alloc, held[i], kSize);
    EXPECT_EQ(cache.CachedCount(kSize), capacity);
    EXPECT_EQ(inUse(), static_cast<int32_t>(held.size()));
    cache.Release(alloc, held[capacity], kSize);
    EXPECT_EQ(cache.CachedCount(kSize), capacity - batch + 1);
    EXPECT_EQ(inUse(), static_cast<int32_t>(held.size() - batch));
    EXPECT_EQ(cache.Allocate(alloc, kSize), held[capacity]); // the last released is still first served

    // When every object is back, every page is in the pool again.
    cache.Release(alloc, held[capacity], kSize);
    cache.Flush(alloc);
    EXPECT_EQ(alloc.PoolPageCount(), allPages);
    EXPECT_EQ(alloc.ClassPageCount(kSize), 0u);
}

TEST_F(PageAllocatorTest, TheLargestSmallSizesAreCachedTooButOnlyAFew) {
    const size_t largest = kSmallLimit - kAlignment;
    EXPECT_EQ(ThreadCache::Batch(largest), 1u);
    ThreadCache cache;
    void* a = cache.Allocate(alloc, largest);
    void* b = cache.Allocate(alloc, largest);
    EXPECT_NE(PageAllocator::PageOf(a), PageAllocator::PageOf(b)); // one object per page
    cache.Release(alloc, a, largest);
    cache.Release(alloc, b, largest);
    EXPECT_EQ(cache.CachedCount(largest), ThreadCache::Capacity(largest));
    cache.Flush(alloc);
    EXPECT_EQ(alloc.ClassPageCount(largest), 0u);
}

#ifndef TAVRIN_MALLOC_ALLOCATOR
// (The sanitizer build hands MemAlloc's blocks to malloc, and the sanitizer
// rejects impossible requests itself, before our handlers.)

TEST(MemAlloc, AThreadsCachedObjectsGoBackWhenItEnds) {
    // A size nothing else uses: its page's free list shows what came back.
    constexpr size_t kSize = 3000;
    void* released = nullptr;
    std::thread foreign([&] {
        released = MemAlloc(kSize);
        MemFree(released); // kept in the thread's cache
    });
    foreign.join();
    void* next = MemAlloc(kSize);
    EXPECT_EQ(next, released);
    MemFree(next);
}

// Uses an allocation, so the optimizer cannot leave it out.
const void* volatile keptAddress = nullptr;
void KeepAddress(const void* p) { keptAddress = p; }

TEST(MemAllocDeathTest, ARequestThatCanNeverBeMetEndsTheProgramAsOutOfMemory) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const int status = plat::kExitOutOfMemory & 0xFF;
    EXPECT_EXIT(RuntimeHeapAlloc(SIZE_MAX / 2), testing::ExitedWithCode(status), "");
    // Sizes that would wrap round when rounded or given the large-block header.
    EXPECT_EXIT(MemAlloc(SIZE_MAX), testing::ExitedWithCode(status), "");
    EXPECT_EXIT(MemAlloc(SIZE_MAX - kLargeOverhead), testing::ExitedWithCode(status), "");
    // The runtime's allocations run the same handler, for containers too.
    constexpr size_t kPetabyte = size_t{1} << 50;
    EXPECT_EXIT(KeepAddress(std::vector<char>(kPetabyte).data()), testing::ExitedWithCode(status), "");
    EXPECT_EXIT(
        {
            std::string text;
            text.reserve(kPetabyte);
            KeepAddress(text.data());
        },
        testing::ExitedWithCode(status), "");
}

#endif

void ExitWithStatus(bool ok) { std::exit(ok ? 0 : 1); }

// The new handler gives the reserve back and retries; a thread that recovers
// starts a fresh count, so only a request the retries cannot help ends the program.
TEST(MemAllocDeathTest, TheNewHandlerCountsOnlyRetriesInARow) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const int status = plat::kExitOutOfMemory & 0xFF;
    EXPECT_EXIT(
        {
            plat::VirtualClock clock(0);
            const std::new_handler handler = std::get_new_handler();
            for (int episode = 0; episode < 3; ++episode) {
                for (int i = 0; i < kOutOfMemoryRetries; ++i) handler();
                clock.Advance(2000 * plat::VirtualClock::kMillisecond);
            }
            ExitWithStatus(true);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            plat::VirtualClock clock(0);
            const std::new_handler handler = std::get_new_handler();
            for (int i = 0; i <= kOutOfMemoryRetries; ++i) handler();
            ExitWithStatus(true);
        },
        testing::ExitedWithCode(status), "");
}

TEST(MemAllocDeathTest, ShutdownPutsThePreviousNewHandlerBack) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // In a child process: the test's own allocator stays as it is.
    EXPECT_EXIT(
        {
            const std::new_handler ours = std::get_new_handler();
            MemShutdown();
            const bool restored = std::get_new_handler() == nullptr;
            MemInit();
            ExitWithStatus(ours != nullptr && restored && std::get_new_handler() == ours);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
