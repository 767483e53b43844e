#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "Tv/sim/waypoint_graph.h"
#include "Tv/sim/waypoint_map_file.h"
#include "Tv/world/collision_world.h"
#include "platform/files.h"
#include "tests/support/temp_dir.h"
#include "tests/tv/world_fixtures.h"

namespace {

using GraphWorld = GeometryWorld<CollisionWorld>;

constexpr uint64_t kStamp = 0x0123456789ABCDEFull;
constexpr uint32_t kWall = 9, kCeiling = 10, kPolygons = 11;

// A 3 x 3 floor of 2 m quads (slots 0 to 8), a wall (slot 9), a ceiling (slot 10).
GeometryLayout LevelLayout() { return FloorWithWallAndCeiling(3, 2); }

// Every polygon's links as polygon indices.
std::vector<std::vector<uint32_t>> LinksOf(const GraphWorld& w) {
    std::vector<std::vector<uint32_t>> links;
    for (uint32_t i = 0; i < w.world.polygonCount; ++i) {
        links.emplace_back();
        for (uint32_t k = 0; k < w[i].neighbourCount; ++k) links.back().push_back(w[i].neighbours[k]->polygonIndex);
    }
    return links;
}

std::vector<uint32_t> FlagsOf(const GraphWorld& w) {
    std::vector<uint32_t> flags;
    for (uint32_t i = 0; i < w.world.polygonCount; ++i) flags.push_back(w[i].flags);
    return flags;
}

// The offset of each polygon record's flags word in a cache image.
std::vector<size_t> FlagOffsets(const std::string& image) {
    std::vector<size_t> offsets;
    for (size_t at = 8; at + 8 <= image.size();) {
        uint32_t count = 0;
        std::memcpy(&count, image.data() + at, 4);
        offsets.push_back(at + 4);
        at += 8 + size_t{count} * 4;
    }
    return offsets;
}

void SetWord(std::string& image, size_t at, uint32_t value) { std::memcpy(image.data() + at, &value, 4); }

std::string ImageText(const std::vector<uint8_t>& image) { return std::string(image.begin(), image.end()); }

struct BuiltLevel : GraphWorld {
    BuiltLevel() : GraphWorld(LevelLayout()) { LoadPathGraph(world, 0, ""); }
};

// The graph and cache image a build gives the level.
struct Reference {
    BuiltLevel w;
    std::vector<std::vector<uint32_t>> links = LinksOf(w);
    std::vector<uint32_t> flags = FlagsOf(w);
    std::string image = ImageText(WaypointMapImage(w.world, kStamp));
};

TEST(WaypointGraph, BudgetsFollowTheTickRate) {
    struct Case {
        uint32_t ticksPerSecond;
        int32_t stepLimit, requestBudget;
    };
    for (const Case& c : {Case{95, 200, 1}, Case{429, 500, 2}, Case{0, 200, 1}, Case{150, 300, 1}, Case{250, 500, 2},
                          Case{199, 398, 1}, Case{3000, 500, 2}, Case{0x80000000u, 500, 2}}) {
        SetPathBudgets(c.ticksPerSecond);
        EXPECT_EQ(c.stepLimit, PathSearchStepLimit) << c.ticksPerSecond;
        EXPECT_EQ(c.requestBudget, PathRequestBudget) << c.ticksPerSecond;
    }
}

TEST(WaypointGraph, TheBuildLinksFloorsOnlyAndTheCacheRoundTrips) {
    const Reference reference;
    EXPECT_EQ(kPolygons, reference.w.world.polygonCount);
    EXPECT_TRUE(reference.w.world.HasGrid());
    EXPECT_EQ(8u,
              reference.links[4].size()); // the middle quad: four edges, four corners
    EXPECT_TRUE(reference.links[kWall].empty());
    EXPECT_TRUE(reference.links[kCeiling].empty());
    EXPECT_TRUE(reference.w[kWall].IsSteep());

    TempDir dir;
    const std::string name = dir / "level04.map";
    {
        GraphWorld first(LevelLayout());
        LoadPathGraph(first.world, kStamp, name);
        EXPECT_EQ(reference.links, LinksOf(first));
    }
    const std::string written = TempDir::Read(name);
    ASSERT_EQ(reference.image, written);
    EXPECT_EQ(std::string("\xEF\xCD\xAB\x89\x67\x45\x23\x01", 8), written.substr(0, 8));
    ASSERT_EQ(kPolygons, FlagOffsets(written).size());

    // A valid cache is read, not rewritten; its flags words replace the
    // built ones, the steep bit included.
    std::string edited = written;
    const std::vector<size_t> flagsAt = FlagOffsets(edited);
    SetWord(edited, flagsAt[0], 0x100 | 0x40);
    SetWord(edited, flagsAt[kWall], 0);
    dir.Write("level04.map", edited);
    const uint64_t oldTime = 116444736000000000ull; // 1970
    plat::File::Open(name, plat::kAccessReadWrite, plat::FileDisposition::OpenExisting).SetLastWriteTime(oldTime);
    for (uint64_t stamp : {kStamp, uint64_t{0}}) { // a world stamp of 0 accepts any cache
        GraphWorld second(LevelLayout());
        LoadPathGraph(second.world, stamp, name);
        EXPECT_EQ(reference.links, LinksOf(second));
        EXPECT_EQ(0x140u, second[0].flags);
        EXPECT_TRUE(second[0].IsSteep());
        EXPECT_FALSE(second[kWall].IsSteep());
        EXPECT_EQ(reference.flags[1], second[1].flags);
        EXPECT_EQ(oldTime, plat::GetFileTime(name));
        EXPECT_EQ(edited, TempDir::Read(name));
    }
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.path()), {}));
}

