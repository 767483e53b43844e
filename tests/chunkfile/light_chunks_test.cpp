#include <gtest/gtest.h>

#include "chunkfile/light_chunks.h"
#include "chunkfile/light_dummy.h"
#include "tests/chunkfile/shape_test_support.h"

namespace {

class LightChunks : public ChunkFamilies {};

std::string DummyData(const std::string& name) {
    return Leaf("DUMOBJDT", I32s({1, 2, 3, 4, 5, 6, 7, 8, 9}) + F32s({0, 0, 0, 1}) + Padded(name));
}

TEST_F(LightChunks, DummyNamesAndTextsArePaddedStrings) {
    DummyObjectFields fields;
    fields.name = "abc";
    DummyObjectChunk dummy(nullptr, fields);
    EXPECT_EQ(68u, dummy.FindDataChunk()->SizeChunk());
    dummy.FindDataChunk()->Data().name = "abcd";
    EXPECT_EQ(72u, dummy.FindDataChunk()->SizeChunk());

    auto tree = ReadTree(PlainFile({Parent("DUMMYOBJ", {DummyData(""), Leaf("DUMOBJTX", Padded(""))})}));
    auto* read = dynamic_cast<DummyObjectChunk*>(tree->FirstChild());
    ASSERT_NE(nullptr, read);
    EXPECT_EQ("", read->FindDataChunk()->Data().name);
    EXPECT_EQ((VectorI{7, 8, 9}), read->FindDataChunk()->Data().third);
    EXPECT_EQ("", read->GetText());
    EXPECT_EQ(Leaf("DUMOBJTX", std::string(4, '\0')), BytesOf(*read->FindChild("DUMOBJTX")));
}

TEST_F(LightChunks, SettingADummysTextAddsReplacesOrRemovesItsTextChunk) {
    DummyObjectChunk dummy(nullptr, DummyObjectFields{});
    dummy.SetText("");
    EXPECT_EQ(nullptr, dummy.FindChild("DUMOBJTX"));
    dummy.SetText("Sound\nbang");
    EXPECT_EQ("Sound\nbang", dummy.GetText());
    dummy.SetText("other");
    EXPECT_EQ(1, dummy.CountChildren("DUMOBJTX"));
    EXPECT_EQ("other", dummy.GetText());
    dummy.SetText({});
    EXPECT_EQ(nullptr, dummy.FindChild("DUMOBJTX"));

    auto tree = ReadTree(PlainFile({Parent("DUMMYOBJ", {})}));
    EXPECT_EQ(nullptr, dynamic_cast<DummyObjectChunk*>(tree->FirstChild())->FindDataChunk());
}

TEST_F(LightChunks, LevelScalingStartsAtTheThresholdAndStopsAt255) {
    struct Case {
        float scale;
        int32_t level;
        int32_t mapped;
    };
    const Case cases[] = {{0.5f, 50, 50}, {0.5f, 100, 100}, {0.5f, 300, 200}, {2.0f, 300, 255}, {0.5f, 101, 100}};
    for (const Case& k : cases) {
        LightScaleChunk chunk(nullptr, 0);
        chunk.Data().a = {k.scale, 100, 0};
        chunk.Data().b = {k.scale, 100, 20};
        EXPECT_EQ(k.mapped, chunk.MapLevelA(k.level)) << k.scale << " " << k.level;
    }
    LightScaleChunk offset(nullptr, 0);
    offset.Data().b = {0.5f, 100, 20};
    EXPECT_EQ(210, offset.MapLevelB(300)); // 100 + (300 + 20 - 100) x 0.5
}

TEST_F(LightChunks, LevelThresholdsAreHeldAsIntegers) {
    const std::string data = U32Bytes(7) + F32s({0.5f, 99.7f, -3.5f, 1.0f, 0, 0}) + I32s({1, 2, 3, 0});
    auto tree = ReadTree(PlainFile({Leaf("LITSCALE", data)}));
    auto* chunk = dynamic_cast<LightScaleChunk*>(tree->FirstChild());
    ASSERT_NE(nullptr, chunk);
    EXPECT_EQ(99, chunk->Data().a.threshold);
    EXPECT_EQ(-3, chunk->Data().a.offset);
    EXPECT_EQ(Leaf("LITSCALE", U32Bytes(7) + F32s({0.5f, 99.0f, -3.0f, 1.0f, 0, 0}) + I32s({1, 2, 3, 0})),
              BytesOf(*chunk));
    LightScaleChunk fresh(nullptr, 5);
    EXPECT_EQ(Leaf("LITSCALE", U32Bytes(5) + F32s({1, 0, 0, 1, 0, 0}) + I32s({0, 0, 0, 0})), BytesOf(fresh));
}

TEST_F(LightChunks, TintsAndLightSets) {
    VertexTintChunk empty(nullptr, "LIGHTSETX", std::vector<uint32_t>{});
    EXPECT_EQ(28u, empty.SizeChunk());
    EXPECT_EQ("LIGHTSET", empty.Data().lightSetName);
    VertexTintChunk two(nullptr, "day", std::vector<uint32_t>{0xFF0000, 0x00FF00});
    EXPECT_EQ(36u, two.SizeChunk());

    LightSetChunk* set = LightSetChunk::New(nullptr, "evening!");
    EXPECT_EQ(Leaf("LIGHTSET", Leaf("LTSETHDR", "evening!" + U32Bytes(0))), BytesOf(*set));
    delete set;

    for (const std::string& chunk :
         {Leaf("SHPVTINT", Fixed("day", 8) + U32Bytes(0) + U32Bytes(2) + U32Bytes(1)), Leaf("LTSETHDR", "abc"),
          Leaf("PLOBJLIT", std::string(60, '\0') + U32Bytes(1)), Leaf("STDLIGHT", std::string(80, '\0')),
          Leaf("AMBIENCE"), Leaf("DUMOBJDT", std::string(52, '\0') + "ab")}) {
        SCOPED_TRACE(chunk.substr(0, 8));
        EXPECT_EQ(-2, Open(PlainFile({chunk}))->Error());
    }
}

} // namespace
