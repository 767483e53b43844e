// The index keeps every triangle's normal and groups the triangles in a box
// hierarchy. A triangle's box holds every point its containment test can
// accept, not just its corners: the test runs in two coordinates on rounded
// values, and the hit point lies on the plane of the rounded normal. The
// rounding of a 2D cross product moves an edge by at most 6 x 2^-23 of the
// point's distance from the edge's start, and with the edges moved out so,
// the triangle grows by that over the sine of its sharpest half angle (and a
// point off its side leaves the plane over it by twice as much). Boxes reach
// past the corners and the plane over them by over ten times that; triangles
// so thin that this would exceed their size are tested by every query. Queries widen the boxes further by a slack far above the rounding
// of the hit point, so a triangle the plain scan accepts is never skipped.
// Within a shape the answer is the least t, of equal t the later triangle,
// whatever the order the triangles are met in: the walk goes nearest box first.
#include "Tv/world/shape_index.h"

#include <cmath>

#include "Tv/world/vector_axes.h"

namespace {

// How far a triangle's box reaches past it, as a fraction of its longest
// edge, times the sine of its sharpest projected half angle.
constexpr double kEdgeSlack = 2e-5;
constexpr uint32_t kLeafSize = 4;

double Distance(const Vector3& a, const Vector3& b) {
    const double x = double(a.x) - b.x, y = double(a.y) - b.y, z = double(a.z) - b.z;
    return std::sqrt(x * x + y * y + z * z);
}

// The box of the points the triangle's test can accept, or false when the triangle is too thin to bound them.
bool AcceptanceBox(const ShapeTriangle& t, const TrianglePlane& plane, BoxItem& box) {
    const Vector3& n = plane.normal;
    const ContainsAxes& axes = plane.axes;
    const double nn = double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z;
    if (!(nn > 0.98 && nn < 1.02)) return false;
    const int u = axes.u, v = axes.v, w = 3 - u - v;
    double pu[3], pv[3];
    for (int i = 0; i < 3; ++i) pu[i] = Axis(t.v[i], u), pv[i] = Axis(t.v[i], v);
    // sin(a / 2) >= sin(a) / 2, and sin(a) = twice the area over the product of the corner's edges.
    const double area = std::fabs((pu[1] - pu[0]) * (pv[2] - pv[0]) - (pv[1] - pv[0]) * (pu[2] - pu[0]));
    if (!(area > 0.0)) return false;
    double edge[3]; // edge i joins corner i and corner i + 1, projected
    for (int i = 0; i < 3; ++i) edge[i] = std::hypot(pu[(i + 1) % 3] - pu[i], pv[(i + 1) % 3] - pv[i]);
    double sharpest = 1.0;
    for (int i = 0; i < 3; ++i) sharpest = std::min(sharpest, area / (2.0 * edge[i] * edge[(i + 2) % 3]));
    const double longest = std::max({Distance(t.v[0], t.v[1]), Distance(t.v[1], t.v[2]), Distance(t.v[2], t.v[0])});
    const double slack = kEdgeSlack * longest / sharpest;
    if (!(slack <= longest)) return false;
    const double nu = Axis(n, u), nv = Axis(n, v), nw = Axis(n, w);
    double lo[3], hi[3];
    for (int k = 0; k < 3; ++k) lo[k] = hi[k] = Axis(t.v[0], k);
    for (int i = 0; i < 3; ++i) {
        const double onPlane = Axis(t.v[0], w) - (nu * (pu[i] - pu[0]) + nv * (pv[i] - pv[0])) / nw;
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min({lo[k], double(Axis(t.v[i], k)), k == w ? onPlane : lo[k]});
            hi[k] = std::max({hi[k], double(Axis(t.v[i], k)), k == w ? onPlane : hi[k]});
        }
    }
    // Rounding to floats is left to the query's slack, which covers the shape's coordinates.
    box.lo = Vector3(float(lo[0] - slack), float(lo[1] - slack), float(lo[2] - slack));
    box.hi = Vector3(float(hi[0] + slack), float(hi[1] + slack), float(hi[2] + slack));
    return std::isfinite(SumOfMagnitudes(box.lo) + SumOfMagnitudes(box.hi));
}

} // namespace

