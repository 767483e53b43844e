#include "platform/d3d/com_object.h"

namespace plat {

uint32_t ComObject::AddRef() { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }

bool ComObject::TryAddRef() {
    uint32_t count = count_.load(std::memory_order_relaxed);
    while (count != 0)
        if (count_.compare_exchange_weak(count, count + 1, std::memory_order_relaxed)) return true;
    return false;
}

uint32_t ComObject::Release() {
    const uint32_t left = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

uint64_t NextContentVersion() {
    static std::atomic<uint64_t> counter{0};
    return counter.fetch_add(1, std::memory_order_relaxed) + 1;
}

} // namespace plat
