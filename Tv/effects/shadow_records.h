#pragma once
// The shadow builder's records that the level world keeps in its two lists:
// the world owns them and deletes them when it goes. The builder derives its
// edge and volume records from these.

#include "core/mem.h"

struct ShadowEdge : MemObject {
    virtual ~ShadowEdge() = default;
};

struct LevelShadowVolume : MemObject {
    virtual ~LevelShadowVolume() = default;
};
