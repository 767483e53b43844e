#pragma once
// The reference count shared by every object of the device layer: AddRef and
// Release return the new count, and the last Release deletes the object.
// Counts are atomic, so objects may be passed between threads.

#include <atomic>
#include <cstdint>

namespace plat {

class ComObject {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    uint32_t AddRef();
    uint32_t Release();
    // AddRef unless the count has already reached 0 (the object is going):
    // for lookups that may race with the last Release.
    bool TryAddRef();

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    std::atomic<uint32_t> count_{1};
};

// Surfaces and vertex buffers draw their content versions from one
// process-wide counter, so a new object at a freed address never matches a
// version a backend cached for the old one.
uint64_t NextContentVersion();

} // namespace plat
