#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "Tv/defs/datadirectory.h"
#include "platform/files.h"
#include "platform/threads.h"
#include "tests/tv/defs_test_helpers.h"

namespace {

uint64_t memoryBytes = 0;
uint64_t FakeMemory() { return memoryBytes; }

// The directory script in the test directory, applied as at start-up, with
// the machine's memory set to `memory`; the table is cleared afterwards.
class DataDirectoryTest : public DefsTest {
protected:
    DataDirectoryTest() { SetPhysicalMemoryQuery(&FakeMemory); }
    ~DataDirectoryTest() override {
        DataDirClear();
        SetPhysicalMemoryQuery(nullptr);
    }

    void Load(const std::string& script, uint64_t memory = 64ull << 20) {
        memoryBytes = memory;
        Write("tvdirs.tvs", script);
        diagnostics.Clear();
        TvLoadDirectoryScript("tvdirs.tvs");
    }
    std::string Entry(int32_t index) const { return DataDirGet(index) ? DataDirGet(index) : "(unset)"; }
};

TEST_F(DataDirectoryTest, NamesFillTheirEntriesWithoutRegardToCase) {
    Load(R"(directory { name "SCRIPTS" file "levels" }
            directory { name "Fmvs" file "movies/intro" }
            directory { name "qifs" file " Qifs/" }
            directory { name "graphics" file "old" }
            directory { name "graphics" file "new" }
            directory { name "fonts" file "fonts" }
            directory { name "dumps" file "shots" }
            directory { name "music" file "cd" }
            directory { name "scripts" }
         )");
    EXPECT_EQ(diagnostics.Errors(), std::vector<std::string>{});
    // Paths are kept as written; a later definition of an entry replaces an
    // earlier one; unknown names and incomplete definitions change nothing.
    const std::string expected[kDataDirectoryCount] = {"levels",  "movies/intro", " Qifs/", "new",
                                                       "(unset)", "fonts",        "shots"};
    for (int32_t i = 0; i < kDataDirectoryCount; ++i) EXPECT_EQ(Entry(i), expected[i]) << "entry " << i;
    EXPECT_EQ(DataDirBase(), dir_.path());
}

TEST_F(DataDirectoryTest, TheMachinesMemoryChoosesOneOfTheTwoSoundEntries) {
    struct Case {
        uint64_t memory;
        const char* script;
        const char* sounds;
    };
    const char* both = R"(directory { name "sounds" file "low" } directory { name "Sounds22" file "high" })";
    const Case cases[] = {
        {73400320, both, "low"},
        {73400321, both, "high"},
        {2ull << 30, both, "high"},
        {16ull << 30, both, "high"},
        {16ull << 30, R"(directory { name "sounds" file "low" })", "(unset)"},
        {32ull << 20, R"(directory { name "sounds22" file "high" })", "(unset)"},
    };
    for (const Case& c : cases) {
        DataDirClear();
        Load(c.script, c.memory);
        EXPECT_EQ(Entry(kDataDirSounds), c.sounds) << c.memory << " bytes: " << c.script;
    }
}

TEST_F(DataDirectoryTest, EnterGoesIntoTheEntryFromTheBaseAndRestoreComesBack) {
    Write("levels/a.txt", "in levels");
    Write("models/a.txt", "in models");
    Load(R"(directory { name "scripts" file "levels" }
            directory { name "qifs" file "MODELS" }
            directory { name "graphics" file "missing" })");
    const std::string base = plat::GetCurrentDir();
    std::string text;

    EXPECT_TRUE(DataDirEnter(kDataDirScripts));
    ASSERT_TRUE(plat::ReadWholeFile("a.txt", text));
    EXPECT_EQ(text, "in levels");
    // A second enter without a restore still starts from the base.
    EXPECT_TRUE(DataDirEnter(kDataDirQifs));
    ASSERT_TRUE(plat::ReadWholeFile("a.txt", text));
    EXPECT_EQ(text, "in models");
    EXPECT_TRUE(DataDirRestore());
    EXPECT_EQ(plat::GetCurrentDir(), base);

    // An entry that does not exist, or one never set, answers true and stays put.
    for (int32_t index : {int32_t{kDataDirGraphics}, int32_t{kDataDirFonts}, -1, kDataDirectoryCount}) {
        EXPECT_TRUE(DataDirEnter(index));
        EXPECT_EQ(plat::GetCurrentDir(), base) << "entry " << index;
    }
    EXPECT_TRUE(DataDirEnter(kDataDirScripts));
    EXPECT_TRUE(DataDirEnter(kDataDirGraphics));
    EXPECT_TRUE(DataDirRestore());
    EXPECT_EQ(plat::GetCurrentDir(), base);
}

// A base directory and entries far longer than the old 260-character
// buffers are kept whole.
TEST_F(DataDirectoryTest, LongBaseAndEntryPathsAreNotCut) {
    std::string deep;
    while (deep.size() < 300) deep += "a_long_folder_name_for_the_base/";
    Write(deep + "tvdirs.tvs", R"(directory { name "qifs" file "models/inner" })");
    Write(deep + "models/inner/a.txt", "deep model");
    ASSERT_TRUE(plat::SetCurrentDir(dir_.path() + "/" + deep));
    const std::string base = plat::GetCurrentDir();
    ASSERT_GT(base.size(), 300u);
    TvLoadDirectoryScript("tvdirs.tvs");
    EXPECT_EQ(DataDirBase(), base);

    ASSERT_TRUE(plat::SetCurrentDir(dir_.path()));
    EXPECT_TRUE(DataDirEnter(kDataDirQifs));
    std::string text;
    ASSERT_TRUE(plat::ReadWholeFile("a.txt", text));
    EXPECT_EQ(text, "deep model");
    EXPECT_TRUE(DataDirRestore());
    EXPECT_EQ(plat::GetCurrentDir(), base);
}

TEST_F(DataDirectoryTest, AScriptThatCannotBeReadLeavesTheTableAsItWas) {
    Load(R"(directory { name "scripts" file "levels" })");
    TvLoadDirectoryScript("absent.tvs");
    EXPECT_EQ(Entry(kDataDirScripts), "levels");
    Load("directory { name \"scripts\" file \"x\" } directory {");
    EXPECT_EQ(Entry(kDataDirScripts), "levels");
}

TEST_F(DataDirectoryTest, SettingAnEntryCopiesTheTextAndNullClearsIt) {
    char text[] = "first";
    DataDirSet(kDataDirDumps, text);
    text[0] = 'F';
    EXPECT_EQ(Entry(kDataDirDumps), "first");
    DataDirSet(kDataDirDumps, DataDirGet(kDataDirDumps)); // its own text: kept
    EXPECT_EQ(Entry(kDataDirDumps), "first");
    DataDirSet(kDataDirDumps, nullptr);
    EXPECT_EQ(Entry(kDataDirDumps), "(unset)");
}

// The server thread enters the scripts entry while the main thread reads
// models: each thread's opens stay in its own entry.
TEST_F(DataDirectoryTest, TwoThreadsInDifferentEntriesReadTheirOwnFiles) {
    Write("levels/data.txt", "scripts");
    Write("models/data.txt", "qifs");
    Load(R"(directory { name "scripts" file "levels" } directory { name "qifs" file "models" })");
    std::atomic<int> wrong{0};
    auto reader = [&](int32_t entry, const char* expected) {
        return [&wrong, entry, expected] {
            for (int i = 0; i < 300; ++i) {
                DataDirEnter(entry);
                plat::Sleep(0);
                std::string text;
                if (!plat::ReadWholeFile("data.txt", text) || text != expected) ++wrong;
                DataDirRestore();
            }
        };
    };
    plat::Thread first, second;
    ASSERT_TRUE(first.Start(reader(kDataDirScripts, "scripts")));
    ASSERT_TRUE(second.Start(reader(kDataDirQifs, "qifs")));
    first.Join();
    second.Join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(plat::GetCurrentDir(), DataDirBase());
}

} // namespace
