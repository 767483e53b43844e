#include <gtest/gtest.h>

#include <optional>

#include "chunkfile/filechunk.h"
#include "chunkfile/filelevelchunks.h"
#include "chunkfile/filelinks.h"
#include "chunkfile/memoryfilechunk.h"
#include "chunkfile/subfilechunk.h"
#include "chunkfile/unknownchunk.h"
#include "tests/chunkfile/chunk_bytes.h"
#include "tests/support/temp_dir.h"

namespace {

// Stand-ins for the shape and object families: a header number (none when
// `number` is empty), a removal mark, and the object's link and index number.
class FakeShape : public ParentChunk {
public:
    FakeShape(ParentChunk* parent, std::optional<int32_t> number) : ParentChunk(parent, "QORSHAPE"), number(number) {}
    std::optional<int32_t> number;
    bool marked = false;
};

class FakeObject : public ParentChunk {
public:
    FakeObject(ParentChunk* parent, std::optional<int32_t> shapeNumber, int32_t number = -1)
        : ParentChunk(parent, "QOOBJECT"), shapeNumber(shapeNumber), number(number) {}
    std::optional<int32_t> shapeNumber;
    int32_t number;
    Chunk* shape = nullptr;
    bool deleted = false;
};

bool HeaderNumber(std::optional<int32_t> n, int32_t& out) {
    if (n) out = *n;
    return n.has_value();
}

// Installs the stand-ins' hooks for one test and puts the previous ones back.
class FakeFamilies : public testing::Test {
protected:
    void SetUp() override {
        previousShapes_ = InstallShapeFileHooks({
            [](const Chunk& c, int32_t& n) { return HeaderNumber(static_cast<const FakeShape&>(c).number, n); },
            [](const Chunk& c) { return static_cast<const FakeShape&>(c).marked; },
        });
        previousObjects_ = InstallObjectFileHooks({
            [](const Chunk& c, int32_t& n) { return HeaderNumber(static_cast<const FakeObject&>(c).shapeNumber, n); },
            [](Chunk& object, Chunk& shape) { static_cast<FakeObject&>(object).shape = &shape; },
            [](const Chunk& c) { return static_cast<const FakeObject&>(c).number; },
            [](Chunk& c, int32_t n) { static_cast<FakeObject&>(c).number = n; },
            [](const Chunk& c) { return static_cast<const FakeObject&>(c).deleted; },
        });
        highestBefore_ = HighestShapeNumber;
        HighestShapeNumber = 0;
    }
    void TearDown() override {
        InstallShapeFileHooks(previousShapes_);
        InstallObjectFileHooks(previousObjects_);
        HighestShapeNumber = highestBefore_;
    }

private:
    ShapeFileHooks previousShapes_;
    ObjectFileHooks previousObjects_;
    int32_t highestBefore_ = 0;
};

TEST_F(FakeFamilies, ObjectsLinkToTheShapeOfTheirHeaderNumber) {
    FileChunk file;
    auto* s3 = new FakeShape(&file, 3);
    auto* s5 = new FakeShape(&file, 5);
    auto* s5again = new FakeShape(&file, 5);
    new FakeShape(&file, std::nullopt);
    auto* to3 = new FakeObject(&file, 3);
    auto* to5 = new FakeObject(&file, 5);
    auto* none = new FakeObject(&file, -1);
    auto* beyond = new FakeObject(&file, 6);
    auto* headerless = new FakeObject(&file, std::nullopt);

    file.PostInputProcessing();
    EXPECT_EQ(s3, to3->shape);
    EXPECT_EQ(s5again, to5->shape); // a later shape with the same number wins
    EXPECT_EQ(nullptr, none->shape);
    EXPECT_EQ(nullptr, beyond->shape);
    EXPECT_EQ(nullptr, headerless->shape);
    EXPECT_EQ(5, HighestShapeNumber);

    LinkObjectsToShapes(file, DuplicateShapeNumbers::FirstWins);
    EXPECT_EQ(s5, to5->shape);
}

TEST_F(FakeFamilies, HostileShapeNumbersAreIgnored) {
    ParentChunk file(nullptr, "QORINFF2");
    for (int32_t n : {-5, kMaxShapeNumber + 1, INT32_MAX}) {
        new FakeShape(&file, n);
        new FakeObject(&file, n);
    }
    auto* valid = new FakeShape(&file, 7);
    auto* object = new FakeObject(&file, 7);
    // An unknown chunk under a family's id never reaches the family's hooks.
    const std::string unknown = Leaf("QORSHAPE");
    new UnknownChunk(&file, RawChunk{reinterpret_cast<const uint8_t*>(unknown.data()), 12});

    LinkObjectsToShapes(file, DuplicateShapeNumbers::LastWins);
    EXPECT_EQ(7, HighestShapeNumber);
    EXPECT_EQ(valid, object->shape);
    for (Chunk* c = file.FirstChild(); c != valid; c = c->Next()) {
        if (c->HasId("QOOBJECT")) {
            EXPECT_EQ(nullptr, static_cast<FakeObject*>(c)->shape);
        }
    }

    HighestShapeNumber = 50;
    LinkObjectsToShapes(file, DuplicateShapeNumbers::LastWins);
    EXPECT_EQ(50, HighestShapeNumber); // never lowered
}

TEST_F(FakeFamilies, ObjectIndexFillsTheFirstFreeNumber) {
    FileChunk file;
    auto* zero = new FakeObject(&file, 0, 0);
    auto* two = new FakeObject(&file, 0, 2);
    new FakeObject(&file, 0, kMaxObjectNumber + 1);
    EXPECT_EQ(zero, file.ObjectByNumber(0));
    EXPECT_EQ(nullptr, file.ObjectByNumber(1));
    EXPECT_EQ(two, file.ObjectByNumber(2));
    EXPECT_EQ(nullptr, file.ObjectByNumber(-1));
    EXPECT_EQ(nullptr, file.ObjectByNumber(kMaxObjectNumber + 1));

    auto* added = new FakeObject(&file, 0);
    file.AddObjectToIndex(*added);
    EXPECT_EQ(1, added->number);
    auto* last = new FakeObject(&file, 0);
    file.AddObjectToIndex(*last);
    EXPECT_EQ(3, last->number);
    EXPECT_EQ(last, file.ObjectByNumber(3));

    // Removing an object drops the index rather than leaving it pointing at the object.
    delete two;
    EXPECT_EQ(nullptr, file.ObjectByNumber(2));
    EXPECT_EQ(last, file.ObjectByNumber(3));
}

TEST_F(FakeFamilies, SaveToSourceDropsMarkedShapesAndObjects) {
    TempDir dir;
    FileChunk file;
    EXPECT_FALSE(file.SaveToSource()); // no path yet
    new FakeShape(&file, 1);
    (new FakeShape(&file, 2))->marked = true;
    new FakeObject(&file, 1);
    (new FakeObject(&file, 2))->deleted = true;
    ASSERT_TRUE(file.Save(dir / "level.qif"));
    EXPECT_TRUE(file.SaveToSource());
    EXPECT_EQ(1, file.CountChildren("QORSHAPE"));
    EXPECT_EQ(1, file.CountChildren("QOOBJECT"));
    EXPECT_EQ(1, static_cast<FakeShape*>(file.FindChild("QORSHAPE"))->number);
    EXPECT_FALSE(static_cast<FakeObject*>(file.FindChild("QOOBJECT"))->deleted);
}

TEST(SubFileChunk, HoldsAnotherFilesChunksButIsWrittenOnlyByTheSecondSerialisation) {
    RegisterCoreChunkClasses();
    TempDir dir;
    const std::string version = Leaf("QIFVERIN", U32Bytes(9));
    const std::string other = dir.Write("other.qif", PlainFile({version, Leaf("EXTRA", "data")}));
    ParentChunk root(nullptr, "QORINFF2");
    auto* sub = new SubFileChunk(&root, other);
    EXPECT_EQ(0, sub->Error());
    List<Chunk*> children;
    sub->ListAllChildren(children);
    EXPECT_EQ(2, children.Count());
    EXPECT_EQ(PlainFile({}), AsString(root.MakeDataBlock()));
    EXPECT_EQ(PlainFile({Parent("SUBQIFFL", {version, Leaf("EXTRA", "data")})}),
              AsString(root.MakeDataBlockForProcess()));

    auto* missing = new SubFileChunk(&root, dir / "missing.qif");
    EXPECT_EQ(-1, missing->Error());
    EXPECT_EQ(nullptr, missing->FirstChild());
}

} // namespace
