#include <gtest/gtest.h>

#include <string>

#include "platform/textfile.h"
#include "tests/support/temp_dir.h"

namespace {

using plat::TextFile;

const std::string kOnDisk = std::string("one\r\ntwo\rthree\r\r\nfour\n\x1A") + "after the end";

std::string ReadAll(TextFile& file) {
    std::string out;
    char chunk[5]; // small, so reads end between a CR and its LF
    while (size_t got = file.Read(chunk, sizeof chunk)) out.append(chunk, got);
    return out;
}

TEST(TextFiles, TextModeTranslatesLineEndsAndStopsAtEndOfText) {
    TempDir dir;
    const std::string path = dir.Write("text.txt", kOnDisk);
    for (const char* mode : {"r", "rt", "r+t"}) {
        TextFile file = TextFile::Open(path, mode);
        ASSERT_TRUE(file.IsOpen()) << mode;
        EXPECT_EQ(ReadAll(file), "one\ntwo\rthree\r\nfour\n") << mode; // a lone CR stays
        EXPECT_TRUE(file.AtEnd());
        EXPECT_EQ(file.GetChar(), EOF);
    }
    TextFile binary = TextFile::Open(path, "rb");
    EXPECT_EQ(ReadAll(binary), kOnDisk);

    std::string whole;
    ASSERT_TRUE(plat::ReadTextFile(path, whole));
    EXPECT_EQ(whole, "one\ntwo\rthree\r\nfour\n");
    EXPECT_FALSE(plat::ReadTextFile(dir / "missing.txt", whole));
}

TEST(TextFiles, LinesComeWithoutTheirEnds) {
    TempDir dir;
    const std::string path = dir.Write("lines.txt", "first\r\nsecond\n\nlast");
    for (const char* mode : {"rt", "rb"}) {
        TextFile file = TextFile::Open(path, mode);
        std::string line;
        std::vector<std::string> lines;
        while (file.ReadLine(line)) lines.push_back(line);
        EXPECT_EQ(lines, (std::vector<std::string>{"first", "second", "", "last"})) << mode;
    }
}

TEST(TextFiles, WritingInTextModeEndsLinesWithCrLf) {
    TempDir dir;
    {
        TextFile file = TextFile::Open(dir / "log.txt", "a+");
        ASSERT_TRUE(file.IsOpen());
        EXPECT_TRUE(file.Write("first\n"));
        EXPECT_TRUE(file.Printf("%s %d%%\n", std::string(5000, 'x').c_str(), 42)); // longer than any fixed buffer
        EXPECT_TRUE(file.Close());
    }
    {
        TextFile file = TextFile::Open(dir / "LOG.TXT", "a");
        EXPECT_TRUE(file.Write("second\nline"));
    }
    EXPECT_EQ(TempDir::Read(dir / "log.txt"), "first\r\n" + std::string(5000, 'x') + " 42%\r\nsecond\r\nline");

    TextFile binary = TextFile::Open(dir / "raw.bin", "wb");
    EXPECT_TRUE(binary.Write("a\nb"));
    binary.Close();
    EXPECT_EQ(TempDir::Read(dir / "raw.bin"), "a\nb");
}

TEST(TextFiles, ModesAreCheckedAndFollowed) {
    TempDir dir;
    dir.Write("old.txt", "old contents");
    for (const char* bad : {"", "x", "rw", "r++", "rbt", "rr", "wq"})
        EXPECT_FALSE(TextFile::Open(dir / "old.txt", bad).IsOpen()) << '"' << bad << '"';
    EXPECT_FALSE(TextFile::Open(dir / "missing.txt", "r").IsOpen());
    EXPECT_FALSE(TextFile::Open(dir / "missing.txt", "r+").IsOpen());
    EXPECT_TRUE(TextFile::Open(dir / "old.txt", "rb+").IsOpen());
    EXPECT_EQ(TempDir::Read(dir / "old.txt"), "old contents");
    EXPECT_TRUE(TextFile::Open(dir / "old.txt", "w").IsOpen());
    EXPECT_EQ(TempDir::Read(dir / "old.txt"), "");
    TextFile readOnly = TextFile::Open(dir / "old.txt", "r");
    EXPECT_FALSE(readOnly.Write("x") && readOnly.Flush());
}

} // namespace
