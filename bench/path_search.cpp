// The waypoint A* search (TvFindWaypointPath) against Boost Graph's
// astar_search over the same graph: the polygons' neighbour links as directed
// edges weighted with the squared distance between reference points, the
// squared distance to the goal as the estimate, and the same seeded start and
// goal pairs; both give back the path as a list of polygons. Boost's search
// stops at the goal by its documented idiom, an exception thrown from the
// visitor. astar_search initialises its maps over the whole graph on every
// call; BoostNoInit runs astar_search_no_init and resets only the vertices the
// search reached, to show the search itself. On the sample level and on a
// generated 256 x 256 floor of rolling quads, nothing masked, the step limit
// raised so every search reaches its goal (checked for both before timing).
#include <benchmark/benchmark.h>
#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/astar_search.hpp>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Awapi/level_geometry.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "Tv/sim/path_search.h"
#include "Tv/sim/waypoint_graph.h"
#include "Tv/world/collision_world.h"
#include "bench/sample_level.h"
#include "platform/fpu.h"

namespace {

using BoostGraph = boost::adjacency_list<boost::vecS, boost::vecS, boost::directedS, boost::no_property,
                                         boost::property<boost::edge_weight_t, float>>;
using Vertex = boost::graph_traits<BoostGraph>::vertex_descriptor;

Real SquaredDistance(const Vector3& a, const Vector3& b) {
    const Vector3 d = a - b;
    return Dot(d, d);
}

// Boost's own "not reached" value for a float distance.
constexpr float kUnreached = std::numeric_limits<float>::max();

struct Pair {
    uint32_t start, goal;
};

struct FoundGoal {};

// Stops Boost's search when the goal is taken out of its queue.
class GoalVisitor : public boost::default_astar_visitor {
public:
    GoalVisitor(Vertex goal, std::vector<Vertex>* reached) : goal_(goal), reached_(reached) {}
    void discover_vertex(Vertex v, const BoostGraph&) const {
        if (reached_) reached_->push_back(v);
    }
    void examine_vertex(Vertex v, const BoostGraph&) const {
        if (v == goal_) throw FoundGoal{};
    }

private:
    Vertex goal_;
    std::vector<Vertex>* reached_;
};

class Estimate : public boost::astar_heuristic<BoostGraph, float> {
public:
    Estimate(const std::vector<Vector3>& points, Vertex goal) : points_(points), goal_(points[goal]) {}
    float operator()(Vertex v) const { return SquaredDistance(goal_, points_[v]); }

private:
    const std::vector<Vector3>& points_;
    Vector3 goal_;
};

// Boost's per-vertex maps.
struct BoostMaps {
    explicit BoostMaps(uint32_t n = 0) : distance(n, kUnreached), cost(n, kUnreached), colour(n, boost::white_color) {
        for (uint32_t i = 0; i < n; ++i) predecessor.push_back(i);
    }
    // Back to the initial state at v.
    void Reset(Vertex v) {
        predecessor[v] = v;
        distance[v] = cost[v] = kUnreached;
        colour[v] = boost::white_color;
    }
    // From the goal back, the start left out, as our search gives it.
    std::vector<Vertex> Path(const Pair& pair) const {
        std::vector<Vertex> path;
        for (Vertex v = pair.goal; v != pair.start && predecessor[v] != v; v = predecessor[v]) path.push_back(v);
        return path;
    }

    std::vector<Vertex> predecessor;
    std::vector<float> distance, cost;
    std::vector<boost::default_color_type> colour;
};

// A level: our collision world with its built graph, the same graph for
// Boost with its maps (those of BoostNoInit kept in their initial state
// between searches), and the pairs.
struct Level {
    std::unique_ptr<AwShapeInstance> root;
    std::unique_ptr<CollisionWorld> world;
    BoostGraph graph;
    std::vector<Vector3> points;
    BoostMaps maps, leanMaps;
    std::vector<Vertex> reached;
    std::vector<Pair> pairs;
    std::string error;

    void Finish() {
        world = std::make_unique<CollisionWorld>();
        world->AddShapeTree(root.get(), IdentityMatrix);
        LoadPathGraph(*world, 0, "");
        const uint32_t n = world->polygonCount;
        graph = BoostGraph(n);
        size_t links = 0;
        std::vector<uint32_t> linked;
        for (uint32_t i = 0; i < n; ++i) points.push_back(world->polygonTable[i]->GetReferencePoint());
        for (uint32_t i = 0; i < n; ++i) {
            const CollisionPolygon& p = *world->polygonTable[i];
            if (p.neighbourCount > 0) linked.push_back(i);
            for (uint32_t k = 0; k < p.neighbourCount; ++k) {
                const uint32_t j = p.neighbours[k]->polygonIndex;
                boost::add_edge(i, j, SquaredDistance(points[j], points[i]), graph);
                ++links;
            }
        }
        maps = leanMaps = BoostMaps(n);
        PathSearchStepLimit = INT32_MAX;
        std::mt19937 random(2024);
        std::uniform_int_distribution<size_t> pick(0, linked.empty() ? 0 : linked.size() - 1);
        for (int tries = 0; tries < 100000 && pairs.size() < 1024 && !linked.empty(); ++tries) {
            const Pair pair{linked[pick(random)], linked[pick(random)]};
            if (pair.start != pair.goal && BothReach(pair)) pairs.push_back(pair);
        }
        if (pairs.empty()) error = "no pair of linked polygons reaches one another";
        std::printf("%u polygons, %zu links, %zu pairs\n", n, links, pairs.size());
    }

