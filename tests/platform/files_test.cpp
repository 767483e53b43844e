#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>
#include <string>

#include "platform/files.h"
#include "tests/support/temp_dir.h"

namespace {

using plat::File;
using plat::FileDisposition;

TEST(Files, DispositionsCreateTruncateOrRefuseAsTheirNamesSay) {
    struct Case {
        FileDisposition disposition;
        bool exists;
        bool opens;
        int64_t size; // after opening, of a file that held 3 bytes
    } cases[] = {
        {FileDisposition::CreateNew, false, true, 0},         {FileDisposition::CreateNew, true, false, 3},
        {FileDisposition::CreateAlways, false, true, 0},      {FileDisposition::CreateAlways, true, true, 0},
        {FileDisposition::OpenExisting, false, false, -1},    {FileDisposition::OpenExisting, true, true, 3},
        {FileDisposition::OpenAlways, false, true, 0},        {FileDisposition::OpenAlways, true, true, 3},
        {FileDisposition::TruncateExisting, false, false, -1}, {FileDisposition::TruncateExisting, true, true, 0},
    };
    for (const Case& c : cases) {
        TempDir dir;
        if (c.exists) dir.Write("f.bin", "abc");
        File file = File::Open(dir / "f.bin", plat::kAccessReadWrite, c.disposition);
        const std::string what = std::to_string(static_cast<int>(c.disposition)) + (c.exists ? " existing" : " missing");
        EXPECT_EQ(file.IsOpen(), c.opens) << what;
        file.Close();
        EXPECT_EQ(std::filesystem::exists(dir / "f.bin") ? static_cast<int64_t>(std::filesystem::file_size(dir / "f.bin")) : -1,
                  c.size)
            << what;
    }
    TempDir dir;
    EXPECT_FALSE(File::Open(dir.path(), plat::kAccessRead, FileDisposition::OpenExisting).IsOpen()); // a folder
}

TEST(Files, ReadWriteSeekAndTruncate) {
    TempDir dir;
    File file = File::Open(dir / "data.bin", plat::kAccessReadWrite, FileDisposition::CreateAlways);
    ASSERT_TRUE(file.IsOpen());
    ASSERT_TRUE(file.Write("0123456789", 10));
    EXPECT_EQ(file.Tell(), 10);
    EXPECT_EQ(file.Seek(-4, plat::SeekOrigin::End), 6);
    char buffer[8] = {};
    uint32_t got = 0;
    EXPECT_TRUE(file.Read(buffer, 8, &got));
    EXPECT_EQ(got, 4u); // the rest of the file
    EXPECT_EQ(std::string(buffer, got), "6789");
    EXPECT_TRUE(file.Read(buffer, 8, &got));
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(file.Seek(2, plat::SeekOrigin::Begin), 2);
    EXPECT_FALSE(file.ReadExact(buffer, 9)); // only 8 are left
    EXPECT_EQ(file.Seek(-100, plat::SeekOrigin::Current), -1);
    EXPECT_EQ(file.Seek(4, plat::SeekOrigin::Begin), 4);
    EXPECT_TRUE(file.Truncate());
    EXPECT_EQ(file.Size(), 4);
    EXPECT_EQ(file.Seek(6, plat::SeekOrigin::Begin), 6);
    EXPECT_TRUE(file.Truncate()); // extends with zeros
    EXPECT_EQ(TempDir::Read(dir / "data.bin"), std::string("0123\0\0", 6));

    File reader = File::Open(dir / "data.bin", plat::kAccessRead, FileDisposition::OpenExisting);
    EXPECT_FALSE(reader.Write("x", 1));
    EXPECT_TRUE(reader.ReadExact(buffer, 6));
}

TEST(FileTimes, ConvertBetweenFileTimeAndUnixTime) {
    struct Case {
        int64_t ns;
        uint64_t filetime;
        int64_t back; // ns as the FILETIME's 100-ns unit holds it
    } cases[] = {
        {0, 116444736000000000, 0},
        {1'000'000'199, 116444736000000000 + 10'000'001, 1'000'000'100},
        {-1, 116444735999999999, -100}, // before 1970, rounded down
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plat::FileTimeFromUnixNanoseconds(c.ns), c.filetime) << c.ns;
        EXPECT_EQ(plat::UnixNanosecondsFromFileTime(c.filetime), c.back) << c.ns;
    }
    // FILETIMEs outside the nanosecond range are clamped, not wrapped.
    EXPECT_EQ(plat::UnixNanosecondsFromFileTime(0), INT64_MIN);
    EXPECT_EQ(plat::UnixNanosecondsFromFileTime(UINT64_MAX), INT64_MAX);
}

TEST(FileTimes, LastWriteTimeRoundTripsThroughTheFileSystem) {
    TempDir dir;
    File file = File::Open(dir / "stamp.bin", plat::kAccessReadWrite, FileDisposition::CreateAlways);
    const uint64_t stamp = 133'000'000'001'234'567; // 2022, with a sub-second part
    ASSERT_TRUE(file.SetLastWriteTime(stamp));
    EXPECT_EQ(file.LastWriteTime(), stamp);
    EXPECT_EQ(plat::GetFileTime(dir / "stamp.bin"), stamp);
    struct stat st;
    ASSERT_EQ(stat((dir / "stamp.bin").c_str(), &st), 0);
    EXPECT_EQ(plat::FileTimeFromUnixNanoseconds(st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec), stamp);
    EXPECT_EQ(plat::GetFileTime(dir / "missing"), 0u);
}

