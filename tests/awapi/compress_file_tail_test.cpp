#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Awapi/compress_file_tail.h"
#include "chunkfile/container.h"
#include "platform/files.h"

namespace {

class CompressFileTailTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = (std::filesystem::temp_directory_path() /
                ("tavrin-tail-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())))
                   .string();
    }
    void TearDown() override { std::filesystem::remove(path); }
    void Write(const std::string& bytes) {
        plat::File file = plat::File::Open(path, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
        ASSERT_TRUE(file.Write(bytes.data(), static_cast<uint32_t>(bytes.size())));
    }
    std::string Read() {
        std::string bytes;
        EXPECT_TRUE(plat::ReadWholeFile(path, bytes));
        return bytes;
    }
    std::string path;
};

TEST_F(CompressFileTailTest, TheHeaderStaysAndTheRestIsCompressed) {
    const std::string header = "HEADER-OF-20-BYTES!!";
    std::string body;
    for (int i = 0; i < 3000; ++i) body += static_cast<char>('a' + i % 7);
    Write(header + body);
    ASSERT_TRUE(AwCompressFileTail(path, 20));
    const std::string result = Read();
    ASSERT_GT(result.size(), 20u);
    EXPECT_EQ(result.substr(0, 20), header);
    EXPECT_EQ(result.substr(20, 8), "QORCQIF1");
    std::vector<uint8_t> image;
    const auto* block = reinterpret_cast<const uint8_t*>(result.data()) + 20;
    ASSERT_TRUE(DecompressChunkImage(std::span(block, result.size() - 20), image));
    EXPECT_EQ(std::string(image.begin(), image.end()), body);
}

TEST_F(CompressFileTailTest, ShortOrMissingFilesAreLeftAlone) {
    EXPECT_FALSE(AwCompressFileTail(path, 20)) << "missing";
    Write("short");
    EXPECT_FALSE(AwCompressFileTail(path, 20));
    EXPECT_EQ(Read(), "short");
}

} // namespace
