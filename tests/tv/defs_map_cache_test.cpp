// The level cache and the model's twins: written by the first load, read by
// the next, rebuilt when the model changes or the cache is damaged.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "Awapi/model/model_file.h"
#include "Awapi/shape_instance.h"
#include "Tv/defs/levelcache.h"
#include "Tv/world/level_world.h"
#include "chunkfile/container.h"
#include "chunkfile/object_chunk.h"
#include "core/bytes.h"
#include "platform/files.h"
#include "tests/tv/defs_map_fixture.h"

namespace {

constexpr uint32_t kSampleLevelQuads = 417; // the sample level's polygons, all quads

std::vector<uint8_t> ReadBytes(const std::string& path) {
    const std::string text = TempDir::Read(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

void WriteBytes(TempDir& dir, const std::string& relative, const std::vector<uint8_t>& bytes) {
    dir.Write(relative, std::string(bytes.begin(), bytes.end()));
}

// The cache rewritten unpacked: the stamp, the origin, the body's rest.
std::vector<uint8_t> Unpacked(const std::vector<uint8_t>& packed) {
    std::vector<uint8_t> body;
    EXPECT_TRUE(DecompressChunkImage(std::span(packed).subspan(20), body));
    std::vector<uint8_t> file(packed.begin(), packed.begin() + 8);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

bool HasObject(const AwModelFile& file, const char* name) {
    List<Chunk*> objects;
    file.ListObjectsNamed(objects, name);
    return !objects.IsEmpty();
}

int ShapeCount(const AwModelFile& file) {
    List<Chunk*> shapes;
    file.Tree().ListShapes(shapes);
    return shapes.Count();
}

struct Stamp {
    uint64_t time;
    std::string bytes;
};
Stamp StampOf(const std::string& path) { return {plat::GetFileTime(path), TempDir::Read(path)}; }

using MapCacheTest = MapTest;

TEST_F(MapCacheTest, TheFirstLoadWritesTheCacheAndTwinsAndTheNextReadsThemAndWritesNothing) {
    Load(SampleMapScript());
    ASSERT_NE(nullptr, LevelWorldInstance) << diagnostics.Errors().size();
    EXPECT_EQ(1, LevelWorldInstance->graphBuilt) << "the waypoint graph is loaded";
    EXPECT_EQ(ModelTime(), LevelWorldInstance->levelFileTime);
    const std::vector<PolygonPicture> built = PictureOfLevel();
    ASSERT_EQ(kSampleLevelQuads, built.size());

    const std::vector<uint8_t> cut = ReadBytes(CachePath());
    ASSERT_GT(cut.size(), 20u + kContainerHeaderSize);
    ByteReader header(cut.data(), cut.size());
    EXPECT_EQ(ModelTime(), uint64_t{header.U32()} | uint64_t{header.U32()} << 32);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(0x7F7FFFFFu, header.U32());
    EXPECT_EQ(0, std::memcmp(cut.data() + 20, kContainerId, 8)) << "the body is packed";

    auto opt = AwModelFile::Open(QifPath("Level.opt"));
    auto loc = AwModelFile::Open(QifPath("Level.loc"));
    auto model = AwModelFile::Open(QifPath("Level.qif"));
    ASSERT_TRUE(opt && loc && model);
    EXPECT_FALSE(HasObject(*opt, "Level"));
    EXPECT_EQ(ShapeCount(*model) - 1, ShapeCount(*opt)) << "the level object's shape goes with it";
    EXPECT_TRUE(HasObject(*opt, "Scout1"));
    EXPECT_EQ(2, ShapeCount(*loc)) << "the camera plane's shape and the sky's";
    List<Chunk*> scouts;
    loc->ListObjectsNamed(scouts, "Scout1");
    List<Chunk*> planes;
    loc->ListObjectsNamed(planes, "CameraPlane");
    ASSERT_EQ(1, scouts.Count());
    ASSERT_EQ(1, planes.Count());
    EXPECT_EQ(dynamic_cast<ObjectChunk*>(planes.Front())->GetShapeChunk(),
              dynamic_cast<ObjectChunk*>(scouts.Front())->GetShapeChunk());

    const Stamp cache = StampOf(CachePath()), optStamp = StampOf(QifPath("Level.opt")),
                locStamp = StampOf(QifPath("Level.loc"));
    Load(SampleMapScript());
    ASSERT_NE(nullptr, LevelWorldInstance);
    EXPECT_TRUE(built == PictureOfLevel()) << "polygons, flags and links as built";
    for (const auto& [path, before] : {std::pair{CachePath(), cache}, std::pair{QifPath("Level.opt"), optStamp},
                                       std::pair{QifPath("Level.loc"), locStamp}}) {
        const Stamp after = StampOf(path);
        EXPECT_EQ(before.time, after.time) << path;
        EXPECT_EQ(before.bytes, after.bytes) << path;
    }
    EXPECT_NE(nullptr, LevelWorldInstance->skyObject);
}

TEST_F(MapCacheTest, TouchingTheModelRebuildsTheCacheAndTheTwins) {
    Load(SampleMapScript());
    const Stamp optStamp = StampOf(QifPath("Level.opt")), locStamp = StampOf(QifPath("Level.loc"));
    const uint64_t touched = ModelTime() + 10'000'000; // a second later
    {
        plat::File model =
            plat::File::Open(QifPath("Level.qif"), plat::kAccessReadWrite, plat::FileDisposition::OpenExisting);
        ASSERT_TRUE(model.SetLastWriteTime(touched));
    }
    ASSERT_EQ(touched, ModelTime());
    Load(SampleMapScript());
    ASSERT_NE(nullptr, LevelWorldInstance);
    EXPECT_EQ(touched, LevelWorldInstance->levelFileTime);
    LevelCache cache;
    EXPECT_TRUE(ReadLevelCache(CachePath(), touched, cache)) << "stamped with the new time";
    EXPECT_NE(optStamp.time, plat::GetFileTime(QifPath("Level.opt")));
    EXPECT_NE(locStamp.time, plat::GetFileTime(QifPath("Level.loc")));
}

TEST_F(MapCacheTest, AnUnpackedCacheAndACacheWithoutItsModelLoadAsTheyAre) {
    Load(SampleMapScript());
    const std::vector<PolygonPicture> built = PictureOfLevel();
    const std::vector<uint8_t> unpacked = Unpacked(ReadBytes(CachePath()));
    WriteBytes(dir, "level.cut", unpacked);
    Load(SampleMapScript());
    EXPECT_TRUE(built == PictureOfLevel());
    EXPECT_EQ(unpacked, ReadBytes(CachePath())) << "a valid cache is not rewritten";

    // The model gone: the cache is taken whatever its stamp, the ".loc" twin places the level.
    std::filesystem::remove(QifPath("Level.qif"));
    plat::ClearPathCache();
    Load(SampleMapScript());
    ASSERT_NE(nullptr, LevelWorldInstance);
    EXPECT_EQ(0u, LevelWorldInstance->levelFileTime);
    EXPECT_TRUE(built == PictureOfLevel());
    EXPECT_NE(nullptr, LevelWorldInstance->skyObject);
    EXPECT_EQ(unpacked, ReadBytes(CachePath()));
}

TEST_F(MapCacheTest, ADamagedCacheIsRebuiltAndReplaced) {
    Load(SampleMapScript());
    const std::vector<PolygonPicture> built = PictureOfLevel();
    const std::vector<uint8_t> packed = ReadBytes(CachePath());
    const std::vector<uint8_t> unpacked = Unpacked(packed);
    auto changed = [](std::vector<uint8_t> bytes, auto change) {
        change(bytes);
        return bytes;
    };
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"a short stamp", std::vector<uint8_t>(packed.begin(), packed.begin() + 5)},
        {"another stamp", changed(packed, [](std::vector<uint8_t>& b) { b[0] ^= 1; })},
        {"a truncated block", std::vector<uint8_t>(packed.begin(), packed.end() - 7)},
        {"a damaged block", changed(packed, [](std::vector<uint8_t>& b) { b[b.size() / 2] ^= 0x5A; })},
        {"a truncated body", std::vector<uint8_t>(unpacked.begin(), unpacked.end() - 3)},
        {"bytes after the body", changed(unpacked, [](std::vector<uint8_t>& b) { b.insert(b.end(), 4, 0); })},
        {"a corner beyond the vertices",
         changed(unpacked, [](std::vector<uint8_t>& b) { std::fill(b.end() - 32, b.end() - 28, 0xFF); })},
        {"more quads than the file holds",
         changed(unpacked, [&](std::vector<uint8_t>& b) { b[b.size() - kSampleLevelQuads * 32 - 4] ^= 0x10; })},
    };
    for (const auto& c : cases) {
        WriteBytes(dir, "level.cut", c.bytes);
        diagnostics.Clear();
        Load(SampleMapScript());
        ASSERT_NE(nullptr, LevelWorldInstance) << c.name;
        EXPECT_TRUE(built == PictureOfLevel()) << c.name;
        LevelCache cache;
        EXPECT_TRUE(ReadLevelCache(CachePath(), ModelTime(), cache)) << c.name << ": replaced by a good one";
    }
}

TEST_F(MapCacheTest, AScriptWithoutASafeCacheNameGetsNoCache) {
    const std::string script = SampleMapScript();
    Load(script, "lv.cut");
    ASSERT_NE(nullptr, LevelWorldInstance);
    EXPECT_EQ(script, TempDir::Read(dir / "lv.cut")) << "the script is not overwritten";
    Load(script, "lv.cut");
    EXPECT_NE(nullptr, LevelWorldInstance) << "built again";
    Load(script, "l.tv"); // four characters
    EXPECT_NE(nullptr, LevelWorldInstance);
    EXPECT_FALSE(std::filesystem::exists(dir / "lcut"));
}

TEST_F(MapCacheTest, AMissingLevelObjectStopsTheApply) {
    std::string script = SampleMapScript();
    script.replace(script.find("name \"Level\""), 12, "name \"Lobby\"");
    Load(script);
    EXPECT_EQ(nullptr, LevelWorldInstance);
    EXPECT_EQ(1, diagnostics.Count("level object 'Lobby' not found in 'Level.qif'"));
    EXPECT_FALSE(std::filesystem::exists(CachePath()));
    EXPECT_TRUE(LevelDummyList.empty());
}

} // namespace
