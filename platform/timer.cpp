#include "platform/timer.h"

#include <atomic>
#include <ctime>

namespace plat {
namespace {

// Null means the system's monotonic clock; a plain pointer keeps the source
// usable from static initialisers of other modules.
std::atomic<TimeSource*> g_source{nullptr};

uint64_t SystemNanoseconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1'000'000'000u + static_cast<uint64_t>(ts.tv_nsec);
}

uint64_t NowNanoseconds() {
    TimeSource* source = g_source.load(std::memory_order_acquire);
    return source ? source->NowNanoseconds() : SystemNanoseconds();
}

} // namespace

void SetTimeSource(TimeSource* source) { g_source.store(source, std::memory_order_release); }

uint64_t ReadTimeStampCounter() { return NowNanoseconds() * kTimeStampCyclesPerNanosecond; }

uint32_t MillisecondTimer() { return static_cast<uint32_t>(NowNanoseconds() / 1'000'000u); }

uint64_t KnownTimeStampFrequency() {
    TimeSource* source = g_source.load(std::memory_order_acquire);
    return source ? source->KnownCounterFrequency() : kTimeStampCyclesPerNanosecond * 1'000'000'000u;
}

} // namespace plat
