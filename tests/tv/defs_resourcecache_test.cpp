#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Awapi/model/model_file.h"
#include "Awapi/model/model_node.h"
#include "Awapi/shape.h"
#include "Tv/defs/resourcecache.h"
#include "chunkfile/object_chunk.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "tests/tv/defs_level_fixture.h"

namespace {

using ResourceCacheTest = LevelTest;

constexpr uint64_t kOneSecond = 10000000; // in FILETIME units

void SetTime(const std::string& path, uint64_t filetime) {
    plat::File file = plat::File::Open(path, plat::kAccessReadWrite, plat::FileDisposition::OpenExisting);
    ASSERT_TRUE(file.IsOpen()) << path;
    ASSERT_TRUE(file.SetLastWriteTime(filetime));
}

TEST_F(ResourceCacheTest, NamesInAnyCaseShareOneModelAndShapeEachWithAUsePerRequest) {
    WriteModelFile("Robot.qif", {"Walker"}, {"Body"});
    AwModel* model = ResourceCache::GetModel("Robot.qif", "Walker");
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model, ResourceCache::GetModel("ROBOT.QIF", "walker"));
    EXPECT_EQ(model->UseCount.load(), 2);
    EXPECT_EQ(model->HoldCount.load(), 1);

    AwShape* shape = ResourceCache::GetShape("robot.qif", "BODY");
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape, ResourceCache::GetShape("Robot.qif", "Body"));
    EXPECT_EQ(shape->UseCount.load(), 2);
    EXPECT_EQ(shape->HoldCount.load(), 1);

    const char* file = nullptr;
    const char* name = nullptr;
    ASSERT_TRUE(ResourceCache::FindSource(shape, &file, &name));
    EXPECT_STREQ(file, "robot.qif");
    EXPECT_STREQ(name, "BODY");

    // The callers' uses outlive the cache's hold.
    ResourceCache::ReleaseModelsAndShapes();
    EXPECT_EQ(model->HoldCount.load(), 0);
    EXPECT_FALSE(ResourceCache::FindSource(shape, &file, &name));
    model->ReleaseUse();
    EXPECT_TRUE(model->ReleaseUse() == false); // the last use deletes it
    shape->ReleaseUse();
    shape->ReleaseUse();
}

TEST_F(ResourceCacheTest, ShapesCarryTheirObjectsOrientation) {
    FileChunk file;
    AddObject(file, "Tilted", SquareShape())->Data().orientation = {0, 0.6f, 0, 0.8f};
    ASSERT_TRUE(file.Save(dir / "Qifs/Tilted.qif"));
    AwShape* shape = ResourceCache::GetShape("Tilted.qif", "Tilted");
    ASSERT_NE(shape, nullptr);
    EXPECT_FLOAT_EQ(shape->Orientation.y, 0.6f);
    EXPECT_FLOAT_EQ(shape->Orientation.w, 0.8f);
    shape->ReleaseUse();
}

// The file cache keeps one file open: a request for another file closes it,
// and the next request for the first opens it again and sees what is there now.
TEST_F(ResourceCacheTest, AlternatingFilesReopenTheFirst) {
    WriteModelFile("A.qif", {"First"}, {"Part"});
    WriteModelFile("B.qif", {}, {"Crate"});
    AwModel* first = ResourceCache::GetModel("A.qif", "First");
    ASSERT_NE(first, nullptr);
    WriteModelFile("A.qif", {"First", "Second"}, {"Part"});
    // Still open: the file as it was read.
    EXPECT_EQ(ResourceCache::GetModel("A.qif", "Second"), nullptr);
    AwShape* crate = ResourceCache::GetShape("B.qif", "Crate");
    ASSERT_NE(crate, nullptr);
    AwModel* second = ResourceCache::GetModel("A.qif", "Second");
    EXPECT_NE(second, nullptr);

    List<const std::string*> names;
    ResourceCache::ListHierarchies("a.qif", names);
    EXPECT_EQ(names.Count(), 2);
    ResourceCache::ReleaseFiles();
    // A request without reuse opens the file afresh.
    WriteModelFile("A.qif", {"Third"}, {"Part"});
    ASSERT_NE(ResourceCache::GetFile("A.qif", true), nullptr);
    AwModelFile* fresh = ResourceCache::GetFile("A.qif", false);
    ASSERT_NE(fresh, nullptr);
    AwModel* third = fresh->LoadHierarchy("Third");
    EXPECT_NE(third, nullptr);
    for (AwModel* m : {first, second, third})
        if (m) m->ReleaseUse();
    crate->ReleaseUse();
}

