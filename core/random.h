#pragma once
// The game's additive random generator.
//
// A state is a table of 31 words and two cursors three words apart. A step
// adds the word under the second cursor into the word under the first,
// advances both (wrapping at the table's end) and yields the 32-bit sum.
// Two forms are offered: the draw, that sum shifted right by one (0 to
// 2^31 - 1), and the raw sum.
//
// The server thread has its own state and every other thread shares one, so
// the simulation's sequence does not depend on what the client draws. There
// is no lock: the words and cursors are relaxed atomics, so threads sharing
// a state may see repeated values but never a broken one.

#include <atomic>
#include <cstdint>

#include "core/maths.h"

class RandomGenerator {
public:
    static constexpr uint32_t kDefaultSeed = 1;

    explicit RandomGenerator(uint32_t seed = kDefaultSeed) { Seed(seed); }
    RandomGenerator(const RandomGenerator&) = delete;
    RandomGenerator& operator=(const RandomGenerator&) = delete;

    // Refills the table from seed by the linear congruential recurrence
    // 16807 x word mod (2^31 - 1) (seed 0 counts as 1) and discards 310 draws.
    void Seed(uint32_t seed);
    // One step: the raw 32-bit sum.
    uint32_t Next();
    // One step as a draw: the sum shifted right by one, 0 to 2^31 - 1.
    uint32_t Draw() { return Next() >> 1; }

    // The calling thread's state: the server thread's own, or the one every other thread shares.
    static RandomGenerator& ForCallingThread();

private:
    static constexpr int kWords = 31;
    static constexpr int kSeparation = 3;

    std::atomic<uint32_t> words_[kWords];
    std::atomic<int> front_{kSeparation};
    std::atomic<int> rear_{0};
};

// A draw from the calling thread's generator, 0 to 2^31 - 1: the value the
// sound manager, the definitions, the level world, the simulation actors and
// the AI mean by a random number, whether they take it modulo a count, by its
// parity or as it is.
uint32_t TvRandomDraw();
// The raw 32-bit sum of the calling thread's generator: the client objects,
// world effects, interface and front end take this one and shift it
// themselves where they need.
uint32_t TvRandom();
// A uniform float in [0, 1): the low 23 bits of a draw as the mantissa of a float in [1, 2), minus 1.
Real RandomUnit();
// A uniform float in [-1, 1): the same mantissa in a float of [2, 4), minus 3.
Real RandomSigned();