    std::vector<Vertex> Boost(const Pair& pair) {
        try {
            boost::astar_search(graph, pair.start, Estimate(points, pair.goal),
                                boost::visitor(GoalVisitor(pair.goal, nullptr))
                                    .predecessor_map(maps.predecessor.data())
                                    .distance_map(maps.distance.data())
                                    .rank_map(maps.cost.data())
                                    .color_map(maps.colour.data()));
        } catch (const FoundGoal&) {}
        return maps.Path(pair);
    }

    std::vector<Vertex> BoostNoInit(const Pair& pair) {
        reached.clear();
        const Estimate estimate(points, pair.goal);
        BoostMaps& m = leanMaps;
        m.distance[pair.start] = 0;
        m.cost[pair.start] = estimate(pair.start);
        try {
            boost::astar_search_no_init(graph, pair.start, estimate, GoalVisitor(pair.goal, &reached),
                                        m.predecessor.data(), m.cost.data(), m.distance.data(),
                                        boost::get(boost::edge_weight, graph), m.colour.data(),
                                        boost::get(boost::vertex_index, graph), std::less<float>(),
                                        boost::closed_plus<float>(kUnreached), kUnreached, 0.0f);
        } catch (const FoundGoal&) {}
        std::vector<Vertex> path = m.Path(pair);
        for (Vertex v : reached) m.Reset(v);
        return path;
    }

    List<CollisionPolygon*> Ours(const Pair& pair) const {
        List<CollisionPolygon*> path;
        TvFindWaypointPath(world->polygonTable[pair.start], world->polygonTable[pair.goal], path, 0);
        return path;
    }

    bool BothReach(const Pair& pair) {
        const List<CollisionPolygon*> ours = Ours(pair);
        const std::vector<Vertex> theirs = Boost(pair), lean = BoostNoInit(pair);
        return !ours.IsEmpty() && ours.Front()->polygonIndex == pair.goal && !theirs.empty() &&
               theirs.front() == pair.goal && lean == theirs;
    }
};

Level& SampleLevel() {
    static Level level = [] {
        Level l;
        l.root = LoadSampleLevelTree();
        if (!l.root) {
            l.error = "build the sample_data target first";
            return l;
        }
        l.Finish();
        return l;
    }();
    return level;
}

// 256 x 256 quads of 1 m over a rolling height field (no face steep).
Level& GridLevel() {
    static Level level = [] {
        constexpr int kCells = 256;
        Level l;
        auto* shape = new AwShape();
        auto* g = new LevelGeometry();
        g->Points.reserve((kCells + 1) * (kCells + 1));
        for (int i = 0; i <= kCells; ++i)
            for (int j = 0; j <= kCells; ++j) {
                const float x = static_cast<float>(i), z = static_cast<float>(j);
                g->Points.emplace_back(x, 1.5f * std::sin(x * 0.21f) * std::cos(z * 0.17f), z);
            }
        auto at = [&](int i, int j) { return &g->Points[static_cast<size_t>(i * (kCells + 1) + j)]; };
        for (int i = 0; i < kCells; ++i)
            for (int j = 0; j < kCells; ++j) {
                const Vector3 *a = at(i, j), *b = at(i + 1, j), *c = at(i + 1, j + 1), *d = at(i, j + 1);
                Vector3 n = Cross(*b - *a, *c - *a);
                n = n * (1.0f / std::sqrt(Dot(n, n)));
                g->Quads.push_back({{a, b, c, d}, n, 0});
            }
        shape->Geometry = g;
        l.root.reset(new AwShapeInstance(shape, false));
        shape->ReleaseUse();
        l.Finish();
        return l;
    }();
    return level;
}

template <class Search>
void Measure(benchmark::State& state, Level& (*which)(), Search&& search) {
    plat::SetGameFpuMode();
    Level& level = which();
    if (!level.error.empty()) return state.SkipWithError(level.error.c_str());
    PathSearchStepLimit = INT32_MAX;
    size_t i = 0;
    for (auto _ : state) {
        auto path = search(level, level.pairs[i++ % level.pairs.size()]);
        benchmark::DoNotOptimize(path);
    }
}

void Ours(benchmark::State& state, Level& (*which)()) {
    Measure(state, which, [](Level& l, const Pair& p) { return l.Ours(p); });
}

void Boost(benchmark::State& state, Level& (*which)()) {
    Measure(state, which, [](Level& l, const Pair& p) { return l.Boost(p); });
}

void BoostNoInit(benchmark::State& state, Level& (*which)()) {
    Measure(state, which, [](Level& l, const Pair& p) { return l.BoostNoInit(p); });
}

BENCHMARK_CAPTURE(Ours, SampleLevel, SampleLevel);
BENCHMARK_CAPTURE(Boost, SampleLevel, SampleLevel);
BENCHMARK_CAPTURE(BoostNoInit, SampleLevel, SampleLevel);
BENCHMARK_CAPTURE(Ours, GridLevel, GridLevel);
BENCHMARK_CAPTURE(Boost, GridLevel, GridLevel);
BENCHMARK_CAPTURE(BoostNoInit, GridLevel, GridLevel);

} // namespace

BENCHMARK_MAIN();
