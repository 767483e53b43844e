// The primitive shape builders: quads, squares, tiled areas, grids, cube
// corners, a wedge, tubes, cones and spheres, all in format 0x112.

#include <algorithm>
#include <cmath>

#include "Awapi/mesh_part.h"
#include "Awapi/shape.h"
#include "core/maths.h"
#include "core/numeric.h"

namespace {

constexpr uint32_t kPrimitiveFormat = 0x112; // position, normal, one coordinate pair
constexpr float kH = 0.49995f;
constexpr float kE = 0.9999f;
constexpr float kTexel = 0.0009765625f; // texture extents are given in 1024ths
constexpr uint32_t kMaxCount = 0xFFFF;  // part counts are 16-bit

struct PrimitiveVertex {
    Vector3 position, normal;
    float u, v;
};
static_assert(sizeof(PrimitiveVertex) == 32);

// Adds a part and gives access to its vertices and indices.
class PartWriter {
public:
    PartWriter(AwShape& shape, uint32_t vertices, uint32_t indices, bool fan)
        : indices_(shape.AddMeshPart(vertices, indices, kPrimitiveFormat, fan)),
          vertices_(reinterpret_cast<PrimitiveVertex*>(shape.Parts.Back()->Vertices.data())) {}

    void Vertex(uint32_t i, Vector3 position, Vector3 normal, float u = 0, float v = 0) {
        vertices_[i] = {position, normal, u, v};
    }
    void Triangle(uint32_t at, uint32_t a, uint32_t b, uint32_t c) {
        indices_[at] = static_cast<uint16_t>(a);
        indices_[at + 1] = static_cast<uint16_t>(b);
        indices_[at + 2] = static_cast<uint16_t>(c);
    }

private:
    uint16_t* indices_;
    PrimitiveVertex* vertices_;
};

void SetBounds(AwShape& shape, Vector3 min, Vector3 max) {
    shape.Min = min;
    shape.Max = max;
}

constexpr Vector3 kDown{0, -1, 0};
constexpr Vector3 kFront{0, 0, -1};

// The cosine and sine of an angle of 4,096ths of a turn, as the tables give them.
struct Direction {
    float cos, sin;
};
Direction At(float angle) {
    const int32_t index = FloorToInt(angle) & AngleMask;
    return {MathTables.Cosine[index], MathTables.Sine[index]};
}

void Triangle(AwShape& shape, const AwPrimitiveDesc& d) {
    SetBounds(shape, {-kH, 0, kE}, {kH, 0, kE});
    PartWriter w(shape, 3, 3, false);
    w.Vertex(0, {0, 0, 0}, kDown, 0, d.b * kTexel);
    w.Vertex(1, {-0.5f, 0, 1}, kDown, 0, 0);
    w.Vertex(2, {0.5f, 0, 1}, kDown, d.a * kTexel, 0);
    w.Triangle(0, 0, 1, 2);
}

void TextureQuad(AwShape& shape, const AwPrimitiveDesc& d) {
    SetBounds(shape, {0, 0, 0}, {kE, kE, 0});
    const float right = d.a * kTexel, top = d.b * kTexel, left = d.c * kTexel, bottom = d.d * kTexel;
    PartWriter w(shape, 4, 6, true);
    w.Vertex(0, {0, 0, 0}, kFront, left, bottom);
    w.Vertex(1, {1, 0, 0}, kFront, right, bottom);
    w.Vertex(2, {1, 1, 0}, kFront, right, top);
    w.Vertex(3, {0, 1, 0}, kFront, left, top);
}

// The four corners of the horizontal square, texture repeated a x b times.
void SquareVertices(PartWriter& w, const AwPrimitiveDesc& d) {
    const auto a = static_cast<float>(d.a), b = static_cast<float>(d.b);
    w.Vertex(0, {-kH, 0, -kH}, kDown, 0, 0);
    w.Vertex(1, {-kH, 0, kH}, kDown, 0, b);
    w.Vertex(2, {kH, 0, kH}, kDown, a, b);
    w.Vertex(3, {kH, 0, -kH}, kDown, a, 0);
}

void Square(AwShape& shape, const AwPrimitiveDesc& d) {
    SetBounds(shape, {-kH, 0, -kH}, {kH, 0, kH});
    PartWriter w(shape, 4, 6, true);
    SquareVertices(w, d);
}

void DoubleSquare(AwShape& shape, const AwPrimitiveDesc& d) {
    SetBounds(shape, {-kH, 0, -kH}, {kH, 0, kH});
    const auto a = static_cast<float>(d.a), b = static_cast<float>(d.b);
    PartWriter w(shape, 8, 12, false);
    SquareVertices(w, d);
    w.Vertex(4, {-kH, 0, -kH}, kDown, 0, 0);
    w.Vertex(5, {kH, 0, -kH}, kDown, a, 0);
    w.Vertex(6, {kH, 0, kH}, kDown, a, b);
    w.Vertex(7, {-kH, 0, kH}, kDown, 0, b);
    w.Triangle(0, 0, 1, 2);
    w.Triangle(3, 0, 2, 3);
    w.Triangle(6, 4, 5, 6);
    w.Triangle(9, 4, 6, 7);
}

// Columns and rows of c-sized cells over a x b; false when the area is empty or c is not positive.
bool CellCounts(const AwPrimitiveDesc& d, int32_t& columns, int32_t& rows) {
    if (d.a <= 0 || d.b <= 0 || d.c <= 0) return false;
    columns = static_cast<int32_t>((static_cast<int64_t>(d.a) + d.c - 1) / d.c);
    rows = static_cast<int32_t>((static_cast<int64_t>(d.b) + d.c - 1) / d.c);
    return true;
}

void Tiles(AwShape& shape, const AwPrimitiveDesc& d) {
    SetBounds(shape, {0, 0, 0}, {kE, kE, 0});
    int32_t columns = 0, rows = 0;
    if (!CellCounts(d, columns, rows) || static_cast<uint64_t>(columns) * static_cast<uint64_t>(rows) > kMaxCount)
        return;
    const float invWidth = FastReciprocal(static_cast<float>(d.a));
    const float invHeight = FastReciprocal(static_cast<float>(d.b));
    const auto c = static_cast<float>(d.c);
    // The far edges are exactly 1, whatever the table reciprocal gives.
    const auto edgeX = [&](int32_t x) { return x == d.a ? 1.0f : static_cast<float>(x) * invWidth; };
    const auto edgeY = [&](int32_t y) { return y == d.b ? 1.0f : static_cast<float>(y) * invHeight; };
    for (int32_t j = rows - 1; j >= 0; --j) {
        for (int32_t i = columns - 1; i >= 0; --i) {
            const int32_t x0 = i * d.c, x1 = std::min(x0 + d.c, d.a);
            const int32_t y0 = j * d.c, y1 = std::min(y0 + d.c, d.b);
            const float u = static_cast<float>(x1 - x0) / c, v = static_cast<float>(y1 - y0) / c;
            PartWriter w(shape, 4, 6, true);
            w.Vertex(0, {edgeX(x0), edgeY(y0), 0}, kFront, 0, 0);
            w.Vertex(1, {edgeX(x1), edgeY(y0), 0}, kFront, u, 0);
            w.Vertex(2, {edgeX(x1), edgeY(y1), 0}, kFront, u, v);
            w.Vertex(3, {edgeX(x0), edgeY(y1), 0}, kFront, 0, v);
        }
    }
    for (AwMeshPart* part : shape.Parts) part->Texture = d.texture;
}

void Grid(AwShape& shape, const AwPrimitiveDesc& d) {
    SetBounds(shape, {0, 0, 0}, {kE, kE, 0});
    int32_t columns = 0, rows = 0;
    if (!CellCounts(d, columns, rows)) return;
    const uint64_t vertices = static_cast<uint64_t>(columns + 1) * static_cast<uint64_t>(rows + 1);
    const uint64_t indices = 6ull * static_cast<uint64_t>(columns) * static_cast<uint64_t>(rows);
    if (vertices > kMaxCount || indices > kMaxCount) return;
    const auto C = static_cast<uint32_t>(columns), R = static_cast<uint32_t>(rows);
    PartWriter w(shape, static_cast<uint32_t>(vertices), static_cast<uint32_t>(indices), false);
    for (uint32_t r = 0; r <= R; ++r) {
        for (uint32_t k = 0; k <= C; ++k) {
            const float x = static_cast<float>(k) / static_cast<float>(C);
            const float y = static_cast<float>(r) / static_cast<float>(R);
            w.Vertex(r * (C + 1) + k, {x, y, 0}, kFront, x, y);
        }
    }
    uint32_t at = 0;
    for (uint32_t r = 0; r < R; ++r) {
        for (uint32_t k = 0; k < C; ++k, at += 6) {
            const uint32_t i0 = r * (C + 1) + k, i1 = i0 + 1, i2 = (r + 1) * (C + 1) + k, i3 = i2 + 1;
            w.Triangle(at, i0, i1, i2);
            w.Triangle(at + 3, i2, i1, i3);
        }
    }
}

void CubeCorners(AwShape& shape, const AwPrimitiveDesc&) {
    SetBounds(shape, {0, 0, 0}, {kE, kE, kE});
    PartWriter w(shape, 8, 36, true);
    const Vector3 corners[8] = {{0, 0, 0}, {kE, 0, 0}, {kE, kE, 0}, {0, kE, 0},
                                {0, 0, kE}, {kE, 0, kE}, {kE, kE, kE}, {0, kE, kE}};
    constexpr float n = 0.57735f;
    for (uint32_t i = 0; i < 8; ++i) {
        const Vector3& p = corners[i];
        w.Vertex(i, p, {p.x != 0 ? n : -n, p.y != 0 ? n : -n, p.z != 0 ? n : -n});
    }
    // The fan fills the last 18 entries; these close the three faces away from vertex 7.
    w.Triangle(0, 1, 2, 6);
    w.Triangle(3, 1, 6, 5);
    w.Triangle(6, 0, 5, 1);
    w.Triangle(9, 0, 4, 5);
    w.Triangle(12, 0, 1, 2);
    w.Triangle(15, 0, 2, 3);
}

void SquareAndTriangle(AwShape& shape, const AwPrimitiveDesc& d) {
    SetBounds(shape, {-kH, -kH, -kH}, {kH, 0, kH});
    PartWriter w(shape, 7, 9, true);
    SquareVertices(w, d);
    w.Vertex(4, {kH, 0, 0}, kFront);
    w.Vertex(5, {0, -kH, 0}, kFront);
    w.Vertex(6, {-kH, 0, 0}, kFront);
}

void Wedge(AwShape& shape, const AwPrimitiveDesc&) {
    SetBounds(shape, {-kH, 0, 0}, {kH, kH, kE});
    const float s = 1.0f / std::sqrt(2.0f);
    constexpr float t = 0.57735f;
    PartWriter w(shape, 6, 18, false);
    w.Vertex(0, {-kH, 0, 0}, {-s, -s, 0});
    w.Vertex(1, {kH, 0, 0}, {s, -s, 0});
    w.Vertex(2, {0, kH, 0}, {0, 1, 0});
    w.Vertex(3, {-kH, 0, kE}, {-t, t, -t});
    w.Vertex(4, {kH, 0, kE}, {-t, -t, t});
    w.Vertex(5, {0, kH, kE}, {t, -t, t});
    const uint32_t triangles[6][3] = {{3, 5, 2}, {0, 3, 2}, {1, 2, 5}, {4, 1, 5}, {3, 0, 1}, {4, 3, 1}};
    for (uint32_t i = 0; i < 6; ++i) w.Triangle(i * 3, triangles[i][0], triangles[i][1], triangles[i][2]);
}

// A double-sided ring of n steps from radius r0 at z = 0 to r1 at z = 1.
void Ring(AwShape& shape, int32_t steps, float r0, float r1, bool coneCoordinates) {
    if (steps <= 0 || 12ull * static_cast<uint32_t>(steps) > kMaxCount) return;
    const auto n = static_cast<uint32_t>(steps);
    PartWriter w(shape, 4 * n, 12 * n, false);
    const float step = AngleFullTurn / static_cast<float>(steps);
    float angle = 0;
    for (uint32_t k = 0; k < n; ++k, angle += step) {
        const Direction a = At(angle);
        const Vector3 normal{a.cos, a.sin, 0};
        const Vector3 low{r0 * a.cos, r0 * a.sin, 0}, high{r1 * a.cos, r1 * a.sin, 1};
        const uint32_t b = 4 * k;
        if (coneCoordinates) {
            w.Vertex(b, low, normal, 0, 1);
            w.Vertex(b + 1, high, normal, 0, 0);
            w.Vertex(b + 2, low, normal, 1, 1);
            w.Vertex(b + 3, high, normal, 1, 0);
        } else {
            w.Vertex(b, low, normal);
            w.Vertex(b + 1, high, normal);
            w.Vertex(b + 2, low, normal);
            w.Vertex(b + 3, high, normal);
        }
        const uint32_t at = 12 * k;
        if (k + 1 < n) {
            w.Triangle(at, b, b + 1, b + 4);
            w.Triangle(at + 3, b + 1, b + 5, b + 4);
            w.Triangle(at + 6, b + 2, b + 6, b + 3);
            w.Triangle(at + 9, b + 3, b + 6, b + 7);
        } else {
            w.Triangle(at, b, b + 1, 2);
            w.Triangle(at + 3, b + 1, 3, 2);
            w.Triangle(at + 6, b + 2, 0, b + 3);
            w.Triangle(at + 9, b + 3, 0, 1);
        }
    }
}

void Tube(AwShape& shape, const AwPrimitiveDesc& d) {
    SetBounds(shape, {-kH, -kH, -kH}, {kH, kH, kH});
    Ring(shape, d.a, 1, 1, false);
}

void Cone(AwShape& shape, const AwPrimitiveDesc& d) {
    const auto r0 = static_cast<float>(d.b), r1 = static_cast<float>(d.c);
    const float m = std::max(r0, r1);
    SetBounds(shape, {-m, -m, 0}, {m, m, 1});
    Ring(shape, d.a, r0, r1, true);
}

void Sphere(AwShape& shape, const AwPrimitiveDesc& d) {
    SetBounds(shape, {-kH, -kH, -kH}, {kH, kH, kH});
    const int32_t steps = d.b;
    if (steps < 3) return;
    const auto n = static_cast<uint64_t>(steps);
    if (n * (n - 2) + 2 > kMaxCount || 6 * n * (n - 1) > kMaxCount) return;
    const auto N = static_cast<uint32_t>(steps);
    const uint32_t S = N * (N - 2), F = N * (N - 3);
    const auto r = static_cast<float>(d.a);
    PartWriter w(shape, S + 2, 6 * N * (N - 1), false);
    const float step = AngleFullTurn / static_cast<float>(steps);
    float latitude = -AngleQuarterTurn + step;
    for (uint32_t k = 0; k + 2 < N; ++k, latitude += step) {
        const Direction l = At(latitude);
        float longitude = 0;
        for (uint32_t j = 0; j < N; ++j, longitude += step) {
            const Direction g = At(longitude);
            const Vector3 direction{l.cos * g.cos, l.cos * g.sin, l.sin};
            w.Vertex(k * N + j, direction * r, direction);
        }
    }
    w.Vertex(S, {0, 0, -r}, {0, 0, -1});
    w.Vertex(S + 1, {0, 0, r}, {0, 0, 1});
    uint32_t at = 0;
    for (uint32_t q = 0; q < S; ++q, at += 6) {
        if (q >= F) {
            // The last ring has no ring above it: its quads stay empty.
            w.Triangle(at, q, q, q);
            w.Triangle(at + 3, q, q, q);
        } else if ((q + 1) % N != 0) {
            w.Triangle(at, q + N, q + 1 + N, q + 1);
            w.Triangle(at + 3, q, q + N, q + 1);
        } else {
            w.Triangle(at, q + N, q + 1, q + 1 - N);
            w.Triangle(at + 3, q, q + N, q + 1 - N);
        }
    }
    for (uint32_t i = 0; i < N; ++i, at += 6) {
        const uint32_t next = (i + 1) % N;
        w.Triangle(at, i, next, S);
        w.Triangle(at + 3, F + next, F + i, S + 1);
    }
}

using Builder = void (*)(AwShape&, const AwPrimitiveDesc&);
constexpr Builder kBuilders[12] = {Triangle, TextureQuad, Square, DoubleSquare, Tiles, Grid,
                                   CubeCorners, SquareAndTriangle, Wedge, Tube, Cone, Sphere};

} // namespace

AwShape* AwShape::ConstructPrimitive(const AwPrimitiveDesc& desc) {
    auto* shape = new AwShape;
    if (desc.texture) shape->AddTexture(desc.texture);
    if (desc.type < 0 || desc.type >= 12) return shape;
    kBuilders[desc.type](*shape, desc);
    if (!shape->Parts.IsEmpty()) shape->Parts.Front()->Texture = desc.texture;
    for (AwMeshPart* part : shape->Parts)
        if (part->Texture) part->AssignVertexBuffer(false);
    return shape;
}
