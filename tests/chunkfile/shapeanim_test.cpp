#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "chunkfile/shape_chunk.h"
#include "chunkfile/shapeanim_chunks.h"
#include "tests/chunkfile/shape_test_support.h"

namespace {

class ShapeAnimation : public ChunkFamilies {};

std::string Words(std::initializer_list<uint32_t> words) {
    std::string out;
    for (uint32_t w : words) out += U32Bytes(w);
    return out;
}

// ANISEQDT and ANIFRADT: a word, four words, the name and zeros up to
// (length + 6) rounded down to a multiple of 4.
std::string AnimHeader(const char* id, int32_t first, uint32_t flags, const std::string& name) {
    std::string text = name;
    text.resize((name.size() + 6) & ~size_t{3}, '\0');
    return Leaf(id, I32s({first}) + Words({flags, 2, 3, 4}) + text);
}

std::string AnimFrame(int32_t index, const std::string& name, const std::string& points, const std::string& normals) {
    return Parent("ANIMFRAM", {AnimHeader("ANIFRADT", index, 0, name), Leaf("SHPRAWVT", points), Leaf("SHPPNORM", normals)});
}

// A shape of four points and two polygons: a triangle (0, 1, 2) and one
// naming point 9, which the shape does not have.
std::string AnimatedShape(const std::string& sequence) {
    const std::string polygons = I32s({1, 0, 0, 0, 0, 1, 2, -1, -1}) + I32s({1, 1, 0, 0, 3, 9, 0, -1, -1});
    return PlainFile({Parent("QORSHAPE", {ShapeHeader(1), Leaf("SHPRAWVT", I32s({0, 0, 0, 1, 0, 0, 0, 1, 0, 5, 5, 5})),
                                          Leaf("SHPPOLYS", polygons), sequence})});
}

ChunkAnimFrame Frame(const std::string& name, uint32_t flags) {
    ChunkAnimFrame frame;
    frame.name = name;
    frame.flags = flags;
    frame.points = {{1, 2, 3}};
    frame.polygonNormals = {Vector3(0, 0, 1)};
    return frame;
}

TEST_F(ShapeAnimation, FramesAreGatheredInIndexOrderAndGiveNormalsAndBounds) {
    // Frame 1 comes first; frame 0 lacks the normal of the second polygon.
    const std::string sequence = Parent(
        "ANIMSEQU", {AnimHeader("ANISEQDT", 5, 1, "Wave"),
                     AnimFrame(1, "b", I32s({0, 0, 0, 3, 0, 0, 0, -4, 0}), F32s({0, 0, 2, 1, 0, 0})),
                     AnimFrame(0, "a", I32s({-6, 0, 0, 0, 8, 0}), F32s({0, 1, 0}))});
    auto opened = Open(AnimatedShape(sequence));
    ASSERT_EQ(0, opened->Error());
    auto* shape = dynamic_cast<QorShapeChunk*>(opened->FindChild("QORSHAPE"));
    auto* animation = dynamic_cast<AnimSequenceChunk*>(shape->FindChild("ANIMSEQU"));
    ASSERT_NE(nullptr, animation);
    EXPECT_EQ(sequence, BytesOf(*animation));
    const ChunkAnimSequence& record = animation->Record();
    EXPECT_EQ(5, record.sequenceWord);
    EXPECT_EQ("Wave", record.name);
    ASSERT_EQ(2u, record.frames.size());
    EXPECT_EQ("a", record.frames[0]->name);
    EXPECT_EQ("b", record.frames[1]->name);
    EXPECT_EQ(3u, record.frames[1]->points.size());
    EXPECT_EQ(2u, record.frames[1]->words[0]);

    // Points 0 to 2: the frames' normals of the triangle, (0, 1, 0) + (0, 0, 2).
    // Point 3 is only in the polygon naming point 9, which adds nothing.
    ASSERT_EQ(4u, record.vertexNormals.size());
    EXPECT_FLOAT_EQ(0.0f, record.vertexNormals[1].x);
    EXPECT_NEAR(1 / std::sqrt(5.0f), record.vertexNormals[1].y, 1e-6f);
    EXPECT_NEAR(2 / std::sqrt(5.0f), record.vertexNormals[1].z, 1e-6f);
    EXPECT_EQ(1.0f, record.vertexNormals[3].x);
    EXPECT_EQ((VectorI{-6, -4, 0}), record.boundsMin);
    EXPECT_EQ((VectorI{3, 8, 0}), record.boundsMax);
    EXPECT_EQ(8.0f, record.radius);
}

TEST_F(ShapeAnimation, LeftOutPolygonsDoNotCountTowardsTheBounds) {
    ChunkShapeData shape;
    shape.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    ChunkPolygon first, second;
    first.vertexCount = second.vertexCount = 3;
    const int32_t a[] = {0, 1, 2}, b[] = {1, 2, 3};
    std::copy(a, a + 3, first.vertices);
    std::copy(b, b + 3, second.vertices);
    shape.polygons = {first, second};

    ChunkAnimSequence sequence;
    sequence.ComputeNormalsAndBounds(shape);
    EXPECT_EQ(4u, sequence.vertexNormals.size());
    EXPECT_EQ(1.0f, sequence.vertexNormals[0].x);
    EXPECT_EQ((VectorI{2000000000, 2000000000, 2000000000}), sequence.boundsMin);
    EXPECT_EQ((VectorI{-2000000000, -2000000000, -2000000000}), sequence.boundsMax);
    EXPECT_EQ(0.0f, sequence.radius);

    // Frame points beyond the shape's are not counted with a list.
    auto frame = std::make_unique<ChunkAnimFrame>();
    frame->points = {{-1, 0, 0}, {0, 2, 0}, {0, 0, 3}, {0, 0, 4}, {9, 9, 9}};
    sequence.frames.push_back(std::move(frame));
    const int32_t leaveOutSecond[] = {1};
    sequence.ComputeNormalsAndBounds(shape, std::span<const int32_t>(leaveOutSecond));
    EXPECT_EQ((VectorI{-1, 0, 0}), sequence.boundsMin);
    EXPECT_EQ((VectorI{0, 2, 3}), sequence.boundsMax);
    EXPECT_EQ(3.0f, sequence.radius);
    sequence.ComputeNormalsAndBounds(shape);
    EXPECT_EQ((VectorI{9, 9, 9}), sequence.boundsMax);
}

TEST_F(ShapeAnimation, MalformedSequencesAreDiscardedWhole) {
    const std::string header = AnimHeader("ANISEQDT", 0, 0, "");
    const std::string points = I32s({0, 0, 0});
    const std::string normals = F32s({0, 0, 1});
    const std::string bad[] = {
        Parent("ANIMSEQU", {AnimFrame(0, "", points, normals)}),
        Parent("ANIMSEQU", {header, AnimFrame(0, "", points, normals), AnimFrame(0, "", points, normals)}),
        Parent("ANIMSEQU", {header, AnimFrame(1, "", points, normals)}),
        Parent("ANIMSEQU", {header, AnimFrame(-1, "", points, normals)}),
        Parent("ANIMSEQU", {header, Parent("ANIMFRAM", {Leaf("SHPRAWVT", points), Leaf("SHPPNORM", normals)})}),
        Parent("ANIMSEQU", {header, Parent("ANIMFRAM", {AnimHeader("ANIFRADT", 0, 0, ""), Leaf("SHPPNORM", normals)})}),
        Parent("ANIMSEQU", {header, Parent("ANIMFRAM", {AnimHeader("ANIFRADT", 0, 0, ""), Leaf("SHPRAWVT", points)})}),
    };
    for (const std::string& sequence : bad) {
        auto opened = Open(AnimatedShape(sequence));
        EXPECT_EQ(0, opened->Error());
        const ParentChunk* shape = dynamic_cast<QorShapeChunk*>(opened->FindChild("QORSHAPE"));
        ASSERT_NE(nullptr, shape);
        EXPECT_EQ(nullptr, shape->FindChild("ANIMSEQU"));
    }
}

TEST_F(ShapeAnimation, ARecordRebuildsTheChildrenWithoutDeletedFrames) {
    auto opened = Open(AnimatedShape(Parent("ANIMSEQU", {AnimHeader("ANISEQDT", 0, 0, "")})));
    auto* shape = dynamic_cast<QorShapeChunk*>(opened->FindChild("QORSHAPE"));
    auto* animation = dynamic_cast<AnimSequenceChunk*>(shape->FindChild("ANIMSEQU"));
    ASSERT_NE(nullptr, animation);

    ChunkAnimSequence record;
    record.sequenceWord = 3;
    record.name = "Nod";
    record.frames.push_back(std::make_unique<ChunkAnimFrame>(Frame("gone", 5)));
    record.frames.push_back(std::make_unique<ChunkAnimFrame>(Frame("kept", 0)));
    record.frames.push_back(std::make_unique<ChunkAnimFrame>(Frame("last", 0)));
    animation->SetRecord(record);
    EXPECT_EQ(1, animation->CountChildren("ANISEQDT"));
    EXPECT_EQ(2, animation->CountChildren("ANIMFRAM"));
    EXPECT_EQ(3u, animation->Record().frames.size());

    // Saved and read again, the sequence holds the frames that were kept.
    auto again = Open(BytesOf(*opened), "again.qif");
    const auto* readShape = dynamic_cast<QorShapeChunk*>(again->FindChild("QORSHAPE"));
    const auto* read = dynamic_cast<AnimSequenceChunk*>(readShape->FindChild("ANIMSEQU"));
    ASSERT_NE(nullptr, read);
    ASSERT_EQ(2u, read->Record().frames.size());
    EXPECT_EQ("kept", read->Record().frames[0]->name);
    EXPECT_EQ("last", read->Record().frames[1]->name);
    EXPECT_EQ("Nod", read->Record().name);

    animation->SetFrameFlags(2, ChunkAnimFrame::kDeleted);
    animation->SetFrameFlags(3, ChunkAnimFrame::kDeleted); // no such frame
    animation->PurgeDeletedFrames();
    ASSERT_EQ(1u, animation->Record().frames.size());
    EXPECT_EQ("kept", animation->Record().frames[0]->name);
}

TEST_F(ShapeAnimation, HeadersAreSizedByTheirNames) {
    FileChunk file;
    auto* header = new AnimSequenceHeaderChunk(&file, "ANISEQDT", {});
    struct Case {
        std::string name;
        uint32_t size;
    };
    for (const Case& c : {Case{"", 36}, Case{"a", 36}, Case{"ab", 40}, Case{"abc", 40}, Case{"abcd", 40},
                          Case{"abcde", 40}, Case{"abcdef", 44}}) {
        header->Data().name = c.name;
        EXPECT_EQ(c.size, header->SizeChunk()) << c.name;
    }
}

} // namespace
