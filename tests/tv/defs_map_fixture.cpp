#include "tests/tv/defs_map_fixture.h"

#include "Tv/world/level_world.h"
#include "platform/files.h"

std::string SampleMapScript(const std::string& extra) {
    const std::string parts = " character none light lamp projectile none destructibility none"
                              " alpha fogging no per vertex fogging no }\n";
    return "light lamp { red 1 green 1 blue 1 specular red 0 specular green 0 specular blue 0 range 1 }\n"
           "role scout { identifier \"Scout\"" +
           parts + "role drone { identifier \"Drone\"" + parts + "role cells { identifier \"Cells\"" + parts +
           "map sample { name \"Level\" file \"Level.qif\" bitmap none camera plane \"CameraPlane\"\n"
           "  max camera distance 60 " +
           extra +
           "\n"
           "  use scout in team 1 for \"Scout1\" as \"SCOUT1\" and \"Scout2\"\n"
           "  use drone in team 2 for \"Drone1\" and \"Drone2\"\n"
           "  use cells in team 0 for \"Cells1\"\n"
           "}\n";
}

bool PolygonPicture::operator==(const PolygonPicture& other) const {
    if (corners.size() != other.corners.size() || flags != other.flags || neighbours != other.neighbours) return false;
    for (size_t i = 0; i < corners.size(); ++i)
        if (corners[i].x != other.corners[i].x || corners[i].y != other.corners[i].y ||
            corners[i].z != other.corners[i].z)
            return false;
    return true;
}

std::vector<PolygonPicture> PictureOfLevel() {
    std::vector<PolygonPicture> picture;
    if (!LevelWorldInstance) return picture;
    for (const CollisionPolygon* polygon : LevelWorldInstance->polygonTable) {
        if (!polygon) continue;
        PolygonPicture p;
        for (int i = 0; i < polygon->GetVertexCount(); ++i) p.corners.push_back(*polygon->GetVertices()[i]);
        p.flags = polygon->flags;
        for (uint32_t i = 0; i < polygon->neighbourCount; ++i)
            p.neighbours.push_back(polygon->neighbours[i]->polygonIndex);
        picture.push_back(p);
    }
    return picture;
}

void MapTest::SetUp() {
    LevelTest::SetUp();
    CopySample("Level.qif");
}

uint64_t MapTest::ModelTime() const { return plat::GetFileTime(QifPath("Level.qif")); }
