// A child is skipped only when its own box test must fail: the box, carried
// into the parent's space by the exact inverse of the child's inverse matrix,
// is widened by a slack that covers the rounding of the path's transform and
// of the box test, scaled by how much the matrix can magnify it.
#include "Tv/world/shape_tree_index.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>

#include "Awapi/bounding_box.h"
#include "Awapi/shape_instance.h"
#include "Tv/world/box_hierarchy.h"
#include "Tv/world/path_frames.h"
#include "Tv/world/shape_index.h"

namespace {

// Children are put in a hierarchy from this many on.
constexpr size_t kManyChildren = 4;

struct Affine {
    double m[3][3], t[3];
};

Affine FromMatrix(const Matrix34& matrix) {
    Affine a;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) a.m[r][c] = matrix.m[r * 4 + c];
        a.t[r] = matrix.m[r * 4 + 3];
    }
    return a;
}

double RowSumNorm(const double (&m)[3][3]) {
    double norm = 0;
    for (const auto& row : m) norm = std::max(norm, std::fabs(row[0]) + std::fabs(row[1]) + std::fabs(row[2]));
    return norm;
}

// The inverse of x -> M x + t; false when M is singular or not finite.
bool Invert(const Affine& a, Affine& out) {
    const auto& m = a.m;
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    if (!std::isfinite(det) || det == 0.0) return false;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
            out.m[r][c] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / det;
        }
    for (int r = 0; r < 3; ++r) out.t[r] = -(out.m[r][0] * a.t[0] + out.m[r][1] * a.t[1] + out.m[r][2] * a.t[2]);
    return std::isfinite(RowSumNorm(out.m) + std::fabs(out.t[0]) + std::fabs(out.t[1]) + std::fabs(out.t[2]));
}

// A box every path meets: for children without a box test of their own.
BoxItem Everywhere(uint32_t id) {
    const Real inf = std::numeric_limits<Real>::infinity();
    return {Vector3(-inf, -inf, -inf), Vector3(inf, inf, inf), id};
}

} // namespace

struct ShapeTreeIndex::Node {
    const Matrix34* GetMatrix() const { return &matrix; }
    const Matrix34* GetInverseMatrix() const { return &inverse; }

    Matrix34 matrix, inverse;
    bool hasBox = false;
    Vector3 boxMin{0, 0, 0}, boxMax{0, 0, 0};
    const ShapeIndex* shape = nullptr; // the slot-0 shape's; the children are then never visited
    std::vector<uint32_t> children;    // node numbers, in list order
    // Over the children's boxes in this node's space (items name positions in
    // `children`); empty when the children are few.
    BoxHierarchy childBoxes;
    // How much a child's matrix can magnify rounding, and the magnitudes its box test adds.
    Real childCondition = 0, childScale = 0;
};

ShapeTreeIndex::ShapeTreeIndex(AwShapeInstance& root) : root_(root), rounding_(std::fegetround()) {
    BuildShapeTreeMatrices(root);
    AddNode(root);
}

ShapeTreeIndex::~ShapeTreeIndex() = default;

uint32_t ShapeTreeIndex::AddNode(AwShapeInstance& source) {
    const auto number = static_cast<uint32_t>(nodes_.size());
    nodes_.emplace_back();
    {
        Node& node = nodes_.back();
        node.matrix = *source.GetMatrix();
        node.inverse = *source.GetInverseMatrix();
        if (source.Box) {
            node.hasBox = true;
            node.boxMin = source.Box->Min();
            node.boxMax = source.Box->Max();
        }
        if (const AwShape* shape = source.Slots[0]) {
            std::unique_ptr<ShapeIndex>& index = shapes_[shape];
            if (!index) index = std::make_unique<ShapeIndex>(*shape);
            node.shape = index.get();
            return number;
        }
    }
    for (AwShapeInstance* child : source.Children) {
        const uint32_t childNumber = AddNode(*child);
        nodes_[number].children.push_back(childNumber);
    }
    IndexChildren(number);
    return number;
}

