#pragma once
// An index over a shape-instance tree for straight paths: every shape's
// triangles in a ShapeIndex, and the children of a node with many in a box
// hierarchy that keeps their order, so that children the path cannot touch
// are skipped while the others are still visited in list order.
// TvSegmentHitShapeTree on the index gives exactly what it gives on the tree:
// the same hit, t and normal, with the same tie rule.
//
// Building it builds the tree's matrices (BuildShapeTreeMatrices). The index
// copies the nodes' matrices and boxes: the tree and its shapes must not
// change while it is in use (rebuild it after a change). Once built it is
// only read, so threads that read the tree may share it. A query in another
// rounding mode than the build's runs on the tree itself.

#include <memory>
#include <unordered_map>
#include <vector>

#include "Tv/world/intersection.h"

class ShapeIndex;

class ShapeTreeIndex {
public:
    explicit ShapeTreeIndex(AwShapeInstance& root);
    ~ShapeTreeIndex();
    ShapeTreeIndex(const ShapeTreeIndex&) = delete;
    ShapeTreeIndex& operator=(const ShapeTreeIndex&) = delete;

    AwShapeInstance& Root() const { return root_; }

private:
    friend bool TvSegmentHitShapeTree(HitRecord& record, const ShapeTreeIndex& index, const Vector3& a,
                                      const Vector3& d);
    struct Node;
    struct Walk;

    uint32_t AddNode(AwShapeInstance& node);
    void IndexChildren(uint32_t node);

    AwShapeInstance& root_;
    std::vector<Node> nodes_; // the root first
    std::unordered_map<const AwShape*, std::unique_ptr<ShapeIndex>> shapes_;
    int rounding_;
};

// The same answer as TvSegmentHitShapeTree on the index's tree.
bool TvSegmentHitShapeTree(HitRecord& record, const ShapeTreeIndex& index, const Vector3& a, const Vector3& d);
