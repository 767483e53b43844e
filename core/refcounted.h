#pragma once
// Shared objects that delete themselves when their last owner lets go.
//
// The count is a plain integer, not atomic: an object shared between threads
// is counted only under the lock that guards it (server objects under the
// server lock, for example).

#include <cstdint>

#include "core/mem.h"

class RefCounted : public MemObject {
public:
    RefCounted() = default;
    virtual ~RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    // One more owner.
    void AddRef() { ++RefCount; }
    // One owner fewer: the release that brings the count to 0 deletes the
    // object (derived destructors first) and returns 0; otherwise returns the
    // new count.
    int32_t Release() {
        if (--RefCount != 0) return RefCount;
        delete this;
        return 0;
    }

    // Starts at 1: the creator's reference. Owners may read and raise it directly.
    int32_t RefCount = 1;
};

// The abstract root of the larger class families (the level world, server
// actors, client objects, interface widgets and panels).
class RefObject : public RefCounted {
public:
    // The one operation every family defines, each with its own meaning: the
    // client objects make themselves the current object with it, the level
    // world answers a pick hit.
    virtual void MakeCurrent() = 0;
};
