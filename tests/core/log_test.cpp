#include "core/log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/paths.h"
#include "platform/textfile.h"

namespace {

namespace fs = std::filesystem;

// Each test runs with two fresh folders, the first as the current directory.
class LogTest : public testing::Test {
protected:
    void SetUp() override {
        savedDir_ = plat::GetCurrentDir();
        first_ = MakeFolder();
        second_ = MakeFolder();
        ASSERT_TRUE(plat::SetCurrentDir(first_.string()));
    }
    void TearDown() override {
        plat::SetCurrentDir(savedDir_);
        fs::remove_all(first_);
        fs::remove_all(second_);
    }

    static fs::path MakeFolder() {
        std::string folder = (fs::temp_directory_path() / "tavrin-log-XXXXXX").string();
        EXPECT_NE(mkdtemp(folder.data()), nullptr);
        return folder;
    }
    // The log's text in a folder ("<none>" when there is no log there).
    static std::string LogIn(const fs::path& folder) {
        std::string text;
        return plat::ReadTextFile((folder / "LOGFILE.TXT").string(), text) ? text : "<none>";
    }
    static void PutOldLog(const fs::path& folder) {
        plat::TextFile old = plat::TextFile::Open((folder / "LOGFILE.TXT").string(), "w");
        ASSERT_TRUE(old.Write("previous run\n"));
    }

    std::string savedDir_;
    fs::path first_, second_;
};

TEST_F(LogTest, EachRunStartsAFreshFile) {
    PutOldLog(first_);
    {
        LogFile run("LOGFILE.TXT");
        run.WriteLine("one");
        run.WriteLine("two");
    }
    EXPECT_EQ(LogIn(first_), "one\ntwo\n");

    LogFile nextRun("LOGFILE.TXT");
    nextRun.WriteLine("three");
    EXPECT_EQ(LogIn(first_), "three\n");
}

TEST_F(LogTest, PathIsFixedWhereTheLogStarted) {
    LogFile log("LOGFILE.TXT");
    log.WriteLine("a");
    ASSERT_TRUE(plat::SetCurrentDir(second_.string()));
    log.WriteLine("b");
    EXPECT_EQ(LogIn(first_), "a\nb\n");
    EXPECT_EQ(LogIn(second_), "<none>");

    // A reset moves the log to the current directory and empties it there.
    PutOldLog(second_);
    log.Reset();
    EXPECT_EQ(LogIn(second_), "<none>");
    log.WriteLine("c");
    EXPECT_EQ(LogIn(second_), "c\n");
    EXPECT_EQ(LogIn(first_), "a\nb\n");
}

TEST_F(LogTest, EntryThatCannotBeWrittenIsDropped) {
    LogFile log("LOGFILE.TXT");
    log.Reset();
    fs::remove_all(first_);
    log.WriteLine("lost");
    EXPECT_FALSE(fs::exists(first_));
}

TEST_F(LogTest, ProgramLogFormatsBoundedEntries) {
    PutOldLog(first_);
    LogReset();
    EXPECT_EQ(LogIn(first_), "<none>");

    LogPrintf("Error: Validate Device failed on line %i in file %s.", 812, "render.cpp");
    LogLine("100%d %s literal");
    const std::string longText(3000, 'y');
    LogPrintf("%s", longText.c_str());

    EXPECT_EQ(LogIn(first_), "Error: Validate Device failed on line 812 in file render.cpp.\n"
                             "100%d %s literal\n" +
                                 longText.substr(0, kLogEntrySize - 1) + "\n");
}

} // namespace
