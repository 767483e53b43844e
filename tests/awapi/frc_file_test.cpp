#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Awapi/frc_file.h"
#include "platform/files.h"
#include "tests/support/temp_dir.h"

namespace {

class FrcFileTest : public ::testing::Test {
protected:
    void WriteRaw(const std::string& bytes) {
        plat::File file = plat::File::Open(path, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
        ASSERT_TRUE(file.Write(bytes.data(), static_cast<uint32_t>(bytes.size())));
    }
    TempDir scratch;
    std::string path = scratch.path() + "/Font.frc";
};

TEST_F(FrcFileTest, RecordsAreWrittenAfterTheirCountAndReadBack) {
    std::vector<AwFrcRecord> records(2);
    for (size_t i = 0; i < 60; ++i) {
        records[0][i] = static_cast<uint8_t>(i);
        records[1][i] = static_cast<uint8_t>(200 - i);
    }
    ASSERT_TRUE(AwWriteFrcFile(records, path));
    std::string bytes;
    ASSERT_TRUE(plat::ReadWholeFile(path, bytes));
    ASSERT_EQ(bytes.size(), 4u + 2 * 60);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x02\0\0\0", 4));
    EXPECT_EQ(static_cast<uint8_t>(bytes[4 + 60 + 1]), 199);

    std::vector<AwFrcRecord> read;
    ASSERT_TRUE(AwReadFrcFile(path, read));
    EXPECT_EQ(read, records);
}

TEST_F(FrcFileTest, ShortOrMissingFilesAreRefused) {
    std::vector<AwFrcRecord> read(1);
    read[0].fill(7);
    const std::string cases[] = {
        "",                                                  // no count
        std::string("\x01\0\0", 3),                          // a cut count
        std::string("\x01\0\0\0", 4) + std::string(59, 'x'), // a record short
        std::string("\xFF\xFF\xFF\xFF", 4) + std::string(60, 'x'), // a count past the end
    };
    for (const std::string& bytes : cases) {
        WriteRaw(bytes);
        EXPECT_FALSE(AwReadFrcFile(path, read)) << bytes.size() << " bytes";
        ASSERT_EQ(read.size(), 1u);
        EXPECT_EQ(read[0][0], 7) << "the caller's records stay";
    }
    EXPECT_FALSE(AwReadFrcFile(scratch.path() + "/missing.frc", read));
}

} // namespace
