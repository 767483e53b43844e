#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/files.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace {

// Each test works inside its own tree, made the thread's current directory.
class Paths : public testing::Test {
protected:
    void SetUp() override {
        dir_.Write("qifs/level1.qif", "level");
        dir_.Write("User Interface/Main Menu.QIF", "menu");
        ASSERT_TRUE(plat::SetCurrentDir(dir_.path()));
    }
    void TearDown() override { plat::SetCurrentDir(saved_); }

    TempDir dir_;
    std::string saved_ = plat::GetCurrentDir();
};

TEST_F(Paths, DataNamesFindTheirFilesWhateverTheCaseAndSlashes) {
    struct Case {
        const char* name;
        std::string expected; // below the tree
    } cases[] = {
        {"Qifs\\Level1.QIF", "qifs/level1.qif"},
        {"user interface/MAIN MENU.qif", "User Interface/Main Menu.QIF"},
        {"qifs\\New.QIF", "qifs/New.QIF"},                   // a missing name stays as written
        {"Missing\\Qifs\\Level1.QIF", "Missing/Qifs/Level1.QIF"}, // and so does all that follows it
        {"QIFS\\..\\qifs\\.\\\\LEVEL1.qif", "qifs/level1.qif"},
        {"Missing\\..\\QIFS\\Level1.qif", "qifs/level1.qif"},
    };
    for (const Case& c : cases) EXPECT_EQ(plat::ResolvePath(c.name), dir_ / c.expected) << c.name;

    EXPECT_EQ(plat::ResolvePath(""), dir_.path());
    EXPECT_EQ(plat::ResolvePath("/"), "/");
    EXPECT_EQ(plat::ResolvePath("/.."), "/");
    // A drive letter names the root of the host.
    std::string windowsName = "C:" + dir_.path() + "/QIFS/Level1.QIF";
    std::replace(windowsName.begin(), windowsName.end(), '/', '\\');
    EXPECT_EQ(plat::ResolvePath(windowsName), dir_ / "qifs/level1.qif");

    plat::File file = plat::File::Open("Qifs\\Level1.QIF", plat::kAccessRead, plat::FileDisposition::OpenExisting);
    EXPECT_TRUE(file.IsOpen());
}

TEST_F(Paths, AnExactMatchWinsOverOtherCases) {
    dir_.Write("Dup.txt", "upper");
    dir_.Write("dup.txt", "lower");
    EXPECT_EQ(plat::ResolvePath("dup.txt"), dir_ / "dup.txt");
    EXPECT_EQ(plat::ResolvePath("Dup.txt"), dir_ / "Dup.txt");
    const std::string other = plat::ResolvePath("DUP.TXT");
    EXPECT_TRUE(other == dir_ / "dup.txt" || other == dir_ / "Dup.txt") << other;
}

TEST_F(Paths, CachedMatchesFollowChangesMadeThroughTheLayerAndAfterAClear) {
    EXPECT_EQ(plat::ResolvePath("qifs\\LEVEL1.QIF"), dir_ / "qifs/level1.qif");
    ASSERT_TRUE(plat::DeleteFile("qifs\\level1.qif"));
    ASSERT_TRUE(plat::File::Open("QIFS\\Level1.Qif", plat::kAccessWrite, plat::FileDisposition::CreateNew).IsOpen());
    EXPECT_EQ(plat::ResolvePath("qifs\\LEVEL1.QIF"), dir_ / "qifs/Level1.Qif");

    ASSERT_TRUE(plat::RenameFile("qifs\\level1.qif", "qifs\\Renamed.qif"));
    EXPECT_EQ(plat::ResolvePath("QIFS\\RENAMED.QIF"), dir_ / "qifs/Renamed.qif");
    EXPECT_EQ(plat::ResolvePath("qifs\\level1.qif"), dir_ / "qifs/level1.qif"); // gone: kept as written

    // Behind the layer's back the cache is stale until cleared.
    std::filesystem::rename(dir_ / "qifs/Renamed.qif", dir_ / "qifs/RENAMED.QIF");
    plat::ClearPathCache();
    EXPECT_EQ(plat::ResolvePath("qifs\\renamed.qif"), dir_ / "qifs/RENAMED.QIF");
}

TEST_F(Paths, CurrentDirectoryChangesOnlyToExistingFolders) {
    EXPECT_TRUE(plat::SetCurrentDir("USER INTERFACE"));
    EXPECT_EQ(plat::GetCurrentDir(), dir_ / "User Interface");
    EXPECT_EQ(plat::ResolvePath("..\\Qifs"), dir_ / "qifs");
    EXPECT_FALSE(plat::SetCurrentDir("..\\Nowhere"));
    EXPECT_FALSE(plat::SetCurrentDir("Main Menu.qif")); // a file
    EXPECT_EQ(plat::GetCurrentDir(), dir_ / "User Interface");
}

} // namespace
