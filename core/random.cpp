#include "core/random.h"

#include <bit>

#include "core/serverthread.h"

void RandomGenerator::Seed(uint32_t seed) {
    // Schrage's decomposition keeps every product within 32 bits.
    int32_t word = static_cast<int32_t>(seed == 0 ? 1 : seed);
    words_[0].store(static_cast<uint32_t>(word), std::memory_order_relaxed);
    for (int i = 1; i < kWords; ++i) {
        const int32_t hi = word / 127773, lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0) word += 2147483647;
        words_[i].store(static_cast<uint32_t>(word), std::memory_order_relaxed);
    }
    front_.store(kSeparation, std::memory_order_relaxed);
    rear_.store(0, std::memory_order_relaxed);
    for (int i = 0; i < 10 * kWords; ++i) Next();
}

uint32_t RandomGenerator::Next() {
    const int front = front_.load(std::memory_order_relaxed);
    const int rear = rear_.load(std::memory_order_relaxed);
    const uint32_t sum = words_[front].load(std::memory_order_relaxed) + words_[rear].load(std::memory_order_relaxed);
    words_[front].store(sum, std::memory_order_relaxed);
    front_.store(front + 1 == kWords ? 0 : front + 1, std::memory_order_relaxed);
    rear_.store(rear + 1 == kWords ? 0 : rear + 1, std::memory_order_relaxed);
    return sum;
}

RandomGenerator& RandomGenerator::ForCallingThread() {
    static RandomGenerator serverThread;
    static RandomGenerator otherThreads;
    return OnServerThread() ? serverThread : otherThreads;
}

uint32_t TvRandom() { return RandomGenerator::ForCallingThread().Next(); }

uint32_t TvRandomDraw() { return RandomGenerator::ForCallingThread().Draw(); }

namespace {

Real MantissaFloat(uint32_t exponentBits) {
    return std::bit_cast<Real>(exponentBits | (TvRandomDraw() & 0x7FFFFFu));
}

} // namespace

Real RandomUnit() { return MantissaFloat(0x3F800000u) - 1.0f; }

Real RandomSigned() { return MantissaFloat(0x40000000u) - 3.0f; }
