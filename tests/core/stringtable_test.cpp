#include "core/stringtable.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/fpu.h"

namespace {

namespace fs = std::filesystem;

const std::string kLongText(1100, 'x');

// A language library built with the mingw resource tools: ids 0, 1, 3 and 4
// have texts, 2 has none, 4 is the last.
class LanguageLibrary : public testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string folder = (fs::temp_directory_path() / "tavrin-strings-XXXXXX").string();
        ASSERT_NE(mkdtemp(folder.data()), nullptr);
        directory_ = folder;
        std::ofstream(directory_ / "s.rc") << "STRINGTABLE\nBEGIN\n"
                                           << "  0, \"Zero\"\n"
                                           << "  1, \"Caf\xC3\xA9 \xE2\x80\x93 \xE2\x82\xAC\"\n" // Café – €
                                           << "  3, \"" << kLongText << "\"\n"
                                           << "  4, \"Last\"\n"
                                           << "END\n";
        const std::string command = "cd '" + directory_.string() +
                                    "' && i686-w64-mingw32-windres --preprocessor=cat -c 65001 s.rc -O coff -o s.o"
                                    " && i686-w64-mingw32-ld --dll -e 0 -o s.dll s.o";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    static void TearDownTestSuite() { fs::remove_all(directory_); }

    static std::string LibraryPath() { return (directory_ / "s.dll").string(); }

    // Loads ids first..last into table the way start-up does: load the
    // library, copy the texts, free the library at once.
    static uint32_t Load(uint32_t first, uint32_t last, StringTable& table) {
        plat::ResourceModule* module = LoadResourceDll(LibraryPath().c_str());
        EXPECT_NE(module, nullptr);
        const uint32_t loaded = StringTableLoad(module, first, last, table);
        FreeResourceDll(module);
        return loaded;
    }

    static fs::path directory_;
};

fs::path LanguageLibrary::directory_;

TEST_F(LanguageLibrary, TextsOutliveTheLibrary) {
    StringTable table;
    EXPECT_EQ(Load(0, 5, table), 4u);

    EXPECT_STREQ(StringTableLookup(table, 0), "Zero");
    EXPECT_STREQ(StringTableLookup(table, 1), "Caf\xE9 \x96 \x80"); // Windows-1252
    EXPECT_STREQ(StringTableLookup(table, 2), "");                 // no text in the library
    EXPECT_EQ(std::string(StringTableLookup(table, 3)), kLongText.substr(0, 1023));
    EXPECT_STREQ(StringTableLookup(table, 4), "Last");
    EXPECT_STREQ(StringTableLookup(table, 5), "");       // in the table, no text
    EXPECT_STREQ(StringTableLookup(table, 6), "");       // past the last id
    EXPECT_STREQ(StringTableLookup(table, 0xFFFFFFFF), "");

    EXPECT_EQ(StringTableFree(table), 6u);
    EXPECT_STREQ(StringTableLookup(table, 0), "");
    EXPECT_EQ(StringTableFree(table), 0u);
}

TEST_F(LanguageLibrary, TablesOfPartialRanges) {
    struct Case {
        uint32_t first, last;
        uint32_t loaded, entries;
    };
    for (const Case c : {Case{3, 3, 1, 1}, Case{2, 4, 2, 3}, Case{4, 3, 0, 0}}) {
        SCOPED_TRACE(testing::Message() << "ids " << c.first << ".." << c.last);
        StringTable table;
        EXPECT_EQ(Load(c.first, c.last, table), c.loaded);
        for (uint32_t id = 0; id <= 5; ++id) {
            const bool inside = id >= c.first && id <= c.last;
            const std::string expected = !inside ? "" : id == 3 ? kLongText.substr(0, 1023) : id == 4 ? "Last" : "";
            EXPECT_EQ(std::string(StringTableLookup(table, id)), expected) << "id " << id;
        }
        EXPECT_EQ(StringTableFree(table), c.entries);
    }
}

TEST_F(LanguageLibrary, ProgramTableAnswersLookupsById) {
    Load(kResourceStringFirstId, 4, ResourceStrings);
    EXPECT_STREQ(StringTableLookup(0), "Zero");
    EXPECT_STREQ(StringTableLookup(2), "");
    EXPECT_STREQ(StringTableLookup(kResourceStringLastId), "");
    EXPECT_EQ(StringTableFree(ResourceStrings), 5u);
}

TEST_F(LanguageLibrary, LoadingSetsTheGameFloatingPointModeAgain) {
    for (const std::string& name : {LibraryPath(), (directory_ / "missing.dll").string()}) {
        SCOPED_TRACE(name);
        std::fesetround(FE_TONEAREST);
        plat::ResourceModule* module = LoadResourceDll(name.c_str());
        EXPECT_TRUE(plat::IsGameFpuMode());
        EXPECT_EQ(module != nullptr, name == LibraryPath());
        if (module) FreeResourceDll(module);
    }
}

} // namespace
