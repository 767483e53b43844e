#include <gtest/gtest.h>

#include "chunkfile/environment_chunks.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/object_header.h"
#include "chunkfile/shape_chunk.h"
#include "tests/chunkfile/shape_sample_file.h"

namespace {

class FamiliesRoundTrip : public ChunkFamilies {};

// Every chunk below `parent` was read by its family's class.
void ExpectNoUnknownChunk(const ParentChunk& parent) {
    for (Chunk* c = parent.FirstChild(); c; c = c->Next()) {
        EXPECT_FALSE(c->IsUnknown()) << c->Id();
        if (c->IsParent()) ExpectNoUnknownChunk(static_cast<const ParentChunk&>(*c));
    }
}

TEST_F(FamiliesRoundTrip, AFileOfEveryChunkIsWrittenBackByteForByte) {
    const std::string image = SampleFamiliesFile();
    auto file = Open(image);
    ASSERT_EQ(0, file->Error());
    ExpectNoUnknownChunk(*file);
    EXPECT_EQ(image, BytesOf(*file));

    auto* object = dynamic_cast<ObjectChunk*>(file->FindChild("QOOBJECT"));
    ASSERT_NE(nullptr, object);
    EXPECT_EQ(file->FindChild("QORSHAPE"), object->GetShapeChunk());
    EXPECT_EQ(ComputeShortDigest("maps\\sample.qifTank"), object->Data().identity);

    // Saving counts a revision in every header; what is saved reads back the same.
    ASSERT_TRUE(file->Save(dir_ / "saved.qif"));
    auto again = FileChunk::Open(dir_ / "saved.qif");
    ASSERT_EQ(0, again->Error());
    EXPECT_EQ(BytesOf(*file), BytesOf(*again));
    EXPECT_EQ(6, object->GetHeader()->Revision());
    EXPECT_EQ(5, dynamic_cast<EnvironmentChunk*>(again->FindEnvironment())->FindHeader()->Data().revision);
}

} // namespace