ShapeIndex::ShapeIndex(const AwShape& shape) : shape_(shape) {
    std::vector<Triangle> all;
    std::vector<BoxItem> boxes;
    std::vector<Triangle> loose;
    uint32_t order = 0;
    ForEachShapeTriangle(shape, [&](const ShapeTriangle& corners) {
        const Triangle tri{TrianglePlaneOf(corners), CornerRangeOf(corners), order++};
        BoxItem box;
        if (AcceptanceBox(corners, tri.plane, box)) {
            box.id = static_cast<uint32_t>(all.size());
            all.push_back(tri);
            boxes.push_back(box);
            scale_ = std::max({scale_, LargestMagnitude(box.lo), LargestMagnitude(box.hi)});
        } else {
            loose.push_back(tri);
        }
    });
    hierarchy_.Build(std::move(boxes), false, kLeafSize);
    for (const BoxItem& item : hierarchy_.Items()) triangles_.push_back(all[item.id]);
    looseBegin_ = static_cast<uint32_t>(triangles_.size());
    triangles_.insert(triangles_.end(), loose.begin(), loose.end());
}

bool ShapeIndex::SegmentHit(HitRecord& record, const Vector3& a, const Vector3& d) const {
    const Real limit = record.t;
    // The magnitudes in play: the start, the path's reach and the shape's coordinates.
    Real slack;
    if (!(limit >= 0.0f) || !SlackOf(SumOfMagnitudes(a) + SumOfMagnitudes(d) * limit + scale_, slack))
        return SegmentHitShape(record, shape_, a, d);
    if (!PassesShapeBounds(shape_, record, a, d)) return false;
    const SegmentBounds bounds = SegmentBoundsOf(a, d, limit);

    Real bestT = limit;
    const Triangle* best = nullptr;
    auto test = [&](const Triangle& tri) {
        Real t;
        if (!Overlaps(tri.corners, bounds) || !SegmentMeetsTriangle(tri.plane, a, d, bestT, t)) return;
        if (t < bestT || !best || tri.order > best->order) {
            bestT = t;
            best = &tri;
        }
    };

    if (!hierarchy_.Empty()) {
        const SlabSegment segment(a, d, slack);
        const std::vector<BoxHierarchy::Node>& nodes = hierarchy_.Nodes();
        struct Pending {
            uint32_t node;
            Real enter;
        } stack[BoxHierarchy::kMaxDepth + 1];
        int depth = 0;
        Real enter;
        if (segment.Enters(nodes[0].lo, nodes[0].hi, bestT, enter)) stack[depth++] = {0, enter};
        while (depth > 0) {
            const Pending pending = stack[--depth];
            if (pending.enter > bestT) continue;
            const BoxHierarchy::Node& node = nodes[pending.node];
            if (node.count) {
                for (uint32_t i = node.first; i < node.first + node.count; ++i) test(triangles_[i]);
                continue;
            }
            // Both children, the nearer taken first.
            Real enterFirst, enterSecond;
            const uint32_t first = pending.node + 1, second = node.first;
            const bool hitFirst = segment.Enters(nodes[first].lo, nodes[first].hi, bestT, enterFirst);
            const bool hitSecond = segment.Enters(nodes[second].lo, nodes[second].hi, bestT, enterSecond);
            if (hitFirst && hitSecond && enterSecond < enterFirst) {
                stack[depth++] = {first, enterFirst};
                stack[depth++] = {second, enterSecond};
            } else {
                if (hitSecond) stack[depth++] = {second, enterSecond};
                if (hitFirst) stack[depth++] = {first, enterFirst};
            }
        }
    }
    for (uint32_t i = looseBegin_; i < triangles_.size(); ++i) test(triangles_[i]);

    if (!best) return false;
    record.t = bestT;
    record.normal = best->plane.normal;
    return true;
}
