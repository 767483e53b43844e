#pragma once
// Shapes built in code for the geometry tests: one part of 32-byte vertices
// (position, normal, one texture pair) over the given positions and triangles.

#include <cstdint>
#include <vector>

#include "core/maths.h"

class AwShape;

constexpr uint32_t kTestVertexFormat = 0x112;

// Each vertex's normal and texture pair are derived from its index, so copies
// can be told apart; bounds are the positions' own. With a texture name the
// part takes that texture and the shape holds one reference on it.
AwShape* IndexedShape(const std::vector<Vector3>& positions, const std::vector<uint16_t>& indices,
                      const char* texture);

// Separate triangles, three vertices each.
AwShape* TriangleSoup(const std::vector<Vector3>& corners, const char* texture);
