// The indexes must give exactly the plain scan's answers: the same hit or
// miss, the same t and normal to the bit, the same winner of equal t.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "Awapi/shape.h"
#include "Tv/world/box_hierarchy.h"
#include "Tv/world/intersection.h"
#include "Tv/world/shape_index.h"
#include "Tv/world/shape_tree_index.h"
#include "platform/fpu.h"
#include "tests/tv/world_fixtures.h"

namespace {

using Triangles = std::vector<Vector3>;

struct Query {
    Vector3 a, d;
    Real t;
};

std::string Describe(const Query& q) {
    char text[200];
    std::snprintf(text, sizeof text, "a (%.9g, %.9g, %.9g) d (%.9g, %.9g, %.9g) t %.9g", q.a.x, q.a.y, q.a.z, q.d.x,
                  q.d.y, q.d.z, q.t);
    return text;
}

bool SameBits(const HitRecord& a, const HitRecord& b) {
    return std::memcmp(&a.t, &b.t, sizeof a.t) == 0 && std::memcmp(&a.normal, &b.normal, sizeof a.normal) == 0;
}

// Runs every query both ways from a record holding a marker normal; returns the number of hits.
template <class Plain, class Indexed>
int ExpectSameAnswers(const std::vector<Query>& queries, Plain&& plain, Indexed&& indexed) {
    int hits = 0;
    for (const Query& q : queries) {
        HitRecord expected{q.t, Vector3(7, 7, 7)}, actual = expected;
        const bool hit = plain(expected, q.a, q.d);
        EXPECT_EQ(hit, indexed(actual, q.a, q.d)) << Describe(q);
        EXPECT_TRUE(SameBits(expected, actual)) << Describe(q) << ": t " << expected.t << " vs " << actual.t;
        if (::testing::Test::HasFailure()) return hits;
        hits += hit;
    }
    return hits;
}

int ExpectSameAnswers(const std::vector<Query>& queries, const AwShape& shape, const ShapeIndex& index) {
    return ExpectSameAnswers(
        queries, [&](HitRecord& r, const Vector3& a, const Vector3& d) { return SegmentHitShape(r, shape, a, d); },
        [&](HitRecord& r, const Vector3& a, const Vector3& d) { return index.SegmentHit(r, a, d); });
}

int ExpectSameAnswers(const std::vector<Query>& queries, AwShapeInstance& root, const ShapeTreeIndex& index) {
    return ExpectSameAnswers(
        queries, [&](HitRecord& r, const Vector3& a, const Vector3& d) { return TvSegmentHitShapeTree(r, root, a, d); },
        [&](HitRecord& r, const Vector3& a, const Vector3& d) { return TvSegmentHitShapeTree(r, index, a, d); });
}

class Random {
public:
    explicit Random(unsigned seed) : engine_(seed) {}
    Real Between(Real lo, Real hi) { return std::uniform_real_distribution<Real>(lo, hi)(engine_); }
    Vector3 In(const Vector3& lo, const Vector3& hi) {
        return Vector3(Between(lo.x, hi.x), Between(lo.y, hi.y), Between(lo.z, hi.z));
    }
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }

private:
    std::mt19937 engine_;
};

// A rolling grid of quads (two triangles each) sharing corners, on integer x and z.
void AddGrid(Triangles& out, int n, Vector3 origin, Real bump) {
    auto at = [&](int i, int j) {
        const Real y = bump * static_cast<Real>((i * 7 + j * 3) % 5) * 0.25f;
        return origin + Vector3(static_cast<Real>(i), y, static_cast<Real>(j));
    };
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            out.insert(out.end(), {at(i, j), at(i + 1, j), at(i, j + 1), at(i, j + 1), at(i + 1, j), at(i + 1, j + 1)});
}

// Segments between random points of the region, limits of 1, of less, of 0 and of -0.
void AddRandomSegments(std::vector<Query>& out, Random& random, const Vector3& lo, const Vector3& hi, int count) {
    const Real limits[] = {1.0f, 0.5f, 1.0f, 0.0f, -0.0f, 1.0f};
    for (int i = 0; i < count; ++i) {
        const Vector3 a = random.In(lo, hi), b = random.In(lo, hi);
        out.push_back({a, b - a, limits[random.Below(6)]});
    }
}

