#include "Tv/sim/path_search.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "Tv/sim/waypoint_graph.h"
#include "Tv/world/collision_polygon.h"

namespace {

Real SquaredDistance(const Vector3& a, const Vector3& b) {
    const Vector3 d = a - b;
    return Dot(d, d);
}

// The corner rule: a diagonal step from C to N (polygons sharing only a
// corner) is refused when a blocked neighbour of C shares an edge with both.
class CornerRule {
public:
    // Keeps C's blocked neighbours (links that fail the mask) that share an edge with C.
    void Collect(const CollisionPolygon& c, uint32_t mask) {
        blocked_.clear();
        for (uint32_t i = 0; i < c.neighbourCount; ++i) {
            const CollisionPolygon* b = c.neighbours[i];
            if ((b->flags & mask) != 0 && b->SharesTwoVertices(c)) blocked_.push_back(b);
        }
    }
    bool Refuses(const CollisionPolygon& c, const CollisionPolygon& n) const {
        if (blocked_.empty() || c.SharesTwoVertices(n)) return false;
        return std::any_of(blocked_.begin(), blocked_.end(),
                           [&](const CollisionPolygon* b) { return b->SharesTwoVertices(n); });
    }

private:
    std::vector<const CollisionPolygon*> blocked_; // grows as far as a polygon's links need
};

// A polygon the search has reached, found by its polygon index.
struct SearchNode {
    CollisionPolygon* polygon;
    Real g;                // cost from the start of its open entry
    uint32_t openSequence; // the insertion number of its open entry; 0 when it has none
};

// An open entry; the key orders by F (a non-negative float's bits order as
// the float does), then by insertion, so equal F values leave first-in first.
struct OpenEntry {
    uint64_t key;
    uint32_t index;
    bool operator<(const OpenEntry& other) const { return key > other.key; } // a min-heap under std::*_heap
};

uint64_t OpenKey(Real f, uint32_t sequence) { return uint64_t{std::bit_cast<uint32_t>(f)} << 32 | sequence; }
Real KeyF(uint64_t key) { return std::bit_cast<Real>(static_cast<uint32_t>(key >> 32)); }

// One thread's search state, kept between searches so its arrays are reused.
// The came-from link lives in each polygon's `scratch` as polygon index + 1.
class WaypointSearch {
public:
    template <class Goal>
    void Run(CollisionPolygon* start, const Goal& goal, List<CollisionPolygon*>& out, uint32_t mask);

    CornerRule rule;

private:
    void Insert(CollisionPolygon* polygon, Real g, Real h) {
        const uint32_t index = polygon->polygonIndex;
        if (index >= nodes_.size()) nodes_.resize(std::max<size_t>(size_t{index} + 1, nodes_.size() * 2));
        nodes_[index] = SearchNode{polygon, g, ++sequence_};
        open_.push_back(OpenEntry{OpenKey(g + h, sequence_), index});
        std::push_heap(open_.begin(), open_.end());
    }
    // Takes out the first live open entry; false when none is left.
    bool TakeFirst(OpenEntry& first) {
        while (!open_.empty()) {
            std::pop_heap(open_.begin(), open_.end());
            first = open_.back();
            open_.pop_back();
            SearchNode& node = nodes_[first.index];
            if (node.openSequence != static_cast<uint32_t>(first.key)) continue; // replaced by a cheaper entry
            node.openSequence = 0;
            return true;
        }
        return false;
    }

