// The IFF container: chunk framing (pad bytes, overruns, top-level groups),
// raw chunks for unknown identifiers, visits across LIST and CAT, and property
// lookup through PROP chunks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/iff_chunk.h"
#include "image/iff_file.h"
#include "image/ilbm_chunks.h"
#include "image/memory_stream.h"
#include "image/reader_registry.h"
#include "tests/image/image_test_support.h"

namespace {

using imagetest::Be16;
using imagetest::Be32;
using imagetest::Chunk;
using imagetest::Group;

std::string Bmhd(uint16_t width) {
    return Chunk("BMHD", Be16(width) + Be16(1) + std::string(4, '\0') + std::string("\x01\0\0\0", 4) + Be16(0) +
                             std::string("\x01\x01", 2) + Be16(0) + Be16(0));
}

class IffTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterImageReaders(); }
    void TearDown() override {
        if (file_) file_->Release();
    }
    // Reads `bytes`; the tree stays for the test.
    bool Read(const std::string& bytes) {
        bytes_ = bytes;
        auto* stream = new MemoryStream(bytes_.data(), static_cast<uint32_t>(bytes_.size()));
        file_ = new IffFile;
        bool ok = file_->ReadFromStream(*stream);
        position_ = stream->Position();
        stream->Release();
        return ok;
    }
    std::vector<IffChunk*> Visit(IffId type, IffId id) {
        std::vector<IffChunk*> found;
        file_->Top()->AsComposite()->Visit(type, id, [&found](IffChunk& c) {
            found.push_back(&c);
            return true;
        });
        return found;
    }
    uint16_t WidthSeenBy(IffChunk* chunk) {
        auto* bmhd = dynamic_cast<IlbmBitmapHeader*>(chunk->FindProperty(kIffBmhd));
        return bmhd ? bmhd->width : 0;
    }

    std::string bytes_;
    IffFile* file_ = nullptr;
    uint32_t position_ = 0;
};

TEST_F(IffTest, OddChunksArePaddedAndUnknownOnesKeepTheirBytes) {
    ASSERT_TRUE(Read(Group("FORM", "ILBM", {Chunk("ABCD", "xyz"), Chunk("CMAP", "\x01\x02\x03\x04\x05\x06")}) + "tail"));
    auto* form = file_->Top()->AsComposite();
    ASSERT_EQ(form->Children().size(), 2u);
    auto* raw = dynamic_cast<IffRawChunk*>(form->Children()[0]);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(std::string(raw->Body().begin(), raw->Body().end()), "xyz");
    auto* cmap = dynamic_cast<IlbmColourMap*>(form->Children()[1]);
    ASSERT_NE(cmap, nullptr) << "the chunk after the pad byte is read at the even offset";
    EXPECT_EQ(cmap->Count(), 2u);
    EXPECT_EQ(position_, bytes_.size() - 4) << "the stream stops after the top-level chunk";
}

TEST_F(IffTest, TheHotSpotAndTheMipFlagAreReadAsTheirClasses) {
    ASSERT_TRUE(Read(Group("LIST", "    ", {Group("FORM", "ILBM", {Chunk("GRAB", Be16(3) + Be16(0x8001))}),
                                            Group("FORM", "MIPM", {Chunk("FLAG", Be32(0x01020304))}),
                                            Group("FORM", "ABCD", {Chunk("GRAB", "1234")})})));
    const auto& forms = file_->Top()->AsComposite()->Children();
    auto* grab = dynamic_cast<IlbmGrab*>(forms[0]->AsComposite()->Children()[0]);
    ASSERT_NE(grab, nullptr);
    EXPECT_EQ(grab->x, 3u);
    EXPECT_EQ(grab->y, 0x8001u);
    auto* flag = dynamic_cast<MipmFlag*>(forms[1]->AsComposite()->Children()[0]);
    ASSERT_NE(flag, nullptr);
    EXPECT_EQ(flag->value, 0x01020304u);
    EXPECT_NE(dynamic_cast<IffRawChunk*>(forms[2]->AsComposite()->Children()[0]), nullptr) << "only inside an ILBM";
    // Too short for its fields: the file is refused like any other short chunk.
    file_->Release();
    file_ = nullptr;
    EXPECT_FALSE(Read(Group("FORM", "MIPM", {Chunk("FLAG", "12")})));
}

TEST_F(IffTest, MalformedFramingFailsTheRead) {
    std::string overrun = std::string("FORM") + Be32(16) + "ILBM" + "BODY" + Be32(100) + "abcd";
    std::string nested;
    for (int i = 0; i < 100; ++i) nested = Group("LIST", "ILBM", {nested});
    const std::string cases[] = {
        overrun,                                          // a chunk runs past its FORM
        Group("PROP", "ILBM", {Bmhd(4)}),                 // not a group at the top
        Group("FORM", "ILBM", {Chunk("S3TC", Be32(0) + Be32(0) + std::string(10, '\0') + Be32(999))}), // data beyond the chunk
        std::string("FORM") + Be32(5) + "ILBM",           // cut short
        nested,                                           // nesting deeper than any image needs
    };
    for (const std::string& bytes : cases) {
        EXPECT_FALSE(Read(bytes));
        file_->Release();
        file_ = nullptr;
    }
}

TEST_F(IffTest, VisitsReachFormsThroughListsAndCatsInFileOrder) {
    ASSERT_TRUE(Read(Group("CAT ", "    ", {Group("FORM", "ILBM", {Chunk("BODY", "1")}),
                                            Group("LIST", "ILBM", {Group("FORM", "ILBM", {Chunk("BODY", "2")})}),
                                            Group("FORM", "ABCD", {Chunk("BODY", "3")})})));
    auto found = Visit(kIffIlbm, kIffBody);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(dynamic_cast<IlbmBody*>(found[0])->bytes[0], '1');
    EXPECT_EQ(dynamic_cast<IlbmBody*>(found[1])->bytes[0], '2');
}

TEST_F(IffTest, PropertiesComeFromEarlierChunksAndFittingPropsOfEnclosingLists) {
    ASSERT_TRUE(Read(Group(
        "LIST", "ILBM",
        {Group("PROP", "ILBM", {Bmhd(7)}), Group("PROP", "ABCD", {Bmhd(9)}),
         Group("FORM", "ILBM", {Chunk("BODY", "a")}),                     // finds the PROP's header
         Group("FORM", "ILBM", {Bmhd(5), Chunk("BODY", "b")}),            // its own comes first
         Group("FORM", "ILBM", {Chunk("BODY", "c"), Bmhd(6)}),            // one after the BODY is not seen
         Group("CAT ", "ILBM", {Group("FORM", "ILBM", {Chunk("BODY", "d")})})}))); // nothing beyond a CAT
    auto bodies = Visit(kIffIlbm, kIffBody);
    ASSERT_EQ(bodies.size(), 4u);
    EXPECT_EQ(WidthSeenBy(bodies[0]), 7);
    EXPECT_EQ(WidthSeenBy(bodies[1]), 5);
    EXPECT_EQ(WidthSeenBy(bodies[2]), 7);
    EXPECT_EQ(WidthSeenBy(bodies[3]), 0);
}

} // namespace
