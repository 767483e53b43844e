#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/model/model_file.h"
#include "Awapi/shape.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/shape_record.h"
#include "chunkfile/sound_chunks.h"
#include "platform/files.h"
#include "tests/awapi/model_fixture.h"

namespace {

using ModelFileTest = ModelTest;

TEST_F(ModelFileTest, WithoutEnvironmentTheScaleIsDefaultAndThereIsNoTextureTable) {
    AddObject(*tree, "Box", SquareShape());
    auto file = AwModelFile::FromTree(std::move(tree));
    ASSERT_NE(nullptr, file);
    EXPECT_FLOAT_EQ(0.001f, file->GetWorldScale());
    EXPECT_TRUE(file->Textures().empty());
}

TEST_F(ModelFileTest, EnvironmentGivesScaleAndTextureTableWithFittedSizes) {
    AddEnvironment(*tree, 2.5, {{0, "a.bmp", 100, 60}, {2, "b.bmp", 64, 64}, {9, "far.bmp", 8, 8}});
    auto file = AwModelFile::FromTree(std::move(tree));
    ASSERT_NE(nullptr, file);
    EXPECT_FLOAT_EQ(0.0025f, file->GetWorldScale());
    const auto& table = file->Textures();
    ASSERT_EQ(10u, table.size()); // numbers 0 to the largest one listed, past the count's 0 to 3
    ASSERT_NE(nullptr, table[0].Name);
    EXPECT_EQ("a.bmp", *table[0].Name);
    EXPECT_EQ(128u, table[0].Width);
    EXPECT_EQ(64u, table[0].Height);
    EXPECT_EQ(nullptr, table[1].Name);
    EXPECT_EQ("b.bmp", *table[2].Name);
    EXPECT_EQ(nullptr, table[3].Name);
    ASSERT_NE(nullptr, table[9].Name);
    EXPECT_EQ("far.bmp", *table[9].Name);
    EXPECT_EQ(8u, table[9].Width);
}

TEST_F(ModelFileTest, ThreeBitmapsNumberedInOrderGiveFourEntries) {
    AddEnvironment(*tree, 1.0, {{0, "a.bmp", 8, 8}, {1, "b.bmp", 8, 8}, {2, "c.bmp", 8, 8}});
    auto file = AwModelFile::FromTree(std::move(tree));
    ASSERT_NE(nullptr, file);
    ASSERT_EQ(4u, file->Textures().size());
    EXPECT_EQ(nullptr, file->Textures()[3].Name);
}

TEST_F(ModelFileTest, TextureTableStopsAtTheLargestNumberAPolygonCanName) {
    AddEnvironment(*tree, 1.0, {{-4, "negative.bmp", 8, 8}, {1, "b.bmp", 8, 8}, {INT32_MAX, "huge.bmp", 8, 8}});
    auto file = AwModelFile::FromTree(std::move(tree));
    ASSERT_NE(nullptr, file);
    const auto& table = file->Textures();
    ASSERT_EQ(size_t{ChunkPolygon::kMaxTextureIndex} + 1, table.size());
    EXPECT_EQ("b.bmp", *table[1].Name);
    EXPECT_EQ(1, std::count_if(table.begin(), table.end(), [](const AwTextureEntry& e) { return e.Name != nullptr; }));
}

TEST_F(ModelFileTest, ShapesAndObjectsAreFoundByNameIgnoringCase) {
    ChunkObjectData bare;
    bare.name = "DOOR";
    ObjectChunk::NewObject(tree.get(), bare); // matches, but has no shape
    ObjectChunk* first = AddObject(*tree, "Door", SquareShape());
    first->Data().position = {1000, 2000, -3000};
    AddObject(*tree, "door", SquareShape());
    AddObject(*tree, "Window", SquareShape());
    auto file = AwModelFile::FromTree(std::move(tree));

    Vector3 position;
    Quaternion orientation{1, 1, 1, 1};
    AwShape* shape = file->LoadShape("DOOR", &position, &orientation, 0);
    ASSERT_NE(nullptr, shape);
    EXPECT_FLOAT_EQ(1.0f, position.x);
    EXPECT_FLOAT_EQ(-3.0f, position.z);
    EXPECT_EQ(first->Data().orientation.w, orientation.w);
    shape->ReleaseUse();
    EXPECT_EQ(nullptr, file->LoadShape("Gate", nullptr, nullptr, 0));

    List<Chunk*> doors;
    file->ListObjectsNamed(doors, "DOOR");
    EXPECT_EQ(3, doors.Count());
    EXPECT_EQ(first, doors.At(1)[0]);
    EXPECT_EQ(nullptr, file->LoadSingleShape()); // four shapes
    // The first DOOR has no shape.
    ASSERT_NE(nullptr, file->FirstShapedObjectName());
    EXPECT_EQ("Door", *file->FirstShapedObjectName());
}

TEST_F(ModelFileTest, IndexedSoundsTakeTheLastChunkOfAnIndexAndIgnoreIndicesOutOfRange) {
    AddIndexedSound(*tree, 3, "first");
    AddIndexedSound(*tree, 3, "second");
    AddIndexedSound(*tree, 128, "beyond");
    AddIndexedSound(*tree, -1, "negative");
    auto file = AwModelFile::FromTree(std::move(tree));
    ASSERT_NE(nullptr, file->IndexedSound(3));
    EXPECT_EQ("second", file->IndexedSound(3)->Name());
    EXPECT_EQ(nullptr, file->IndexedSound(128));
    EXPECT_EQ(nullptr, file->IndexedSound(-1));
}

TEST_F(ModelFileTest, UnreadableOrMalformedFilesOpenNothing) {
    EXPECT_EQ(nullptr, AwModelFile::Open("/nonexistent/none.qif"));
    const std::string path = ::testing::TempDir() + "model_file_malformed.qif";
    plat::File out = plat::File::Open(path, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
    ASSERT_TRUE(out.IsOpen());
    ASSERT_TRUE(out.Write("QORINFF2\x40\0\0\0junk", 16));
    out.Close();
    EXPECT_EQ(nullptr, AwModelFile::Open(path));
}

TEST_F(ModelFileTest, HierarchyNamesAreListedInFileOrder) {
    AddHierarchy(*tree, "Robot");
    AddParent(*tree, "OBJCHIER"); // without a name: skipped
    AddHierarchy(*tree, "Tank");
    auto file = AwModelFile::FromTree(std::move(tree));
    List<const std::string*> names;
    names.PushBack(nullptr);
    file->ListHierarchyNames(names);
    ASSERT_EQ(2, names.Count());
    EXPECT_EQ("Robot", *names.Front());
    EXPECT_EQ("Tank", *names.Back());
}

} // namespace
