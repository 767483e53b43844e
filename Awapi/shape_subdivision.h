#pragma once
// Cutting a large shape into a two-way tree of shape-instance nodes for
// culling: leaves hold pieces of at most a given number of vertices, each
// with its own box. Main thread only.

#include <cstdint>

class AwShape;
class AwShapeInstance;

// Split kinds: the largest, middle and smallest axis of the bounds at their
// middle, then the largest axis at the vertices' mean.
constexpr int kSplitKinds = 4;

// When the shape (in the node's slot 0) has more than `vertexLimit` vertices,
// moves its triangles into two new child nodes split by `kind` and recurses
// into them; a split that leaves one side empty is retried on that piece with
// the next kind, and after the last kind the piece stays whole. The node's
// slot 0 is emptied (the shape loses that use). The shape's collision
// geometry is freed in any case.
void AwSubdivideShape(AwShape* shape, AwShapeInstance* node, uint32_t vertexLimit, int kind);