TEST(Files, ReadOnlyFilesResistDeletionAndReplacement) {
    TempDir dir;
    dir.Write("locked.sav", "keep");
    dir.Write("new.sav", "new");
    EXPECT_EQ(plat::GetFileAttributes(dir / "locked.sav"), plat::kAttrNormal);
    EXPECT_EQ(plat::GetFileAttributes(dir.path()), plat::kAttrDirectory);
    EXPECT_EQ(plat::GetFileAttributes(dir / "missing"), plat::kInvalidAttributes);
    ASSERT_TRUE(plat::SetFileAttributes(dir / "locked.sav", plat::kAttrReadOnly));
    EXPECT_EQ(plat::GetFileAttributes(dir / "locked.sav"), plat::kAttrReadOnly);
    EXPECT_FALSE(plat::DeleteFile(dir / "locked.sav"));
    EXPECT_FALSE(plat::RenameFile(dir / "new.sav", dir / "locked.sav"));
    EXPECT_EQ(TempDir::Read(dir / "locked.sav"), "keep");
    ASSERT_TRUE(plat::SetFileAttributes(dir / "locked.sav", plat::kAttrNormal));
    EXPECT_TRUE(plat::DeleteFile(dir / "locked.sav"));
    EXPECT_FALSE(plat::DeleteFile(dir / "locked.sav"));
    EXPECT_FALSE(plat::DeleteFile(dir.path())); // folders go through RemoveDir
}

TEST(Files, RenameReplacesItsTarget) {
    TempDir dir;
    dir.Write("~temp~level.qif", "new");
    dir.Write("level.qif", "old");
    EXPECT_TRUE(plat::RenameFile(dir / "~temp~level.qif", dir / "level.qif"));
    EXPECT_EQ(TempDir::Read(dir / "level.qif"), "new");
    EXPECT_FALSE(std::filesystem::exists(dir / "~temp~level.qif"));
    EXPECT_FALSE(plat::RenameFile(dir / "~temp~level.qif", dir / "level.qif"));
}

TEST(Files, FoldersAreMadeAndRemoved) {
    TempDir dir;
    EXPECT_TRUE(plat::CreateDir(dir / "Saves"));
    EXPECT_FALSE(plat::CreateDir(dir / "saves"));
    dir.Write("Saves/a.sav", "");
    EXPECT_FALSE(plat::RemoveDir(dir / "SAVES")); // not empty
    ASSERT_TRUE(plat::DeleteFile(dir / "saves/A.SAV"));
    EXPECT_TRUE(plat::RemoveDir(dir / "SAVES"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Saves"));
}

TEST(Files, WholeFilesAreReadBeyondOneChunk) {
    TempDir dir;
    std::string big(200'000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    dir.Write("big.bin", big);
    std::string read;
    ASSERT_TRUE(plat::ReadWholeFile(dir / "big.bin", read));
    EXPECT_EQ(read, big);
    EXPECT_FALSE(plat::ReadWholeFile(dir / "missing.bin", read));
}

TEST(Wildcards, StarAndQuestionMarkMatchWithoutRegardToCase) {
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {"*.sav", "GAME.SAV", true},        {"*.sav", "game.sav.bak", false}, {"tvdemo?.dem", "TVDEMO3.DEM", true},
        {"tvdemo?.dem", "tvdemo10.dem", false}, {"*a*b", "xaxxb", true},    {"*a*b", "xaxxbc", false},
        {"*", "", true},                    {"", "", true},                   {"", "a", false},
        {"a*", "b", false},                 {"**?", "x", true},               {"?", "", false},
    };
    for (const Case& c : cases) EXPECT_EQ(plat::WildcardMatch(c.pattern, c.name), c.matches) << c.pattern << " ~ " << c.name;
}

TEST(Wildcards, FinderListsTheMatchingEntriesOfOneFolder) {
    TempDir dir;
    dir.Write("Saves/First.SAV", "12345");
    dir.Write("Saves/second.sav", "");
    dir.Write("Saves/notes.txt", "");
    dir.Write("Saves/Old.sav/inside.sav", "");
    std::map<std::string, plat::FindData> found;
    plat::FileFinder finder;
    plat::FindData data;
    for (bool more = finder.First(dir / "SAVES\\*.sav", data); more; more = finder.Next(data)) found[data.name] = data;
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found["First.SAV"].size, 5u);
    EXPECT_EQ(found["First.SAV"].attributes, plat::kAttrNormal);
    EXPECT_EQ(found["First.SAV"].lastWriteTime, plat::GetFileTime(dir / "Saves/First.SAV"));
    EXPECT_EQ(found["Old.sav"].attributes, plat::kAttrDirectory);
    EXPECT_TRUE(found.count("second.sav"));

    data.name = "untouched";
    EXPECT_FALSE(finder.First(dir / "Saves\\*.msv", data));
    EXPECT_FALSE(finder.First(dir / "Nowhere\\*", data));
    EXPECT_EQ(data.name, "untouched");
    EXPECT_FALSE(finder.Next(data));
}

} // namespace
