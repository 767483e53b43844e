#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "Tv/sim/path_search.h"
#include "Tv/sim/waypoint_graph.h"
#include "Tv/world/collision_world.h"
#include "tests/tv/world_fixtures.h"

namespace {

using GraphWorld = GeometryWorld<CollisionWorld>;

constexpr uint32_t kBlocked = 0x40;

// Small separate quads centred on the given points (x, z), linked only by hand.
GeometryLayout Islands(std::initializer_list<std::pair<Real, Real>> centres) {
    GeometryLayout layout;
    for (auto [x, z] : centres) layout.FloorQuad(x - 0.25f, z - 0.25f, x + 0.25f, z + 0.25f, 0);
    return layout;
}

// An nx x nz floor of 2 m quads (slot i * nz + j at column i, row j), linked by the build.
GeometryLayout Floor(int nx, int nz, std::initializer_list<int> blocked = {}) {
    GeometryLayout layout;
    layout.FloorGrid(nx, nz, 0, 0, 2, 0);
    for (int i : blocked) layout.polygons[static_cast<size_t>(i)].flags = kBlocked;
    return layout;
}

struct Linked : GraphWorld {
    explicit Linked(const GeometryLayout& layout) : GraphWorld(layout) { LoadPathGraph(world, 0, ""); }
};

class StepLimit {
public:
    explicit StepLimit(int32_t limit) : saved_(PathSearchStepLimit) { PathSearchStepLimit = limit; }
    ~StepLimit() { PathSearchStepLimit = saved_; }

private:
    int32_t saved_;
};

// The searches' results as polygon indices; every scratch word must be 0 again.
class Searches {
public:
    explicit Searches(const GraphWorld& w) : w_(w) {}