TEST_F(ResourceCacheTest, AMissingModelIsNotCachedAndLoadsOnceTheFileIsThere) {
    EXPECT_EQ(ResourceCache::GetModel("Late.qif", "Robot"), nullptr);
    WriteModelFile("Late.qif", {"Robot"}, {"Body"});
    EXPECT_EQ(ResourceCache::GetModel("Late.qif", "Nobody"), nullptr);
    AwModel* robot = ResourceCache::GetModel("Late.qif", "Robot");
    ASSERT_NE(robot, nullptr);
    robot->ReleaseUse();
}

// The ".opt" twin is taken when it is strictly newer than the file, or when
// it stands alone; never for a request without reuse.
TEST_F(ResourceCacheTest, ANewerOrLoneTwinIsUsed) {
    struct Case {
        const char* what;
        bool file;
        uint64_t fileTime, twinTime;
        bool twinUsed;
    };
    const uint64_t t = 130000000000000000ull;
    const Case cases[] = {
        {"twin later", true, t, t + kOneSecond, true},
        {"twin as old", true, t, t, false},
        {"twin older", true, t + kOneSecond, t, false},
        {"twin alone", false, 0, t, true},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dir / "Qifs/Twin.qif");
        if (c.file) {
            WriteModelFile("Twin.qif", {"FromFile"}, {"Part"});
            SetTime(dir / "Qifs/Twin.qif", c.fileTime);
        }
        WriteModelFile("Twin.opt", {"FromTwin"}, {"Part"});
        SetTime(dir / "Qifs/Twin.opt", c.twinTime);
        ResourceCache::ReleaseFiles();
        List<const std::string*> names;
        ResourceCache::ListHierarchies("Twin.qif", names);
        ASSERT_EQ(names.Count(), 1) << c.what;
        EXPECT_EQ(*names.Front(), c.twinUsed ? "FromTwin" : "FromFile") << c.what;
        if (c.file) {
            AwModelFile* file = ResourceCache::GetFile("Twin.qif", false);
            ASSERT_NE(file, nullptr);
            EXPECT_EQ(file->LoadHierarchy("FromTwin"), nullptr) << c.what;
        }
    }
}

// Only the times are compared: a model file that may not be written still
// wins over an older twin.
TEST_F(ResourceCacheTest, AReadOnlyModelFileBeatsAStaleTwin) {
    const uint64_t t = 130000000000000000ull;
    WriteModelFile("Locked.qif", {"FromFile"}, {"Part"});
    WriteModelFile("Locked.opt", {"FromTwin"}, {"Part"});
    SetTime(dir / "Qifs/Locked.qif", t + kOneSecond);
    SetTime(dir / "Qifs/Locked.opt", t);
    ASSERT_TRUE(plat::SetFileAttributes(dir / "Qifs/Locked.qif", plat::kAttrReadOnly));
    List<const std::string*> names;
    ResourceCache::ListHierarchies("Locked.qif", names);
    ASSERT_EQ(names.Count(), 1);
    EXPECT_EQ(*names.Front(), "FromFile");
}

// The twin's name replaces the last three characters, however long the path;
// a name too short for an extension has no twin.
TEST_F(ResourceCacheTest, TwinNamesAreNeverCutAndShortNamesHaveNone) {
    std::string folder;
    while (folder.size() < 300) folder += "deeply_nested_model_folder/";
    std::filesystem::create_directories(dir / ("Qifs/" + folder));
    WriteModelFile(folder + "Far.opt", {"Far"}, {"Part"});
    AwModel* far = ResourceCache::GetModel((folder + "Far.qif").c_str(), "Far");
    ASSERT_NE(far, nullptr);
    far->ReleaseUse();

    WriteModelFile("opt", {"Short"}, {"Part"});
    EXPECT_EQ(ResourceCache::GetModel("abc", "Short"), nullptr);
}

} // namespace
