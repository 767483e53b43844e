#pragma once
// The fragments of a burst (a unit blown apart, a minebot's blast): shots of
// the level's "frag_projectile" definition flung upward and outward.

#include <cstdint>

#include "core/maths.h"

// Fires `count` fragments from 0.3 m above `origin` toward points 3 m above
// it, spread by up to 20 m at random in every axis (never downward). Nothing
// when the level has no fragment definition.
void TvFireFragments(const Vector3& origin, int32_t count);