// Segments through the corners and edge midpoints of the unit grid from
// (x0, y, z0), where several triangles meet at the same t: vertical ones, and
// ones at awkward slopes whose rounded ends put the crossing a hair off the
// point, on either side of the grid's outer edges.
void AddGridBoundarySegments(std::vector<Query>& out, Real x0, Real y, Real z0, int n) {
    const Real slopes[][2] = {{0.3f, 0.7f}, {-0.7f, 0.013f}, {1.1f, -2.9f}, {-7.77f, 0.31f}, {0.0f, 3.3f}};
    for (int i = 0; i <= 2 * n; ++i)
        for (int j = 0; j <= 2 * n; ++j) {
            const Vector3 p(x0 + static_cast<Real>(i) * 0.5f, y, z0 + static_cast<Real>(j) * 0.5f);
            out.push_back({p - Vector3(0, 2, 0), Vector3(0, 4, 0), 1.0f});
            for (const auto& s : slopes) {
                const Vector3 half(s[0] * 1.7f, 1.7f, s[1] * 1.7f);
                out.push_back({p - half, half * 2.0f, 1.0f});
                out.push_back({p + half, half * -2.0f, 1.0f});
            }
        }
}

TEST(ShapeIndex, GivesThePlainScansAnswersOnEveryKindOfTriangle) {
    Random random(20240);
    Triangles flat, rolling, soup;
    AddGrid(flat, 6, Vector3(0, 0, 0), 0.0f);
    AddGrid(rolling, 6, Vector3(0, 0, 0), 1.0f);
    // The same floor again wound the other way: every hit on it ties with the first.
    Triangles doubled = flat;
    for (size_t i = 0; i < flat.size(); i += 3) doubled.insert(doubled.end(), {flat[i], flat[i + 2], flat[i + 1]});
    // Big and small triangles, slivers, needles, corners repeated, corners in a line, and a long thin wall.
    for (int i = 0; i < 150; ++i) {
        const Vector3 c = random.In(Vector3(0, -2, 0), Vector3(6, 2, 6));
        const Real size = random.Below(3) == 0 ? 4.0f : 0.3f;
        soup.insert(soup.end(), {c, c + random.In(Vector3(-size, -size, -size), Vector3(size, size, size)),
                                 c + random.In(Vector3(-size, -size, -size), Vector3(size, size, size))});
    }
    for (int i = 0; i < 20; ++i) {
        const Vector3 c = random.In(Vector3(0, -2, 0), Vector3(6, 2, 6)),
                      e = random.In(Vector3(-3, -3, -3), Vector3(3, 3, 3));
        soup.insert(soup.end(), {c, c + e, c + e * 0.5f + Vector3(0, 1e-4f, 0)}); // a sliver
        soup.insert(soup.end(), {c, c + e, c + e * 0.25f});                         // corners in a line
        soup.insert(soup.end(), {c, c + e, c});                                     // a corner repeated
    }
    soup.insert(soup.end(), {{0, 0, 3}, {6, 0, 3}, {6, 0.02f, 3}, {0, 0, 3}, {6, 0.02f, 3}, {0, 0.02f, 3}});

    struct Case {
        const char* name;
        Triangles triangles;
        Vector3 offset; // large coordinates scale the slack
    };
    const Case cases[] = {
        {"flat grid", flat, Vector3(0, 0, 0)},
        {"rolling grid", rolling, Vector3(0, 0, 0)},
        {"doubled floor", doubled, Vector3(0, 0, 0)},
        {"soup", soup, Vector3(0, 0, 0)},
        {"soup far out", soup, Vector3(3000, -20, 5000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Triangles moved;
        for (const Vector3& v : c.triangles) moved.push_back(v + c.offset);
        ShapeTree tree = MakeTree(MakeMeshShape({moved}), false);
        const AwShape& shape = *tree->Slots[0];
        const ShapeIndex index(shape);

        std::vector<Query> queries;
        AddRandomSegments(queries, random, c.offset + Vector3(-1, -3, -1), c.offset + Vector3(7, 3, 7), 3000);
        AddGridBoundarySegments(queries, c.offset.x, c.offset.y, c.offset.z, 6);
        // Ending exactly on the floor, starting on it, lying in it, and standing still.
        queries.push_back({c.offset + Vector3(2.5f, -1, 2.5f), Vector3(0, 1, 0), 1.0f});
        queries.push_back({c.offset + Vector3(2.5f, 0, 2.5f), Vector3(0, 1, 0), 1.0f});
        queries.push_back({c.offset + Vector3(-1, 0, 2.5f), Vector3(8, 0, 0), 1.0f});
        queries.push_back({c.offset + Vector3(2.5f, 0, 2.5f), Vector3(0, 0, 0), 1.0f});

        EXPECT_GT(ExpectSameAnswers(queries, shape, index), static_cast<int>(queries.size()) / 5);
    }
}

TEST(ShapeIndex, AnswersLikeThePlainScanForUnboundedPathsAndLimits) {
    Triangles flat;
    AddGrid(flat, 2, Vector3(0, 0, 0), 0.0f);
    ShapeTree tree = MakeTree(MakeMeshShape({flat}), false);
    const AwShape& shape = *tree->Slots[0];
    const ShapeIndex index(shape);
    const Real inf = std::numeric_limits<Real>::infinity(), nan = std::numeric_limits<Real>::quiet_NaN();
    const std::vector<Query> queries = {
        {{0.5f, -1, 0.5f}, {0, 2, 0}, inf},   {{0.5f, -1, 0.5f}, {0, 2, 0}, nan},   {{0.5f, -1, 0.5f}, {0, inf, 0}, 1},
        {{0.5f, -1, 0.5f}, {nan, 2, 0}, 1},   {{inf, -1, 0.5f}, {0, 2, 0}, 1},      {{0.5f, -1, 0.5f}, {0, 2, 0}, -1},
        {{0.5f, -1e30f, 0.5f}, {0, 3e30f, 0}, 1},
    };
    ExpectSameAnswers(queries, shape, index);
}

// A floor grid of n x n quads as a one-node tree; with `box` the node gets the shape's box.
AwShapeInstance* Tile(int n, Real bump, bool box) {
    Triangles t;
    AddGrid(t, n, Vector3(0, 0, 0), bump);
    return MakeTree(MakeMeshShape({t}), box).release();
}

TEST(ShapeTreeIndex, GivesThePlainTreesAnswers) {
    // 5 x 5 tiles of 2 x 2 m, some turned, one twice in the same place (ties
    // between nodes), one without a box, one sharing another's shape, and a
    // group node of five small tiles.
    ShapeTree root(new AwShapeInstance(nullptr, false));
    AwShapeInstance* shared = nullptr;
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) {
            const int k = i * 5 + j;
            AwShapeInstance* tile;
            if (k == 7) {
                tile = new AwShapeInstance(shared->Slots[0], true);
            } else {
                tile = Tile(2, k % 3 == 0 ? 0.0f : 1.0f, k != 11);
            }
            if (k == 3) shared = tile;
            tile->SetPosition(static_cast<Real>(i * 2), 0.0f, static_cast<Real>(j * 2));
            // A quarter turn about y: the tile then covers -x of its corner.
            if (k % 4 == 1) tile->SetAngles(1024, 0, 0);
            root->AddChild(tile);
            if (k == 12) {
                AwShapeInstance* twin = Tile(2, 1.0f, true);
                twin->SetPosition(static_cast<Real>(i * 2), 0.0f, static_cast<Real>(j * 2));
                root->AddChild(twin);
            }
        }
    auto* group = new AwShapeInstance(nullptr, false);
    for (int i = 0; i < 5; ++i) {
        AwShapeInstance* small = Tile(1, 0.0f, true);
        small->SetPosition(static_cast<Real>(i), -1.0f, 11.0f);
        group->AddChild(small);
    }
    root->AddChild(group);

    const ShapeTreeIndex index(*root);
    Random random(77);
    std::vector<Query> queries;
    AddRandomSegments(queries, random, Vector3(-3, -3, -3), Vector3(13, 3, 13), 4000);
    AddGridBoundarySegments(queries, 0, 0, 0, 10);
    EXPECT_GT(ExpectSameAnswers(queries, *root, index), 1000);

    // In another rounding mode than the build's the answers are still the tree's.
    plat::NearestRoundingScope nearest;
    ExpectSameAnswers(queries, *root, index);
}

// Children are met in list order even where that changes the answer: a node
// whose box lies beyond its own triangle hides that triangle once an earlier
// child has recorded a hit nearer than the box.
TEST(ShapeTreeIndex, KeepsTheListOrderOfChildren) {
    // Walls across the x axis; the path runs from x = 0 to x = 10.
    auto wall = [](Real x) {
        return MakeMeshShape({{{x, -1, -1}, {x, 1, -1}, {x, -1, 1}, {x, 1, -1}, {x, 1, 1}, {x, -1, 1}}});
    };
    for (bool boxedFirst : {false, true}) {
        ShapeTree root(new AwShapeInstance(nullptr, false));
        auto* plainWall = MakeTree(wall(4), true).release(); // hit at t = 0.4
        // Boxed at x = 5..6 (t = 0.5) but holding the wall at x = 3 (t = 0.3).
        AwShape* boxShape = wall(5);
        boxShape->Max.x = 6;
        auto* boxedWall = MakeTree(boxShape, true).release();
        AwShape* near = wall(3);
        boxedWall->SetSlot(0, near);
        near->ReleaseUse();
        root->AddChild(boxedFirst ? boxedWall : plainWall);
        root->AddChild(boxedFirst ? plainWall : boxedWall);
        for (int i = 0; i < 3; ++i) root->AddChild(MakeTree(wall(static_cast<Real>(20 + i)), true).release());
        const ShapeTreeIndex index(*root);

        HitRecord plain{1.0f, Vector3(0, 0, 0)}, indexed = plain;
        ASSERT_TRUE(TvSegmentHitShapeTree(plain, *root, Vector3(0, 0, 0), Vector3(10, 0, 0)));
        ASSERT_TRUE(TvSegmentHitShapeTree(indexed, index, Vector3(0, 0, 0), Vector3(10, 0, 0)));
        EXPECT_NEAR(boxedFirst ? 0.3 : 0.4, plain.t, 1e-6);
        EXPECT_TRUE(SameBits(plain, indexed)) << plain.t << " vs " << indexed.t;
    }
}

TEST(BoxHierarchy, AnOrderedWalkMeetsTheItemsAsGiven) {
    Random random(5);
    std::vector<BoxItem> items;
    for (uint32_t i = 0; i < 200; ++i) {
        const Vector3 lo = random.In(Vector3(0, 0, 0), Vector3(50, 50, 50));
        items.push_back({lo, lo + Vector3(1, 1, 1), i});
    }
    items[17].hi = Vector3(std::numeric_limits<Real>::infinity(), 60, 60); // a box without end
    BoxHierarchy hierarchy;
    hierarchy.Build(items, true, 1);
    std::vector<uint32_t> met, stack = {0};
    while (!stack.empty()) {
        const BoxHierarchy::Node node = hierarchy.Nodes()[stack.back()];
        const uint32_t at = stack.back();
        stack.pop_back();
        if (node.count) {
            for (uint32_t i = node.first; i < node.first + node.count; ++i) met.push_back(hierarchy.Items()[i].id);
        } else {
            stack.push_back(node.first);
            stack.push_back(at + 1);
        }
    }
    ASSERT_EQ(items.size(), met.size());
    for (uint32_t i = 0; i < met.size(); ++i) EXPECT_EQ(i, met[i]);
}

TEST(SlabSegment, MeetsWidenedBoxesWithinTheLimit) {
    const Real inf = std::numeric_limits<Real>::infinity();
    const Vector3 lo(0, 0, 0), hi(1, 1, 1);
    struct Case {
        const char* name;
        Vector3 a, d;
        Real slack, limit;
        Vector3 lo, hi;
        bool enters;
        Real enter;
    };
    const Case cases[] = {
        {"straight through", {-1, 0.5f, 0.5f}, {4, 0, 0}, 0, 1, lo, hi, true, 0.25f},
        {"the box beyond the limit", {-1, 0.5f, 0.5f}, {4, 0, 0}, 0, 0.2f, lo, hi, false, 0},
        {"reaching the box at the limit", {-1, 0.5f, 0.5f}, {4, 0, 0}, 0, 0.25f, lo, hi, true, 0.25f},
        {"moving away", {-1, 0.5f, 0.5f}, {-4, 0, 0}, 0, 1, lo, hi, false, 0},
        {"starting inside", {0.5f, 0.5f, 0.5f}, {4, 4, 4}, 0, 1, lo, hi, true, 0},
        {"parallel inside", {-1, 0.5f, 0.5f}, {4, 0, 0}, 0, 1, lo, hi, true, 0.25f},
        {"parallel beside", {-1, 1.5f, 0.5f}, {4, 0, 0}, 0, 1, lo, hi, false, 0},
        {"parallel along a face", {-1, 1, 0.5f}, {4, 0, 0}, 0, 1, lo, hi, true, 0.25f},
        {"parallel beside, within the slack", {-1, 1.05f, 0.5f}, {4, 0, 0}, 0.1f, 1, lo, hi, true, 0.225f},
        {"parallel on the widened face", {-1, 1.5f, 0.5f}, {4, 0, -0.0f}, 0.5f, 1, lo, hi, true, 0.125f},
        {"standing still inside", {0.5f, 0.5f, 0.5f}, {0, 0, 0}, 0, 1, lo, hi, true, 0},
        {"standing still outside", {2, 0.5f, 0.5f}, {0, 0, 0}, 0, 1, lo, hi, false, 0},
        {"a box without end", {5, 5, 5}, {1, -1, 0}, 0, 1, Vector3(-inf, -inf, -inf), Vector3(inf, inf, inf), true, 0},
        {"a negative zero limit", {0.5f, 0.5f, 0.5f}, {1, 0, 0}, 0, -0.0f, lo, hi, true, 0},
    };
    for (const Case& c : cases) {
        Real enter = -1;
        const bool enters = SlabSegment(c.a, c.d, c.slack).Enters(c.lo, c.hi, c.limit, enter);
        EXPECT_EQ(c.enters, enters) << c.name;
        if (c.enters && enters) {
            EXPECT_NEAR(c.enter, enter, 1e-6) << c.name;
        }
    }
}

} // namespace