void ShapeTreeIndex::IndexChildren(uint32_t number) {
    Node& node = nodes_[number];
    if (node.children.size() < kManyChildren) return;
    double condition = 1, scale = 0;
    std::vector<BoxItem> boxes;
    for (uint32_t i = 0; i < node.children.size(); ++i) {
        const Node& child = nodes_[node.children[i]];
        Affine toChild = FromMatrix(child.inverse), fromChild;
        if (!child.hasBox || !Invert(toChild, fromChild)) {
            boxes.push_back(Everywhere(i));
            continue;
        }
        double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
        for (int corner = 0; corner < 8; ++corner) {
            const double p[3] = {corner & 1 ? child.boxMax.x : child.boxMin.x,
                                 corner & 2 ? child.boxMax.y : child.boxMin.y,
                                 corner & 4 ? child.boxMax.z : child.boxMin.z};
            for (int r = 0; r < 3; ++r) {
                const double q =
                    fromChild.m[r][0] * p[0] + fromChild.m[r][1] * p[1] + fromChild.m[r][2] * p[2] + fromChild.t[r];
                lo[r] = std::min(lo[r], q);
                hi[r] = std::max(hi[r], q);
            }
        }
        const BoxItem box{Vector3(float(lo[0]), float(lo[1]), float(lo[2])),
                          Vector3(float(hi[0]), float(hi[1]), float(hi[2])), i};
        const double magnify = RowSumNorm(fromChild.m);
        const double reach =
            magnify * (std::max({std::fabs(toChild.t[0]), std::fabs(toChild.t[1]), std::fabs(toChild.t[2])}) +
                       std::max(LargestMagnitude(child.boxMin), LargestMagnitude(child.boxMax))) +
            std::max(LargestMagnitude(box.lo), LargestMagnitude(box.hi));
        if (!std::isfinite(reach)) {
            boxes.push_back(Everywhere(i));
            continue;
        }
        boxes.push_back(box);
        condition = std::max(condition, magnify * std::max(RowSumNorm(toChild.m), 1.0));
        scale = std::max(scale, reach);
    }
    node.childCondition = static_cast<Real>(condition);
    node.childScale = static_cast<Real>(scale);
    node.childBoxes.Build(std::move(boxes), true, 1);
}

// The traversal of TvSegmentHitShapeTree, node for node, skipping only children whose box test must fail.
struct ShapeTreeIndex::Walk {
    const ShapeTreeIndex& index;

    bool Hit(HitRecord& record, const Node& node, const SegmentPath& path) const {
        return InFrame(record, node, path, [&](HitRecord& r, const SegmentPath& local) {
            if (node.hasBox) {
                HitRecord scratch = r; // the bounds never change the caller's record
                if (!SegmentHitBox(scratch, node.boxMin, node.boxMax, local.a, local.d)) return false;
            }
            if (node.shape) return node.shape->SegmentHit(r, local.a, local.d);
            return HitChildren(r, node, local);
        });
    }

    bool HitChildren(HitRecord& record, const Node& node, const SegmentPath& local) const {
        bool hit = false;
        auto visit = [&](uint32_t position) {
            if (Hit(record, index.nodes_[node.children[position]], local)) hit = true;
        };
        Real slack = 0;
        if (node.childBoxes.Empty() || !(record.t >= 0.0f) ||
            !SlackOf(node.childCondition * (SumOfMagnitudes(local.a) + SumOfMagnitudes(local.d) * record.t) +
                         node.childScale,
                     slack)) {
            for (uint32_t i = 0; i < node.children.size(); ++i) visit(i);
            return hit;
        }
        const SlabSegment segment(local.a, local.d, slack);
        const std::vector<BoxHierarchy::Node>& boxes = node.childBoxes.Nodes();
        uint32_t stack[BoxHierarchy::kMaxDepth + 1];
        int depth = 0;
        stack[depth++] = 0;
        // First children first, so the children come in list order; each box
        // is tested against the record as it is when the walk reaches it.
        while (depth > 0) {
            const uint32_t at = stack[--depth];
            const BoxHierarchy::Node& box = boxes[at];
            Real enter;
            if (!segment.Enters(box.lo, box.hi, record.t, enter)) continue;
            if (box.count) {
                for (uint32_t i = box.first; i < box.first + box.count; ++i) visit(node.childBoxes.Items()[i].id);
                continue;
            }
            stack[depth++] = box.first;
            stack[depth++] = at + 1;
        }
        return hit;
    }
};

bool TvSegmentHitShapeTree(HitRecord& record, const ShapeTreeIndex& index, const Vector3& a, const Vector3& d) {
    if (std::fegetround() != index.rounding_) return TvSegmentHitShapeTree(record, index.root_, a, d);
    return ShapeTreeIndex::Walk{index}.Hit(record, index.nodes_[0], SegmentPath{a, d});
}
