#pragma once
// Fixtures of the map definition's tests: the sample level model copied into
// the scratch tree and applied by a map of the sample's kind, the cache files
// it leaves, and a comparable picture of the level world built.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/tv/defs_level_fixture.h"

// The map of the sample level with two roles: scouts in team 1 (Scout1 with
// the variable SCOUT1), drones in team 2, the pickup in team 0. `extra` adds
// properties to the map block.
std::string SampleMapScript(const std::string& extra = "");

// Every polygon of the level world in table order: its corners, flags and neighbours.
struct PolygonPicture {
    std::vector<Vector3> corners;
    uint32_t flags;
    std::vector<uint32_t> neighbours; // polygon indices

    bool operator==(const PolygonPicture& other) const;
};
std::vector<PolygonPicture> PictureOfLevel();

class MapTest : public LevelTest {
protected:
    void SetUp() override;

    std::string CachePath() const { return dir / "level.cut"; }
    std::string QifPath(const std::string& name) const { return dir / ("Qifs/" + name); }
    // The model file's last-write time.
    uint64_t ModelTime() const;
};
