#pragma once
// Paths carried between a frame's parent space and its own space.

#include "core/matrix.h"
#include "Tv/world/intersection.h"

struct SegmentPath {
    Vector3 a, d;
};

inline SegmentPath Into(const Matrix34& inverse, const SegmentPath& s) {
    SegmentPath out;
    inverse.TransformPoint(out.a, s.a);
    inverse.TransformVector(out.d, s.d);
    return out;
}

// Runs test(record, path in the frame's space) and carries a hit's normal back with the frame's matrix.
template <class Frame, class Path, class Test>
bool InFrame(HitRecord& record, Frame& frame, const Path& path, Test&& test) {
    if (!test(record, Into(*frame.GetInverseMatrix(), path))) return false;
    frame.GetMatrix()->TransformVector(record.normal, record.normal);
    return true;
}
