#pragma once
// Vector3 components by axis number (0 x, 1 y, 2 z), for tests that run the
// same rule on every axis.

#include "core/maths.h"

inline Real Axis(const Vector3& v, int k) { return k == 0 ? v.x : (k == 1 ? v.y : v.z); }
inline Real& Axis(Vector3& v, int k) { return k == 0 ? v.x : (k == 1 ? v.y : v.z); }
