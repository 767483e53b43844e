#pragma once
// The small collision record a walking object hands to the level world with
// its mover: its height and radius, and a third size the movers do not read.

#include "core/maths.h"
#include "core/mem.h"

class CollisionVolume : public MemObject {
public:
    // From a character record: (boundsHeight, collisionRadius, 0.3 x collisionRadius).
    CollisionVolume(Real height, Real radius, Real inner) : size{height, radius, inner} {}
    virtual ~CollisionVolume() = default;

    Real Height() const { return size[0]; }
    Real Radius() const { return size[1]; }

    Real size[3];
};