    std::vector<uint32_t> AStar(uint32_t from, uint32_t to, uint32_t mask = kBlocked) {
        List<CollisionPolygon*> out;
        TvFindWaypointPath(&w_[from], &w_[to], out, mask);
        return Indices(out);
    }
    std::vector<uint32_t> Greedy(uint32_t from, uint32_t to, uint32_t mask = kBlocked) {
        List<CollisionPolygon*> out;
        TvFindGreedyPath(&w_[from], &w_[to], out, mask);
        return Indices(out);
    }
    std::vector<uint32_t> Partial(uint32_t from, const Vector3& to, Real range, uint32_t mask = kBlocked) {
        List<CollisionPolygon*> out;
        TvFindWaypointPathPartial(&w_[from], to, out, mask, range);
        return Indices(out);
    }

private:
    std::vector<uint32_t> Indices(const List<CollisionPolygon*>& out) const {
        for (uint32_t i = 0; i < w_.world.polygonCount; ++i) EXPECT_EQ(0u, w_[i].scratch) << "polygon " << i;
        std::vector<uint32_t> indices;
        for (const CollisionPolygon* p : out) indices.push_back(p->polygonIndex);
        return indices;
    }
    const GraphWorld& w_;
};

using Path = std::vector<uint32_t>;

TEST(PathSearch, NothingToDoGivesNothingAndTheBudgetBoundsTheSearch) {
    Linked w(Floor(3, 1)); // centres (1, 1), (3, 1), (5, 1)
    Searches s(w);
    EXPECT_EQ(Path{}, s.AStar(1, 1));
    EXPECT_EQ(Path{}, s.Greedy(1, 1));
    EXPECT_EQ(Path{}, s.Partial(1, Vector3(3.2f, 0, 1), 0.5f));
    EXPECT_EQ((Path{2, 1}), s.AStar(0, 2));
    EXPECT_EQ((Path{1, 2}), s.Greedy(0, 2));
    EXPECT_EQ((Path{2, 1}), s.Partial(0, Vector3(5, 0, 1.5f), 0.5f));
    struct Case {
        int32_t limit;
        Path path;
    };
    for (const Case& c : {Case{0, {}}, Case{1, {1}}, Case{2, {2, 1}}}) {
        StepLimit limit(c.limit);
        EXPECT_EQ(c.path, s.AStar(0, 2)) << c.limit;
        EXPECT_EQ(c.path, s.Partial(0, Vector3(5, 0, 1), 0.5f)) << c.limit;
    }
}

TEST(PathSearch, OfEqualFValuesTheFirstInsertedIsExpandedFirst) {
    // S with two routes of equal cost to G, through A and through B.
    GraphWorld w(Islands({{0, 0}, {1, 1}, {1, -1}, {2, 0}}));
    CollisionPolygon &S = w[0], &A = w[1], &B = w[2], &G = w[3];
    LinkBothWays(S, A);
    LinkBothWays(S, B);
    LinkBothWays(A, G);
    LinkBothWays(B, G);
    Searches s(w);
    EXPECT_EQ((Path{3, 1}), s.AStar(0, 3));
    std::swap(S.neighbours[0], S.neighbours[1]);
    EXPECT_EQ((Path{3, 2}), s.AStar(0, 3));
    // With G barred every expanded F is 4: the start came first.
    G.flags = kBlocked;
    EXPECT_EQ(Path{}, s.AStar(0, 3));
}

TEST(PathSearch, AGoalOutOfReachGivesThePathToTheExpandedPolygonOfSmallestF) {
    GraphWorld w(Islands({{0, 0}, {2, 0}, {4, 0}, {2, 6}})); // S, A, G, C
    LinkBothWays(w[0], w[1]);
    LinkBothWays(w[1], w[2]);
    LinkBothWays(w[1], w[3]);
    w[2].flags = kBlocked;
    Searches s(w);
    EXPECT_EQ(Path{1}, s.AStar(0, 2));
    EXPECT_EQ(Path{1}, s.Greedy(0, 2));
    EXPECT_EQ(Path{1}, s.Partial(0, Vector3(4, 0, 0), 0.5f));
    EXPECT_FALSE(TvPolygonWalkReaches(&w[0], &w[2], kBlocked));
    EXPECT_TRUE(TvPolygonWalkReaches(&w[0], &w[2], 0));
    EXPECT_EQ((Path{2, 1}), s.AStar(0, 2, 0));
}

TEST(PathSearch, NoStepCutsACornerPastABlockedPolygon) {
    Linked w(Floor(3, 3, {4})); // the middle blocked
    Searches s(w);
    // From (0, 1) to (1, 2): the two touch at a corner of the middle.
    ASSERT_TRUE(w[1].HasNeighbour(&w[5]));
    EXPECT_EQ((Path{5, 2}), s.AStar(1, 5));
    EXPECT_EQ((Path{2, 5}), s.Greedy(1, 5));
    EXPECT_EQ(Path{5}, s.AStar(1, 5, 0));
    EXPECT_EQ(Path{5}, s.Greedy(1, 5, 0));

    // Around a wall of two: the greedy walk gets no nearer, A* goes round.
    Linked wall(Floor(3, 3, {3, 4}));
    Searches around(wall);
    EXPECT_EQ(Path{}, around.Greedy(0, 6));
    EXPECT_EQ((Path{6, 7, 8, 5, 2, 1}), around.AStar(0, 6));
    EXPECT_FALSE(TvPolygonWalkReaches(&wall[0], &wall[6], kBlocked));
}

TEST(PathSearch, EveryBlockedNeighbourTakesPartInTheCornerRule) {
    // A 2 x 2 floor whose first quad also lists 24 blocked islands before its
    // blocked neighbour (1, 0).
    GeometryLayout layout = Floor(2, 2, {2});
    for (int k = 0; k < 24; ++k) layout.FloorQuad(20.0f + 2 * k, 20, 21.0f + 2 * k, 21, 0).flags = kBlocked;
    GraphWorld w(layout);
    for (uint32_t k = 0; k < 24; ++k) LinkBothWays(w[0], w[4 + k]);
    LinkBothWays(w[0], w[2]);
    LinkBothWays(w[0], w[1]);
    LinkBothWays(w[0], w[3]);
    LinkBothWays(w[1], w[3]);
    LinkBothWays(w[2], w[3]);
    Searches s(w);
    EXPECT_EQ((Path{3, 1}), s.AStar(0, 3));
    EXPECT_EQ((Path{1, 3}), s.Greedy(0, 3));
}

} // namespace
