// The program's allocator against the C library's malloc and against
// mimalloc, in the same run: small allocate/free pairs, batches of small
// blocks, and a mixed-size working set. A private unlocked PageAllocator
// without a thread cache shows the pages alone. As in the game, a second
// thread (the server's) exists while they run.
#include <benchmark/benchmark.h>
#include <mimalloc.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "core/mem.h"
#include "platform/threads.h"

namespace {

struct MiMalloc {
    static void* Alloc(size_t n) { return mi_malloc(n); }
    static void Free(void* p) { mi_free(p); }
};

struct Ours {
    static void* Alloc(size_t n) { return MemAlloc(n); }
    static void Free(void* p) { MemFree(p); }
};

struct Malloc {
    static void* Alloc(size_t n) { return std::malloc(n); }
    static void Free(void* p) { std::free(p); }
};

PageAllocator gUnlocked; // no critical section

struct OursUnlocked {
    static void* Alloc(size_t n) { return gUnlocked.Allocate(n); }
    static void Free(void* p) { gUnlocked.Release(p); }
};

// One allocate/free pair of a fixed small size.
template <class A>
void SmallPair(benchmark::State& state) {
    const auto size = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        void* p = A::Alloc(size);
        benchmark::DoNotOptimize(p);
        A::Free(p);
    }
    state.SetItemsProcessed(state.iterations());
}

// 1,000 blocks of a small size allocated, then released in allocation order.
template <class A>
void SmallBatch(benchmark::State& state) {
    const auto size = static_cast<size_t>(state.range(0));
    std::vector<void*> blocks(1000);
    for (auto _ : state) {
        for (void*& p : blocks) p = A::Alloc(size);
        benchmark::DoNotOptimize(blocks.data());
        for (void* p : blocks) A::Free(p);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(blocks.size()));
}

// A working set of 4,096 live blocks: each step frees a random one and
// allocates a block of random size in its place (mostly small, a few large).
template <class A>
void MixedSizes(benchmark::State& state) {
    constexpr size_t kLive = 4096, kSteps = 1 << 16;
    std::mt19937 rng(12345);
    std::vector<size_t> slot(kSteps), size(kSteps);
    for (size_t i = 0; i < kSteps; ++i) {
        slot[i] = rng() % kLive;
        size[i] = rng() % 32 == 0 ? 4096 + rng() % 16384 : 16 + rng() % 496;
    }
    std::vector<void*> live(kLive);
    for (size_t i = 0; i < kLive; ++i) live[i] = A::Alloc(size[i]);
    size_t step = 0;
    for (auto _ : state) {
        void*& p = live[slot[step]];
        A::Free(p);
        p = A::Alloc(size[step]);
        benchmark::DoNotOptimize(p);
        step = (step + 1) % kSteps;
    }
    for (void* p : live) A::Free(p);
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(SmallPair<Ours>)->RangeMultiplier(2)->Range(16, 256);
BENCHMARK(SmallPair<Malloc>)->RangeMultiplier(2)->Range(16, 256);
BENCHMARK(SmallPair<MiMalloc>)->RangeMultiplier(2)->Range(16, 256);
BENCHMARK(SmallPair<OursUnlocked>)->Arg(64);
BENCHMARK(SmallBatch<Ours>)->Arg(32)->Arg(128);
BENCHMARK(SmallBatch<Malloc>)->Arg(32)->Arg(128);
BENCHMARK(SmallBatch<MiMalloc>)->Arg(32)->Arg(128);
BENCHMARK(SmallBatch<OursUnlocked>)->Arg(32);
BENCHMARK(MixedSizes<Ours>);
BENCHMARK(MixedSizes<Malloc>);
BENCHMARK(MixedSizes<MiMalloc>);
BENCHMARK(MixedSizes<OursUnlocked>);

} // namespace

int main(int argc, char** argv) {
    // The link keeps malloc the C library's (bench/CMakeLists.txt): make sure.
    void* probe = std::calloc(1, 64);
    const bool hijacked = mi_is_in_heap_region(probe);
    std::free(probe);
    if (hijacked) {
        std::fprintf(stderr, "bench_alloc: malloc is mimalloc's, not the C library's\n");
        return 1;
    }
    // The server thread waits while the benchmarks run, as it would between passes.
    plat::Event stop(true);
    plat::Thread server;
    if (!server.Start([&] { stop.Wait(); })) return 1;

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    stop.Set();
    return 0;
}
