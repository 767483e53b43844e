#include "tools/tvlevel/queries.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>

#include "Awapi/model/dummy_object.h"
#include "Tv/sim/path_search.h"
#include "Tv/world/intersection.h"
#include "Tv/world/level_world.h"
#include "platform/fpu.h"

namespace {

constexpr uint32_t kUnitPathMask = 0x140100;

// A number as written; none when the word is not one.
std::optional<Real> ParseNumber(const std::string& word) {
    plat::NearestRoundingScope nearest; // the nearest float to what was written
    char* end = nullptr;
    errno = 0;
    const float value = std::strtof(word.c_str(), &end);
    if (word.empty() || *end != '\0' || errno != 0) return std::nullopt;
    return value;
}

std::optional<uint32_t> ParseMask(const std::string& word) {
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(word.c_str(), &end, 0);
    if (word.empty() || word[0] == '-' || *end != '\0' || errno != 0 || value > UINT32_MAX) return std::nullopt;
    return static_cast<uint32_t>(value);
}

// Three numbers from words[first].
std::optional<Vector3> ParsePoint(const std::vector<std::string>& words, size_t first) {
    const std::optional<Real> x = ParseNumber(words[first]), y = ParseNumber(words[first + 1]),
                              z = ParseNumber(words[first + 2]);
    if (!x || !y || !z) return std::nullopt;
    return Vector3(*x, *y, *z);
}

// Printed with round-to-nearest, so that a value prints as it is written.
void PrintLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void PrintLine(const char* format, ...) {
    plat::NearestRoundingScope nearest;
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
}

// Zero prints as 0 whatever its sign.
double D(Real value) { return value == 0 ? 0.0 : static_cast<double>(value); }

// The polygon the segment's hit point lies on: of the polygons the segment's
// line meets inside, the one met nearest to that point (-1: none).
int64_t PolygonAt(const CollisionWorld& world, const Vector3& a, const Vector3& d, const Vector3& point) {
    int64_t found = -1;
    Real best = 0;
    for (const CollisionPolygon* polygon : world.polygonTable) {
        Vector3 met;
        if (!polygon || !polygon->RayHit(met, a, d, nullptr)) continue;
        const Vector3 offset = met - point;
        const Real distance = Dot(offset, offset);
        if (found < 0 || distance < best) {
            found = polygon->polygonIndex;
            best = distance;
        }
    }
    return found;
}

bool Ray(const std::vector<std::string>& words, const LoadedLevel&) {
    const std::optional<Vector3> a = ParsePoint(words, 1), b = ParsePoint(words, 4);
    if (!a || !b) return false;
    const Vector3 d = *b - *a;
    HitRecord record{1.0f, Vector3(0, 0, 0)};
    if (!TvSegmentHitShapeTree(record, *LevelWorldInstance->GetRootShape(), *a, d)) {
        PrintLine("none\n");
        return true;
    }
    const Vector3 p = *a + record.t * d;
    PrintLine("hit %.6g %.6g %.6g %.6g %lld\n", D(record.t), D(p.x), D(p.y), D(p.z),
              static_cast<long long>(PolygonAt(*LevelWorldInstance, *a, d, p)));
    return true;
}

bool Floor(const std::vector<std::string>& words, const LoadedLevel&) {
    std::optional<Vector3> p = ParsePoint(words, 1);
    if (!p) return false;
    const CollisionPolygon* floor = LevelWorldInstance->DropToFloor(*p);
    if (floor)
        PrintLine("floor %.6g %u\n", D(p->y), floor->polygonIndex);
    else
        PrintLine("none\n");
    return true;
}

// The polygons a unit walks from start to goal: the greedy walk, else the A*
// search; empty when neither reaches the goal.
std::vector<CollisionPolygon*> PlanPath(CollisionPolygon* start, CollisionPolygon* goal, uint32_t mask) {
    if (start == goal) return {start};
    List<CollisionPolygon*> steps;
    TvFindGreedyPath(start, goal, steps, mask);
    std::vector<CollisionPolygon*> path{start};
    if (!steps.IsEmpty() && steps.Back() == goal) {
        for (CollisionPolygon* step : steps) path.push_back(step);
        return path;
    }
    steps.Clear();
    TvFindWaypointPath(start, goal, steps, mask); // from its end back
    if (steps.IsEmpty() || steps.Front() != goal) return {};
    ListIterator<CollisionPolygon*> it(steps);
    for (it.BeginLast(); !it.AtEnd(); it.Prev()) path.push_back(*it.Payload());
    return path;
}

bool Path(const std::vector<std::string>& words, const LoadedLevel&) {
    std::optional<Vector3> a = ParsePoint(words, 1), b = ParsePoint(words, 4);
    const std::optional<uint32_t> mask = words.size() == 8 ? ParseMask(words[7]) : kUnitPathMask;
    if (!a || !b || !mask) return false;
    CollisionPolygon* start = LevelWorldInstance->DropToFloor(*a);
    CollisionPolygon* goal = LevelWorldInstance->DropToFloor(*b);
    const std::vector<CollisionPolygon*> path =
        start && goal ? PlanPath(start, goal, *mask) : std::vector<CollisionPolygon*>();
    if (path.empty()) {
        PrintLine("none\n");
        return true;
    }
    Real length = 0;
    for (size_t i = 1; i < path.size(); ++i) {
        const Vector3 step = path[i]->GetReferencePoint() - path[i - 1]->GetReferencePoint();
        length += std::sqrt(Dot(step, step));
    }
    PrintLine("path %zu %.6g\n", path.size(), D(length));
    for (const CollisionPolygon* polygon : path) {
        const Vector3& p = polygon->GetReferencePoint();
        PrintLine("%.6g %.6g %.6g %u\n", D(p.x), D(p.y), D(p.z), polygon->polygonIndex);
    }
    return true;
}

bool Info(const std::vector<std::string>&, const LoadedLevel&) {
    const LevelWorld& world = *LevelWorldInstance;
    uint64_t polygons = 0, waypoints = 0, links = 0;
    for (const CollisionPolygon* polygon : world.polygonTable) {
        if (!polygon) continue;
        ++polygons;
        if (polygon->IsWalkable()) ++waypoints;
        links += polygon->neighbourCount;
    }
    const uint64_t cells = uint64_t{world.cellCount[0]} * world.cellCount[1] * world.cellCount[2];
    PrintLine("info %llu %llu %llu %llu\n", static_cast<unsigned long long>(polygons),
              static_cast<unsigned long long>(cells), static_cast<unsigned long long>(waypoints),
              static_cast<unsigned long long>(links));
    return true;
}

bool Dummies(const std::vector<std::string>&, const LoadedLevel&) {
    for (const AwDummyObject& d : LevelDummyList)
        PrintLine("dummy %s %.6g %.6g %.6g\n", d.Name ? d.Name->c_str() : "-", D(d.Position.x), D(d.Position.y),
                  D(d.Position.z));
    return true;
}

bool Placements(const std::vector<std::string>&, const LoadedLevel& level) {
    for (const Placement& p : level.placements)
        PrintLine("placement %d %d %s %.6g %.6g %.6g%s%s\n", p.id, p.team, p.definition.c_str(), D(p.position.x),
                  D(p.position.y), D(p.position.z), p.variable.empty() ? "" : " ", p.variable.c_str());
    return true;
}

struct Query {
    size_t minWords, maxWords; // with the query's name
    bool (*answer)(const std::vector<std::string>&, const LoadedLevel&);
};

const std::map<std::string, Query>& Queries() {
    static const std::map<std::string, Query> queries = {
        {"ray", {7, 7, &Ray}},   {"floor", {4, 4, &Floor}},     {"path", {7, 8, &Path}},
        {"info", {1, 1, &Info}}, {"dummies", {1, 1, &Dummies}}, {"placements", {1, 1, &Placements}},
    };
    return queries;
}

} // namespace

bool AnswerQuery(const std::vector<std::string>& words, const LoadedLevel& level) {
    if (words.empty()) return false;
    const auto it = Queries().find(words[0]);
    if (it == Queries().end() || words.size() < it->second.minWords || words.size() > it->second.maxWords) return false;
    return it->second.answer(words, level);
}

size_t QueryLength(const std::vector<std::string>& words, size_t first) {
    const auto it = Queries().find(words[first]);
    if (it == Queries().end()) return 0;
    // Up to the next query's name; a query short of words is then refused whole.
    size_t length = 1;
    while (length < it->second.maxWords && first + length < words.size() && !Queries().count(words[first + length]))
        ++length;
    return length;
}
