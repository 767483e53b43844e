#include <gtest/gtest.h>

#include <string>

#include "chunkfile/hierarchy_chunks.h"
#include "chunkfile/object_chunk.h"
#include "tests/chunkfile/shape_test_support.h"

namespace {

class HierarchyChunks : public ChunkFamilies {};

std::string Words(std::initializer_list<uint32_t> words) {
    std::string out;
    for (uint32_t w : words) out += U32Bytes(w);
    return out;
}

std::string NodeData(const std::string& objectName, std::initializer_list<uint32_t> words = {}) {
    return Leaf("OBJHIERD", U32Bytes(static_cast<uint32_t>(words.size())) + Words(words) + Padded(objectName));
}

std::string Object(const std::string& name) { return Leaf("QOOBJECT", ObjectHeader(name, 0)); }

// The hierarchy "Robot": bounds, a root node showing "Body" with an
// alternative shape and a collision set, and a child node showing "Arm".
std::string Robot() {
    const std::string arm = Parent("OBJCHIER", {NodeData("Arm"), Leaf("OBHIERNM", Padded("arm"))});
    const std::string root = Parent(
        "OBJCHIER",
        {NodeData("Body", {1, 2}), Leaf("OBHIERNM", Padded("body")),
         Leaf("OBHALTSH", U32Bytes(3) + Padded("alt") + U32Bytes(1) + Padded("a.qif") + Padded("b") + Words({1, 2, 3, 4})),
         Leaf("HSETCOLL", U32Bytes(0) + Padded("set") + U32Bytes(2) + Words({5, 6}) + Words({7, 8})),
         Leaf("HIERBBOX", I32s({-1, -2, -3, 1, 2, 3})), arm});
    return Parent("OBJCHIER", {Leaf("OBHIERNM", Padded("Robot")), Leaf("HIERBBOX", I32s({-5, -5, -5, 5, 5, 5})), root});
}

TEST_F(HierarchyChunks, NodesAreWalkedAndLinkedToTheirObjectsByExactName) {
    // The objects follow the hierarchy; "body" differs in case only.
    const std::string file = PlainFile({Robot(), Leaf("HIDEGDIS", U32Bytes(2) + Words({0, 500})), Object("body"),
                                        Object("Body"), Object("Body"), Object("Arm")});
    auto opened = Open(file);
    ASSERT_EQ(0, opened->Error());
    EXPECT_EQ(file, BytesOf(*opened));

    auto* robot = dynamic_cast<HierarchyChunk*>(opened->FindChild("OBJCHIER"));
    ASSERT_NE(nullptr, robot);
    EXPECT_EQ("Robot", robot->FindNameChunk()->Name());
    EXPECT_EQ(nullptr, robot->FindDataChunk());
    List<HierarchyChunk*> nodes;
    robot->ListChildNodes(nodes);
    ASSERT_EQ(1, nodes.Count());
    const HierarchyChunk* root = nodes.Front();
    ASSERT_NE(nullptr, root->FindDataChunk());
    EXPECT_EQ("Body", root->FindDataChunk()->ObjectName());
    EXPECT_EQ(32u, root->FindDataChunk()->Size()); // two words, a 4-character name

    // The first object of exactly that name, in file order.
    List<Chunk*> objects;
    opened->ListObjects(objects);
    ASSERT_EQ(4, objects.Count());
    EXPECT_EQ(*objects.At(1), root->FindDataChunk()->LinkedObject());

    root->ListChildNodes(nodes);
    ASSERT_EQ(1, nodes.Count());
    const HierarchyDataChunk* arm = nodes.Front()->FindDataChunk();
    EXPECT_EQ(objects.Back(), arm->LinkedObject());

    // The link follows the objects: with "Arm" deleted the node shows nothing.
    delete objects.Back();
    EXPECT_EQ(nullptr, arm->LinkedObject());

    auto* distances = dynamic_cast<DetailDistancesChunk*>(opened->FindChild("HIDEGDIS"));
    ASSERT_NE(nullptr, distances);
    EXPECT_EQ((std::vector<uint32_t>{0, 500}), distances->Distances());
}

TEST_F(HierarchyChunks, NodeDataIsSizedByItsWordsAndName) {
    FileChunk file;
    auto* data = new HierarchyDataChunk(&file, "");
    data->Data().words = {1, 2};
    struct Case {
        std::string name;
        uint32_t size;
    };
    for (const Case& c : {Case{"Body", 32}, Case{"Arm", 28}, Case{"", 28}}) {
        data->Data().objectName = c.name;
        EXPECT_EQ(c.size, data->SizeChunk()) << c.name;
    }
    EXPECT_EQ(nullptr, data->LinkedObject());
}

TEST_F(HierarchyChunks, NewChunksTakeTheFirstFreeIndexAndSpreadDistances) {
    FileChunk file;
    EXPECT_EQ(0u, (new HierarchyAltShapeChunk(&file, "first"))->Index());
    for (uint32_t used : {1u, 3u}) new HierarchyAltShapeChunk(&file, used, "used");
    EXPECT_EQ(2u, (new HierarchyAltShapeChunk(&file, "gap"))->Index());
    EXPECT_EQ(4u, (new HierarchyAltShapeChunk(&file, "next"))->Index());

    const auto* distances = new DetailDistancesChunk(&file, 10);
    ASSERT_EQ(10u, distances->Distances().size());
    for (uint32_t i = 0; i < 10; ++i) EXPECT_EQ(i * 10000, distances->Distances()[i]);
}

TEST_F(HierarchyChunks, CountsAndNamesPastTheDataAreMalformed) {
    const std::string bad[] = {
        Leaf("OBJHIERD", U32Bytes(3) + Words({1, 2})),
        Leaf("OBJHIERD", U32Bytes(0) + "Body"),
        Leaf("OBHALTSH", U32Bytes(0) + Padded("alt") + U32Bytes(2) + Padded("a") + Padded("b") + Words({1, 2, 3, 4})),
        Leaf("HSETCOLL", U32Bytes(0) + Padded("set") + U32Bytes(100) + Words({1, 2})),
        Leaf("HIDEGDIS", U32Bytes(0x40000000)),
        Leaf("HIERBBOX", I32s({1, 2, 3, 4, 5})),
    };
    for (const std::string& chunk : bad) {
        auto tree = ReadTree(PlainFile({Parent("OBJCHIER", {chunk})}));
        EXPECT_EQ(-2, tree->Error()) << chunk.substr(0, 8);
        EXPECT_EQ(nullptr, static_cast<ParentChunk*>(tree->FirstChild())->FirstChild()) << chunk.substr(0, 8);
    }
}

} // namespace
