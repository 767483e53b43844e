#include <gtest/gtest.h>

#include <vector>

#include "chunkfile/filelinks.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/object_header.h"
#include "chunkfile/shape_chunk.h"
#include "chunkfile/shape_geometry.h"
#include "chunkfile/shape_header.h"
#include "chunkfile/unknownchunk.h"
#include "platform/files.h"
#include "tests/chunkfile/shape_test_support.h"

namespace {

std::vector<std::string> ChildIds(const ParentChunk& p) {
    std::vector<std::string> ids;
    for (Chunk* c = p.FirstChild(); c; c = c->Next()) ids.emplace_back(c->Id());
    return ids;
}

// Nine polygon words: type 1, normal index, flags 0, texture word 0, slots.
std::string PolygonWords(int32_t normal, std::initializer_list<int32_t> slots) {
    std::string out = I32s({1, normal, 0, 0});
    for (int32_t s : slots) out += I32s({s});
    return out;
}

const std::string kTriangle = PolygonWords(0, {0, 1, 2, -1, -1});

const std::string kShape = Parent("QORSHAPE", {
    ShapeHeader(4, {"Tank"}),
    Leaf("SHPRAWVT", I32s({0, 0, 0, 10, 0, 0, 0, 10, 0})),
    Leaf("SHPPOLYS", kTriangle),
    Leaf("SHPCENTR", I32s({5, 5, 0}) + F32s({2.5f})),
});

ChunkShapeData TriangleRecord() {
    ChunkShapeData r;
    r.cornerA = {10, 0, -5};
    r.cornerB = {-3, 4, 6};
    r.pointCount = 3;
    r.points = {{0, 0, 0}, {6, 2, 0}, {3, 2, 4}};
    ChunkPolygon p;
    p.vertexCount = 3;
    p.vertices[0] = 0;
    p.vertices[1] = 1;
    p.vertices[2] = 2;
    r.polygonCount = 1;
    r.polygons = {p};
    r.textureNames = {"a", "bc"};
    return r;
}

class ShapeChunks : public ChunkFamilies {};

TEST_F(ShapeChunks, AShapeBuiltFromARecordGetsTheChildrenOfItsArraysAndItsBounds) {
    ChunkShapeData record = TriangleRecord();
    QorShapeChunk plain(nullptr, record);
    EXPECT_EQ((std::vector<std::string>{"SHPRAWVT", "SHPPOLYS", "SHPTEXFN", "SHPCENTR", "SHPHEAD1"}),
              ChildIds(plain));
    EXPECT_EQ((VectorI{3, 2, 0}), plain.Data().centre);
    EXPECT_FLOAT_EQ(4.0f, plain.Data().radius); // (3, 2, 4) is the farthest point
    EXPECT_EQ(-1, plain.FindHeader()->ShapeNumber());

    record.shapeFlags = 2;
    record.pointFlags = {1, 2, 3};
    SubShapeChunk flagged(nullptr, record);
    EXPECT_EQ((std::vector<std::string>{"SHPRAWVT", "SHPVFLAG", "SHPPOLYS", "SHPTEXFN", "SHPCENTR", "SHPFLAGS",
                                        "SUBSHPHD"}),
              ChildIds(flagged));
    EXPECT_EQ(-1, flagged.FindSubHeader()->Number());
}

TEST_F(ShapeChunks, ChunkSizesFollowTheirContents) {
    ChunkShapeData record = TriangleRecord();
    QorShapeChunk shape(nullptr, record);
    EXPECT_EQ(24u, shape.FindChild("SHPTEXFN")->SizeChunk()); // 16 + 2 + 3, rounded up
    EXPECT_EQ(12u + 36u, shape.FindChild("SHPPOLYS")->SizeChunk());
    EXPECT_EQ(28u, shape.FindChild("SHPCENTR")->SizeChunk());
    EXPECT_EQ(80u, shape.FindHeader()->SizeChunk());

    auto tree = ReadTree(PlainFile({Parent("QORSHAPE", {ShapeHeader(1, {"abc", "defgh"})}), Parent("SUBSHAPE", {})}));
    auto* read = dynamic_cast<QorShapeChunk*>(tree->FirstChild());
    ASSERT_NE(nullptr, read);
    EXPECT_EQ(92u, read->FindHeader()->SizeChunk()); // 80 + 4 + 6, rounded up
    SubShapeChunk sub(nullptr, record);
    EXPECT_EQ(56u, sub.FindSubHeader()->SizeChunk());
}

TEST_F(ShapeChunks, AReadShapeFillsItsRecordAndWritesBackTheSameBytes) {
    auto tree = ReadTree(PlainFile({kShape}));
    ASSERT_EQ(0, tree->Error());
    auto* shape = dynamic_cast<QorShapeChunk*>(tree->FirstChild());
    ASSERT_NE(nullptr, shape);
    const ChunkShapeData& r = shape->Data();
    EXPECT_EQ(3, r.pointCount);
    EXPECT_EQ((VectorI{0, 10, 0}), r.points[2]);
    ASSERT_EQ(1u, r.polygons.size());
    EXPECT_EQ(3, r.polygons[0].vertexCount);
    EXPECT_EQ(-1, r.polygons[0].vertices[3]);
    EXPECT_EQ((VectorI{1, 3, 5}), r.cornerA);
    EXPECT_EQ((VectorI{2, 4, 6}), r.cornerB);
    EXPECT_EQ((VectorI{5, 5, 0}), r.centre);
    EXPECT_FLOAT_EQ(2.5f, r.radius);
    EXPECT_EQ(4, shape->FindHeader()->ShapeNumber());
    EXPECT_EQ("user", shape->FindHeader()->UserName());
    EXPECT_EQ(kShape, BytesOf(*shape));
}

TEST_F(ShapeChunks, TheLastCountChunkSetsThePointCount) {
    auto tree = ReadTree(PlainFile({Parent("QORSHAPE", {
        Leaf("SHPRAWVT", std::string(12 * 12, '\0')),
        Leaf("SHPVFLAG", std::string(10 * 4, '\0')),
    })}));
    auto* shape = dynamic_cast<ShapeChunk*>(tree->FirstChild());
    ASSERT_NE(nullptr, shape);
    EXPECT_EQ(10, shape->Data().pointCount);
    EXPECT_EQ(12u, shape->Data().points.size());
}

TEST_F(ShapeChunks, GeometryThatBreaksTheRecordLimitsIsMalformed) {
    struct Case {
        const char* what;
        std::string chunk;
    };
    const Case cases[] = {
        {"five used vertex slots", Leaf("SHPPOLYS", PolygonWords(0, {0, 1, 2, 3, 4}))},
        {"a uv list of five pairs", Leaf("SHPUVCRD", U32Bytes(1) + U32Bytes(5) + std::string(40, '\0'))},
        {"uv lists past the chunk", Leaf("SHPUVCRD", U32Bytes(2) + U32Bytes(0))},
        {"uv pairs past the chunk", Leaf("SHPUVCRD", U32Bytes(1) + U32Bytes(2) + std::string(8, '\0'))},
        {"a huge uv-list count", Leaf("SHPUVCRD", U32Bytes(0xFFFFFFFF))},
        {"texture names past the chunk", Leaf("SHPTEXFN", U32Bytes(3) + Names({"a", "b"}))},
        {"an unterminated texture name", Leaf("SHPTEXFN", U32Bytes(1) + "abcd")},
        {"header names past the chunk", ShapeHeader(1).substr(0, 12 + 64) + U32Bytes(2) + "ab"},
        {"a cut header", Leaf("SHPHEAD1", std::string(40, '\0'))},
        {"a cut sub-shape header", Leaf("SUBSHPHD", std::string(40, '\0'))},
        {"a cut centre", Leaf("SHPCENTR", I32s({1, 2, 3}))},
        {"no shape flags", Leaf("SHPFLAGS")},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        // Header chunks fix their own size field: rebuild it from the bytes.
        std::string chunk = k.chunk;
        StoreU32LE(reinterpret_cast<uint8_t*>(chunk.data() + 8), static_cast<uint32_t>(chunk.size()));
        const char* parent = chunk.compare(0, 8, "SUBSHPHD") == 0 ? "SUBSHAPE" : "QORSHAPE";
        auto file = Open(PlainFile({Parent(parent, {chunk, Leaf("SHPFLAGS", U32Bytes(1))})}));
        EXPECT_EQ(-2, file->Error());
        auto* shape = dynamic_cast<ShapeChunk*>(file->FirstChild());
        ASSERT_NE(nullptr, shape);
        EXPECT_EQ(nullptr, shape->FirstChild()); // nothing made, nothing after it read
    }
}

TEST_F(ShapeChunks, EachGeometryChunkWritesBackWhatItRead) {
    // A second point chunk takes the record's points over; the first keeps its own.
    const std::string first = Leaf("SHPRAWVT", I32s({1, 2, 3}));
    const std::string second = Leaf("SHPRAWVT", I32s({4, 5, 6, 7, 8, 9}));
    const std::string image = PlainFile({Parent("QORSHAPE", {first, second})});
    auto tree = ReadTree(image);
    auto* shape = dynamic_cast<ShapeChunk*>(tree->FirstChild());
    ASSERT_NE(nullptr, shape);
    EXPECT_EQ(2u, shape->Data().points.size());
    EXPECT_EQ(image, BytesOf(*tree));
}

TEST_F(ShapeChunks, GeometryOutsideAShapeKeepsItsOwnArrays) {
    ParentChunk frame(nullptr, "ANIMFRAM");
    const std::string points = Leaf("SHPRAWVT", I32s({1, 2, 3}));
    auto* chunk = dynamic_cast<PointArrayChunk*>(frame.CreateChild({reinterpret_cast<const uint8_t*>(points.data()),
                                                                    static_cast<uint32_t>(points.size())}));
    ASSERT_NE(nullptr, chunk);
    EXPECT_TRUE(chunk->HoldsOwnElements());
    std::vector<VectorI> adopted;
    chunk->HandOver(adopted);
    EXPECT_EQ((std::vector<VectorI>{{1, 2, 3}}), adopted);
    EXPECT_EQ(&adopted, &chunk->Elements());
    EXPECT_EQ(points, BytesOf(*chunk));

    // Centre and flags need a shape's record: elsewhere they are kept raw.
    ParentChunk other(nullptr, "QOOBJECT");
    const std::string centre = Leaf("SHPCENTR", I32s({1, 2, 3, 4}));
    EXPECT_TRUE(other.CreateChild({reinterpret_cast<const uint8_t*>(centre.data()), 28})->IsUnknown());
}

TEST_F(ShapeChunks, SavingNumbersNewShapesAndRecordsTheirObjects) {
    HighestShapeNumber = 7;
    FileChunk file;
    auto* first = new QorShapeChunk(&file, TriangleRecord());
    auto* second = new QorShapeChunk(&file, TriangleRecord());
    ChunkObjectData data;
    data.name = "Tank";
    ObjectChunk* tank = ObjectChunk::NewObject(&file, data);
    data.name = "Jeep";
    ObjectChunk* jeep = ObjectChunk::NewObject(&file, data);
    ASSERT_TRUE(first->LinkObject(*tank));
    ASSERT_TRUE(second->LinkObject(*jeep));
    ASSERT_TRUE(second->LinkObject(*tank)); // moves over
    EXPECT_EQ(second, tank->GetShapeChunk());
    EXPECT_EQ(0, first->UsingObjects().Count());

    ASSERT_TRUE(file.Save(dir_ / "shapes.qif"));
    EXPECT_EQ(8, first->FindHeader()->ShapeNumber());
    EXPECT_EQ(9, second->FindHeader()->ShapeNumber());
    EXPECT_EQ(9, HighestShapeNumber);
    EXPECT_EQ(1, second->FindHeader()->Revision());
    EXPECT_EQ(9, tank->GetHeader()->ShapeNumber());

    auto again = FileChunk::Open(dir_ / "shapes.qif");
    ASSERT_EQ(0, again->Error());
    List<Chunk*> shapes;
    again->ListShapes(shapes);
    auto* reread = dynamic_cast<ShapeChunk*>(*shapes.At(1));
    ASSERT_NE(nullptr, reread);
    std::vector<std::string> names(reread->FindHeader()->NameList().begin(), reread->FindHeader()->NameList().end());
    EXPECT_EQ((std::vector<std::string>{"Jeep", "Tank"}), names);
    ASSERT_EQ(2, reread->UsingObjects().Count());
    EXPECT_EQ("Tank", reread->UsingObjects().Front()->Name()); // linked in file order
}

TEST_F(ShapeChunks, LinksNeverOutliveTheShapeOrTheObject) {
    auto file = Open(PlainFile({kShape, Parent("QOOBJECT", {ObjectHeader("Tank", 4)}),
                                Parent("QOOBJECT", {ObjectHeader("Jeep", 4)})}));
    ASSERT_EQ(0, file->Error());
    auto* shape = dynamic_cast<ShapeChunk*>(file->FindChild("QORSHAPE"));
    auto* tank = dynamic_cast<ObjectChunk*>(file->FindChild("QOOBJECT"));
    ASSERT_TRUE(shape && tank);
    EXPECT_EQ(shape, tank->GetShapeChunk());
    ASSERT_EQ(2, shape->UsingObjects().Count());

    delete tank;
    ASSERT_EQ(1, shape->UsingObjects().Count());
    auto* jeep = dynamic_cast<ObjectChunk*>(file->FindChild("QOOBJECT"));
    EXPECT_EQ(jeep, shape->UsingObjects().Front());

    delete shape;
    EXPECT_EQ(nullptr, jeep->GetShapeChunk());
    file->PrepareForOutput(); // nothing left to reach a deleted shape
}

TEST_F(ShapeChunks, HeaderOperationsNeedAHeader) {
    auto file = Open(PlainFile({kShape, Parent("QORSHAPE", {}), Parent("QOOBJECT", {ObjectHeader("Tank", 9)})}));
    auto* shape = dynamic_cast<ShapeChunk*>(file->FirstChild());
    auto* bare = dynamic_cast<ShapeChunk*>(shape->Next());
    auto* tank = dynamic_cast<ObjectChunk*>(bare->Next());
    ASSERT_TRUE(shape && bare && tank);

    EXPECT_TRUE(shape->SetUserName("a name of twenty chr"));
    EXPECT_EQ("a name of twenty", shape->FindHeader()->UserName());
    EXPECT_STREQ("SHPHEAD1", shape->GetHeaderId());
    EXPECT_TRUE(shape->BumpRevision());
    EXPECT_EQ(1, shape->FindHeader()->Revision());

    EXPECT_FALSE(bare->SetUserName("x"));
    EXPECT_FALSE(bare->BumpRevision());
    EXPECT_EQ(nullptr, bare->GetHeaderId());
    EXPECT_EQ(0, bare->UsingObjects().Count());
    EXPECT_FALSE(bare->LinkObject(*tank));
    EXPECT_FALSE(bare->RelinkObjects(*file));
    EXPECT_FALSE(shape->IsOlderThan(*bare));

    // The header names "Tank": relinking finds it by name, whatever its number.
    EXPECT_EQ(nullptr, tank->GetShapeChunk());
    EXPECT_TRUE(shape->RelinkObjects(*file));
    EXPECT_EQ(shape, tank->GetShapeChunk());
    shape->UnlinkObject(*tank);
    EXPECT_EQ(nullptr, tank->GetShapeChunk());
    EXPECT_EQ(0, shape->UsingObjects().Count());
}

TEST_F(ShapeChunks, ReplacingTheDataRebuildsTheGeometryChildren) {
    auto tree = ReadTree(PlainFile({kShape}));
    auto* shape = dynamic_cast<ShapeChunk*>(tree->FirstChild());
    ASSERT_NE(nullptr, shape);
    new UnknownChunk(shape, {reinterpret_cast<const uint8_t*>("TEXTANIM\x0c\0\0\0"), 12});
    ASSERT_TRUE(shape->ReplaceData(TriangleRecord()));
    EXPECT_EQ((std::vector<std::string>{"SHPHEAD1", "TEXTANIM", "SHPRAWVT", "SHPPOLYS", "SHPTEXFN", "SHPCENTR"}),
              ChildIds(*shape));
    EXPECT_EQ(3u, shape->Data().points.size());
    shape->DeleteExtras();
    EXPECT_EQ(nullptr, shape->FindChild("TEXTANIM"));
}

TEST_F(ShapeChunks, ADuplicateIsAnUnnumberedCopy) {
    auto file = Open(PlainFile({kShape}));
    auto* shape = dynamic_cast<QorShapeChunk*>(file->FirstChild());
    ASSERT_NE(nullptr, shape);
    ShapeChunk* copy = shape->Duplicate();
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(copy, file->LastChild());
    EXPECT_EQ(-1, copy->FindHeader()->ShapeNumber());
    EXPECT_EQ(shape->Data().points, copy->Data().points);
    EXPECT_EQ(shape->Data().cornerB, copy->Data().cornerB);
    EXPECT_EQ(4, shape->FindHeader()->ShapeNumber());
}

TEST_F(ShapeChunks, AStoredShapeMatchesByItsHeaderNumber) {
    const std::string path = dir_.Write("stored.qif", PlainFile({kShape}));
    auto file = Open(PlainFile({kShape}));
    auto* shape = dynamic_cast<ShapeChunk*>(file->FirstChild());
    ASSERT_NE(nullptr, shape);
    plat::File stored = plat::File::Open(path, plat::kAccessRead, plat::FileDisposition::OpenExisting);
    ASSERT_TRUE(stored.IsOpen());
    for (int32_t number : {4, 5}) {
        shape->FindHeader()->SetShapeNumber(number);
        ASSERT_EQ(12, stored.Seek(12, plat::SeekOrigin::Begin));
        EXPECT_EQ(number == 4, shape->MatchesFileHeader(stored)) << number;
    }
}

} // namespace
