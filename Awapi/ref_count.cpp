#include "Awapi/ref_count.h"

#include "platform/d3d/com_object.h"

uint32_t AwGetRefCount(plat::ComObject* object) {
    object->AddRef();
    return object->Release();
}

uint32_t AwSetRefCount(plat::ComObject* object, uint32_t count) {
    const uint32_t target = count == 0 ? 1 : count;
    uint32_t now = object->AddRef();
    while (now > target) now = object->Release();
    while (now < target) now = object->AddRef();
    return now;
}