TEST(WaypointGraph, AStaleDamagedOrUnreadableCacheIsRebuiltAndRewritten) {
    const Reference reference;
    struct Case {
        const char* what;
        std::string (*damage)(std::string image);
    };
    const Case cases[] = {
        {"another stamp", [](std::string s) { return (s[0] ^= 1, s); }},
        {"empty", [](std::string) { return std::string(); }},
        {"half a stamp", [](std::string s) { return s.substr(0, 5); }},
        {"stamp only", [](std::string s) { return s.substr(0, 8); }},
        {"cut in the last record", [](std::string s) { return s.substr(0, s.size() - 2); }},
        {"last record missing", [](std::string s) { return s.substr(0, s.size() - 8); }},
        {"a byte too many", [](std::string s) { return s + '\0'; }},
        {"an index past the table", [](std::string s) { return (SetWord(s, FlagOffsets(s)[8] + 4, kPolygons), s); }},
        {"an index far past the table",
         [](std::string s) { return (SetWord(s, FlagOffsets(s)[8] + 4, 0xFFFFFFFFu), s); }},
        {"a count past the end", [](std::string s) { return (SetWord(s, FlagOffsets(s)[8] - 4, 0x7FFFFFFFu), s); }},
    };
    for (const Case& c : cases) {
        TempDir dir;
        std::string image = reference.image;
        SetWord(image, FlagOffsets(image)[0],
                0x40); // would show if anything were applied
        const std::string name = dir.Write("level04.map", c.damage(image));
        GraphWorld w(LevelLayout());
        LoadPathGraph(w.world, kStamp, name);
        EXPECT_EQ(reference.links, LinksOf(w)) << c.what;
        EXPECT_EQ(reference.flags, FlagsOf(w)) << c.what;
        EXPECT_EQ(reference.image, TempDir::Read(name)) << c.what;
    }
}

TEST(WaypointGraph, CachesThatCannotBeWrittenLeaveTheBuiltGraph) {
    const Reference reference;
    TempDir dir;
    {
        // A read-only stale cache is replaced.
        const std::string name = dir.Write("locked.map", "stale");
        ASSERT_TRUE(plat::SetFileAttributes(name, plat::kAttrReadOnly));
        GraphWorld w(LevelLayout());
        LoadPathGraph(w.world, kStamp, name);
        EXPECT_EQ(reference.image, TempDir::Read(name));
    }
    {
        // No folder to write in, or no cache at all: built, nothing written.
        GraphWorld missing(LevelLayout()), none(LevelLayout());
        LoadPathGraph(missing.world, kStamp, dir / "no/such/folder/level.map");
        LoadPathGraph(none.world, kStamp, "");
        EXPECT_EQ(reference.links, LinksOf(missing));
        EXPECT_EQ(reference.links, LinksOf(none));
        EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.path()), {}));
    }
}

} // namespace
