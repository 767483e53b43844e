#pragma once
// Reading and forcing the reference count of a device-layer object.

#include <cstdint>

namespace plat {
class ComObject;
}

// The object's count, left as it was.
uint32_t AwGetRefCount(plat::ComObject* object);
// Adds or drops references until the count is `count`; the final count. A
// count of 0 is never reached this way: the object would be deleted under
// the caller, so it stops at 1.
uint32_t AwSetRefCount(plat::ComObject* object, uint32_t count);
