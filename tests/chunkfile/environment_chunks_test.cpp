#include <gtest/gtest.h>

#include "chunkfile/environment_chunks.h"
#include "chunkfile/object_chunk.h"
#include "tests/chunkfile/shape_test_support.h"

namespace {

class EnvironmentChunks : public ChunkFamilies {};

std::string EnvironmentHeader(uint32_t flags, int32_t revision = 0) {
    return Leaf("ENDTHEAD", U32Bytes(flags) + Fixed("editor", 16) + I32s({revision}));
}

TEST_F(EnvironmentChunks, ALockedEnvironmentCannotBeClaimed) {
    auto file = Open(PlainFile({Parent("QORENVDT", {EnvironmentHeader(1)})}));
    auto* environment = dynamic_cast<EnvironmentChunk*>(file->FindEnvironment());
    ASSERT_NE(nullptr, environment);
    EXPECT_TRUE(environment->IsLocked());
    EXPECT_FALSE(environment->Claim(*file));
    EXPECT_EQ("editor", environment->FindHeader()->Data().userName);

    auto free = Open(PlainFile({Parent("QORENVDT", {EnvironmentHeader(2)})}), "free.qif");
    auto* open = dynamic_cast<EnvironmentChunk*>(free->FindEnvironment());
    EXPECT_FALSE(open->IsLocked());
    EXPECT_TRUE(open->Claim(*free));
    EXPECT_EQ("Player", open->FindHeader()->Data().userName);
    EXPECT_FALSE(open->Claim(*free));
    open->Release(true);
    EXPECT_TRUE(open->IsModified());
    EXPECT_TRUE(open->Claim(*free));
}

TEST_F(EnvironmentChunks, HeaderOperationsGoThroughEndthead) {
    EnvironmentChunk fresh(nullptr);
    ASSERT_NE(nullptr, fresh.FindHeader());
    EXPECT_STREQ("ENDTHEAD", fresh.GetHeaderId());
    fresh.SetHeaderName("twenty characters!!!");
    EXPECT_EQ("twenty character", fresh.FindHeader()->Data().userName);
    EXPECT_EQ(EnvironmentHeader(0).size(), BytesOf(*fresh.FindHeader()).size());
    fresh.PrepareForOutput();
    EXPECT_EQ(1, fresh.FindHeader()->Data().revision);

    auto tree = ReadTree(PlainFile({Parent("QORENVDT", {})}));
    auto* bare = dynamic_cast<EnvironmentChunk*>(tree->FirstChild());
    ASSERT_NE(nullptr, bare);
    EXPECT_EQ(nullptr, bare->GetHeaderId());
    bare->SetHeaderName("x"); // nothing to name
}

TEST_F(EnvironmentChunks, ChunkSizesAndDefaults) {
    EnvironmentChunk environment(nullptr);
    auto* textures = new RandomTextureChunk(&environment, "abc");
    textures->Data().entries = {1, 2};
    EXPECT_EQ(36u, textures->SizeChunk());
    EXPECT_EQ(Leaf("RANTEXID", Padded("abc") + U32Bytes(2) + U32Bytes(1) + U32Bytes(2) + U32Bytes(0) + U32Bytes(0)),
              BytesOf(*textures));
    EXPECT_EQ(16u, (new SoundDirectoryChunk(&environment, "abc"))->SizeChunk());
    EXPECT_EQ(20u, (new SoundDirectoryChunk(&environment, "abcd"))->SizeChunk());
    EXPECT_EQ(Leaf("ENVACOUS", U32Bytes(0) + U32Bytes(0x40000000) + U32Bytes(0)),
              BytesOf(*new AcousticsChunk(&environment)));
    EXPECT_EQ(28u, (new RandomTextureChunk(&environment, ""))->SizeChunk());

    auto tree = ReadTree(PlainFile({Parent("QORENVDT", {Leaf("ENVSDSCL", std::string("\0\0\0\0\0\x40\x8f\x40", 8))})}));
    auto* scale = dynamic_cast<WorldScaleChunk*>(static_cast<ParentChunk*>(tree->FirstChild())->FirstChild());
    ASSERT_NE(nullptr, scale);
    EXPECT_EQ(1000.0, scale->Data().thousandths);
}

TEST_F(EnvironmentChunks, TheProcessSerialisationWritesOnlyUpdatedChunks) {
    FileChunk file;
    auto* environment = new EnvironmentChunk(&file);
    ChunkObjectData data;
    data.name = "Tank";
    ObjectChunk* object = ObjectChunk::NewObject(&file, data);

    const std::vector<uint8_t> none = file.MakeDataBlockForProcess();
    EXPECT_EQ(12u + 16u, none.size()); // the header and QIFVERIN
    EXPECT_EQ(0u, environment->Size());

    environment->SetUpdateFlag(true);
    object->SetUpdateFlag(true);
    const std::vector<uint8_t> both = file.MakeDataBlockForProcess();
    EXPECT_EQ(file.MakeDataBlock(), both);
    EXPECT_FALSE(environment->UpdateFlag());
    EXPECT_FALSE(object->UpdateFlag());
}

TEST_F(EnvironmentChunks, MalformedEnvironmentChunksAreReported) {
    for (const std::string& chunk : {Leaf("ENDTHEAD", std::string(20, '\0')), Leaf("ENVSDSCL", "1234"),
                                     Leaf("ENVACOUS", I32s({1, 2})), Leaf("SOUNDDIR", "abcd"),
                                     Leaf("RANTEXID", Padded("x") + U32Bytes(3) + I32s({1, 2, 3, 4}))}) {
        SCOPED_TRACE(chunk.substr(0, 8));
        EXPECT_EQ(-2, Open(PlainFile({Parent("QORENVDT", {chunk})}))->Error());
    }
}

} // namespace