    std::vector<SearchNode> nodes_; // by polygon index
    std::vector<uint32_t> reached_; // indices of the polygons with an entry
    std::vector<OpenEntry> open_;
    uint32_t sequence_ = 0;
};

thread_local WaypointSearch Search;

template <class Goal>
void WaypointSearch::Run(CollisionPolygon* start, const Goal& goal, List<CollisionPolygon*>& out, uint32_t mask) {
    open_.clear();
    reached_.clear();
    sequence_ = 0;
    reached_.push_back(start->polygonIndex);
    Insert(start, 0.0f, goal.Estimate(start->GetReferencePoint()));
    auto budget = static_cast<uint32_t>(PathSearchStepLimit);
    CollisionPolygon* last = nullptr;
    CollisionPolygon* best = nullptr; // the expanded polygon of smallest F, the earliest on ties
    Real bestF = 0.0f;
    OpenEntry entry;
    while (TakeFirst(entry)) {
        const SearchNode expanded = nodes_[entry.index];
        last = expanded.polygon;
        if (!best || KeyF(entry.key) < bestF) best = last, bestF = KeyF(entry.key);
        if (budget == 0) break;
        --budget;
        if (goal.Reached(*last)) break;
        rule.Collect(*last, mask);
        const Vector3& here = last->GetReferencePoint();
        const uint32_t cameFrom = last->polygonIndex + 1;
        for (uint32_t i = 0; i < last->neighbourCount; ++i) {
            CollisionPolygon* n = last->neighbours[i];
            if ((n->flags & mask) != 0 || rule.Refuses(*last, *n)) continue;
            const bool fresh = n->scratch == 0;
            if (!fresh && nodes_[n->polygonIndex].openSequence == 0) continue; // expanded already
            const Vector3& there = n->GetReferencePoint();
            const Real g = expanded.g + SquaredDistance(there, here);
            if (!fresh && !(g < nodes_[n->polygonIndex].g)) continue;
            if (fresh) reached_.push_back(n->polygonIndex);
            n->scratch = cameFrom;
            Insert(n, g, goal.Estimate(there));
        }
    }
    CollisionPolygon* end = goal.Reached(*last) ? last : best;
    for (CollisionPolygon* p = end; p != start; p = nodes_[p->scratch - 1].polygon) out.PushBack(p);
    for (uint32_t index : reached_) nodes_[index].polygon->scratch = 0;
}

struct PolygonGoal {
    const CollisionPolygon* polygon;
    Vector3 point;
    Real Estimate(const Vector3& p) const { return SquaredDistance(point, p); }
    bool Reached(const CollisionPolygon& p) const { return &p == polygon; }
};

struct PointGoal {
    Vector3 point;
    Real squaredRange;
    Real Estimate(const Vector3& p) const { return SquaredDistance(point, p); }
    bool Reached(const CollisionPolygon& p) const { return Estimate(p.GetReferencePoint()) < squaredRange; }
};

} // namespace

void TvFindGreedyPath(CollisionPolygon* start, CollisionPolygon* goal, List<CollisionPolygon*>& out, uint32_t mask) {
    CornerRule& rule = Search.rule;
    const Vector3& target = goal->GetReferencePoint();
    for (CollisionPolygon* c = start; c != goal;) {
        rule.Collect(*c, mask);
        CollisionPolygon* best = nullptr;
        Real bestDistance = SquaredDistance(target, c->GetReferencePoint());
        for (uint32_t i = 0; i < c->neighbourCount; ++i) {
            CollisionPolygon* n = c->neighbours[i];
            if ((n->flags & mask) != 0 || rule.Refuses(*c, *n)) continue;
            const Real d = SquaredDistance(target, n->GetReferencePoint());
            if (d < bestDistance) best = n, bestDistance = d;
        }
        if (!best) return;
        out.PushBack(best);
        c = best;
    }
}

void TvFindWaypointPath(CollisionPolygon* start, CollisionPolygon* goal, List<CollisionPolygon*>& out, uint32_t mask) {
    Search.Run(start, PolygonGoal{goal, goal->GetReferencePoint()}, out, mask);
}

void TvFindWaypointPathPartial(CollisionPolygon* start, const Vector3& goal, List<CollisionPolygon*>& out,
                               uint32_t mask, Real squaredRange) {
    Search.Run(start, PointGoal{goal, squaredRange}, out, mask);
}
