#pragma once
// A bounding-box hierarchy over items (triangles, child nodes), and a segment
// prepared for quick box tests that allow some slack around every box.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/maths.h"

struct BoxItem {
    Vector3 lo, hi;
    uint32_t id;
};

class BoxHierarchy {
public:
    // A walk keeps at most this many nodes pending.
    static constexpr int kMaxDepth = 64;

    // An inner node (count 0) is followed by its first child and names its
    // second; a leaf holds the items [first, first + count) of Items().
    struct Node {
        Vector3 lo, hi;
        uint32_t first, count;
    };

    // Groups the items into leaves of at most leafSize. With keepOrder every
    // leaf holds a run of the items as given and a walk that takes first
    // children first meets them in that order; otherwise items are regrouped
    // by place. Boxes may be infinite.
    void Build(std::vector<BoxItem> items, bool keepOrder, uint32_t leafSize);

    bool Empty() const { return nodes_.empty(); }
    const std::vector<Node>& Nodes() const { return nodes_; }
    const std::vector<BoxItem>& Items() const { return items_; }

private:
    uint32_t BuildRange(uint32_t begin, uint32_t end, bool keepOrder, uint32_t leafSize, int depth);

    std::vector<Node> nodes_;
    std::vector<BoxItem> items_;
};

// The segment a + t d against boxes widened by `slack` on every side.
class SlabSegment {
public:
    SlabSegment(const Vector3& a, const Vector3& d, Real slack);
    // True when the segment meets the widened box for some t in [0, limit];
    // `enter` is then the first such t. Rounding is left to the slack.
    bool Enters(const Vector3& lo, const Vector3& hi, Real limit, Real& enter) const {
        Real from = 0.0f, to = limit;
        auto axis = [&](int k, Real low, Real high) {
            const Real inTime = ((down_[k] ? high : low) - nearOrigin_[k]) * inverse_[k];
            const Real outTime = ((down_[k] ? low : high) - farOrigin_[k]) * inverse_[k];
            // A NaN (a face on the start of a parallel path) sets no bound.
            if (inTime > from) from = inTime;
            if (outTime < to) to = outTime;
        };
        axis(0, lo.x, hi.x);
        axis(1, lo.y, hi.y);
        axis(2, lo.z, hi.z);
        enter = from;
        return from <= to;
    }

private:
    Real nearOrigin_[3], farOrigin_[3], inverse_[3];
    bool down_[3];
};

inline Real LargestMagnitude(const Vector3& v) {
    return std::max({v.x < 0 ? -v.x : v.x, v.y < 0 ? -v.y : v.y, v.z < 0 ? -v.z : v.z});
}

// |x| + |y| + |z|: at least the largest magnitude, and NaN or infinite when a component is.
inline Real SumOfMagnitudes(const Vector3& v) {
    return (v.x < 0 ? -v.x : v.x) + (v.y < 0 ? -v.y : v.y) + (v.z < 0 ? -v.z : v.z);
}

// The slack for a query whose values add up to `magnitude`: far above their
// rounding (2^-13 of it, where rounding stays near 2^-20). False when the
// magnitude is NaN or too large to bound that way.
inline bool SlackOf(Real magnitude, Real& slack) {
    slack = magnitude * (1.0f / 8192);
    return slack < 1e30f;
}
