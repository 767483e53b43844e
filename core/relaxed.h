#pragma once
// A value that two threads read and write without a lock and without ordering
// anything else by it: flags and counters that one thread sets and another
// polls. Every access is a relaxed atomic load or store, so plain assignments
// and reads are race-free and cost what a plain access does.

#include <atomic>

template <class T>
class Relaxed {
public:
    constexpr Relaxed(T value = T()) : value_(value) {}
    Relaxed(const Relaxed&) = delete;
    Relaxed& operator=(const Relaxed&) = delete;

    operator T() const { return value_.load(std::memory_order_relaxed); }
    Relaxed& operator=(T value) {
        value_.store(value, std::memory_order_relaxed);
        return *this;
    }

private:
    std::atomic<T> value_;
};
