#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/bounding_box.h"
#include "Awapi/mesh_part.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "core/bytes.h"
#include "platform/files.h"
#include "tests/awapi/engine_fixture.h"
#include "tests/awapi/mesh_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

// One triangle near `base`.
AwShape* TriangleShape(const char* texture, float base) {
    return TriangleSoup({{base, base, base}, {base + 1, base, base + 3}, {base, base + 2, base}}, texture);
}

AwShapeInstance* Node(AwShape* shape) {
    auto* node = new AwShapeInstance(shape, true);
    if (shape) shape->ReleaseUse();
    return node;
}

class CacheRecordTest : public EngineTest {
protected:
    void TearDown() override {
        plat::DeleteFile(path);
        TextureManager.RemoveUnused();
        EngineTest::TearDown();
    }

    // The record the writer appends, or nothing when it reports a failure.
    std::vector<uint8_t> Write(const AwShapeInstance& node) {
        plat::File file = plat::File::Open(path, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
        EXPECT_TRUE(file.IsOpen());
        if (!node.WriteCached(file)) return {};
        file.Close();
        file = plat::File::Open(path, plat::kAccessRead, plat::FileDisposition::OpenExisting);
        std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
        EXPECT_TRUE(file.ReadExact(bytes.data(), static_cast<uint32_t>(bytes.size())));
        return bytes;
    }

    TempDir scratch;
    const std::string path = scratch / "cache_record_test.bin";
};

void ExpectSameBox(const AwShapeInstance& a, const AwShapeInstance& b) {
    ASSERT_NE(nullptr, b.Box);
    for (const auto& [x, y] : {std::pair{a.Box->Min(), b.Box->Min()}, std::pair{a.Box->Max(), b.Box->Max()}}) {
        EXPECT_EQ(x.x, y.x);
        EXPECT_EQ(x.y, y.y);
        EXPECT_EQ(x.z, y.z);
    }
}

TEST_F(CacheRecordTest, RecordSizesFollowTheNodeAndItsParts) {
    AwShapeInstance* empty = Node(nullptr);
    empty->Box = new AwBoundingBox(Vector3(0, 0, 0), Vector3(1, 1, 1));
    EXPECT_EQ(32u, Write(*empty).size());
    delete empty;

    AwShapeInstance* leaf = Node(TriangleShape("a", 0));
    const std::vector<uint8_t> image = Write(*leaf);
    ASSERT_EQ(156u, image.size()); // 32 + 4 + 16 + 2 + 3 x 32 + 3 x 2
    // Field by field, little-endian.
    ByteReader in(image.data(), image.size());
    for (float expected : {0.0f, 0.0f, 0.0f, 1.0f, 2.0f, 3.0f}) EXPECT_EQ(expected, in.F32()); // box min, max
    for (uint32_t expected : {1u, 0u, 1u, 3u, 3u, kTestVertexFormat, 2u}) EXPECT_EQ(expected, in.U32());
    EXPECT_EQ('a', in.U8());
    EXPECT_EQ(0, in.U8());
    const AwMeshPart* part = leaf->Slots[0]->Parts.Front();
    EXPECT_TRUE(std::equal(part->Vertices.begin(), part->Vertices.end(), image.begin() + 54));
    in.Skip(part->Vertices.size());
    for (uint16_t expected : {0, 1, 2}) EXPECT_EQ(expected, in.U16());
    EXPECT_EQ(0u, in.remaining());
    delete leaf;
}

TEST_F(CacheRecordTest, ATreeRoundTripsWithItsBoxesPartsAndTextures) {
    AwShapeInstance* root = Node(nullptr);
    root->Box = new AwBoundingBox(Vector3(-5, -6, -7), Vector3(5, 6, 7));
    AwShapeInstance* left = Node(TriangleShape("rock", 10));
    left->Slots[1] = TriangleShape("skipped", 0); // only slot 0 is stored
    AwShapeInstance* right = Node(nullptr);
    right->Box = new AwBoundingBox(Vector3(1, 1, 1), Vector3(2, 2, 2));
    right->AddChild(Node(TriangleShape("grass", 20)));
    root->AddChild(left);
    root->AddChild(right);
    const std::vector<uint8_t> image = Write(*root);
    ASSERT_FALSE(image.empty());

    ByteReader cursor(image.data(), image.size());
    AwShapeInstance* copy = AwShapeInstance::ReadCached(cursor);
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(image.size(), cursor.pos());
    EXPECT_EQ(nullptr, copy->Slots[0]);
    ExpectSameBox(*root, *copy);
    ASSERT_EQ(2, copy->Children.Count());
    AwShapeInstance* copyLeft = *copy->Children.At(0);
    AwShapeInstance* copyRight = *copy->Children.At(1);
    ASSERT_EQ(1, copyRight->Children.Count());
    const std::vector<std::pair<AwShapeInstance*, AwShapeInstance*>> pairs{
        {left, copyLeft}, {right, copyRight}, {right->Children.Front(), copyRight->Children.Front()}};
    for (auto [original, read] : pairs) {
        ExpectSameBox(*original, *read);
        EXPECT_EQ(0.0f, read->Position().x);
        for (int slot = 1; slot < kShapeSlots; ++slot) EXPECT_EQ(nullptr, read->Slots[slot]);
        ASSERT_EQ(original->Slots[0] != nullptr, read->Slots[0] != nullptr);
        if (!original->Slots[0]) continue;
        const AwMeshPart* a = original->Slots[0]->Parts.Front();
        const AwMeshPart* b = read->Slots[0]->Parts.Front();
        EXPECT_EQ(a->VertexFormat, b->VertexFormat);
        EXPECT_EQ(a->Vertices, b->Vertices);
        EXPECT_EQ(a->Indices, b->Indices);
        EXPECT_EQ(a->Texture, b->Texture); // the same record, found by name
        EXPECT_NE(nullptr, b->SharedBuffer);
        EXPECT_EQ(1, read->Slots[0]->UseCount.load());
    }
    const Matrix34* rest = copyLeft->GetMatrix();
    EXPECT_EQ(Matrix34(1).m[0], rest->m[0]);
    EXPECT_EQ(0.0f, rest->m[3]);
    // Textures gather at the root; the read shapes hold one reference per part.
    EXPECT_TRUE(copy->Textures.Contains(TextureManager.Find("grass")));
    EXPECT_TRUE(copy->Textures.Contains(TextureManager.Find("rock")));
    EXPECT_EQ(2, TextureManager.Find("rock")->RefCount);
    delete copy;
    EXPECT_EQ(1, TextureManager.Find("rock")->RefCount);
    delete root;
}

// Offsets into the image of a shapeless root with one leaf child (one part of 3 vertices of 32 bytes).
constexpr size_t kHasShape = 24, kChildCount = 28;
constexpr size_t kLeaf = 32, kPartCount = kLeaf + 32, kVertexCount = kPartCount + 4, kIndexCount = kPartCount + 8;
constexpr size_t kFormatAt = kPartCount + 12, kNameLength = kPartCount + 16, kName = kPartCount + 20;
constexpr size_t kFirstIndex = kLeaf + 156 - 6;

TEST_F(CacheRecordTest, DamagedImagesGiveNoTree) {
    AwShapeInstance* root = Node(nullptr);
    root->Box = new AwBoundingBox(Vector3(0, 0, 0), Vector3(1, 1, 1));
    root->AddChild(Node(TriangleShape("a", 0)));
    const std::vector<uint8_t> image = Write(*root);
    delete root;
    ASSERT_EQ(32u + 156u, image.size());

    for (size_t cut = 0; cut < image.size(); ++cut) {
        ByteReader cursor(image.data(), cut);
        EXPECT_EQ(nullptr, AwShapeInstance::ReadCached(cursor)) << "cut at " << cut;
    }
    struct Patch {
        size_t at;
        uint32_t value;
        const char* what;
    };
    const Patch patches[] = {
        {kHasShape, 2, "has shape neither 0 nor 1"},
        {kChildCount, 2, "a child more than the image holds"},
        {kChildCount, 0x7FFFFFFF, "a huge child count"},
        {kPartCount, 0xFFFFFFFF, "a huge part count"},
        {kVertexCount, 0x10000000, "more vertices than the image holds"},
        {kIndexCount, 0x80000000, "more indices than the image holds"},
        {kFormatAt, 0x1000, "a vertex format without a stride"},
        {kNameLength, 0, "no room for the terminator"},
        {kNameLength, 0xFFFFFF00, "a name longer than the image"},
        {kName, 0x62626262, "a name without its terminator"},
        {kFirstIndex, 3, "an index past the part's vertices"},
    };
    for (const Patch& p : patches) {
        std::vector<uint8_t> bad = image;
        if (p.at == kFirstIndex) {
            bad[p.at] = static_cast<uint8_t>(p.value);
            bad[p.at + 1] = 0;
        } else {
            std::memcpy(&bad[p.at], &p.value, 4); // little-endian host
        }
        ByteReader cursor(bad.data(), bad.size());
        EXPECT_EQ(nullptr, AwShapeInstance::ReadCached(cursor)) << p.what;
    }
    EXPECT_EQ(0, TextureManager.Find("a")->RefCount); // failed reads keep no reference
}

TEST_F(CacheRecordTest, NestingBeyondAnyBuiltTreeIsRefused) {
    // A chain of shapeless nodes, each the only child of the one before.
    auto chain = [](int depth) {
        ByteWriter out;
        for (int i = 0; i < depth; ++i) {
            for (int k = 0; k < 6; ++k) out.F32(k < 3 ? 0.0f : 1.0f);
            out.U32(0);
            out.U32(i + 1 < depth ? 1 : 0);
        }
        return out.bytes();
    };
    const std::vector<uint8_t> deep = chain(200);
    ByteReader cursor(deep.data(), deep.size());
    AwShapeInstance* tree = AwShapeInstance::ReadCached(cursor);
    ASSERT_NE(nullptr, tree);
    EXPECT_EQ(deep.size(), cursor.pos());
    delete tree;
    const std::vector<uint8_t> hostile = chain(100000);
    ByteReader hostileCursor(hostile.data(), hostile.size());
    EXPECT_EQ(nullptr, AwShapeInstance::ReadCached(hostileCursor)) << "no stack exhaustion";
}

TEST_F(CacheRecordTest, TheWriterReportsWhatItCannotStoreOrWrite) {
    AwShapeInstance* root = Node(nullptr);
    root->AddChild(Node(TriangleShape("a", 0)));
    EXPECT_TRUE(Write(*root).empty()) << "a node without a box";
    root->Box = new AwBoundingBox(Vector3(0, 0, 0), Vector3(1, 1, 1));
    root->AddChild(Node(TriangleShape(nullptr, 0)));
    EXPECT_TRUE(Write(*root).empty()) << "a part without a texture";
    delete root;

    AwShapeInstance* leaf = Node(TriangleShape("a", 0));
    ASSERT_EQ(156u, Write(*leaf).size());
    plat::File readOnly = plat::File::Open(path, plat::kAccessRead, plat::FileDisposition::OpenExisting);
    EXPECT_FALSE(leaf->WriteCached(readOnly));
    delete leaf;
}

TEST_F(CacheRecordTest, AWriteFailingPartWayThroughTheTreeIsReported) {
    AwShapeInstance* root = Node(nullptr);
    root->Box = new AwBoundingBox(Vector3(0, 0, 0), Vector3(1, 1, 1));
    root->AddChild(Node(TriangleShape("a", 0)));
    root->AddChild(Node(TriangleShape("b", 5)));
    // A file-size limit inside the first child's record, as a full disk would leave it.
    constexpr rlim_t kLimit = 32 + 100;
    rlimit saved{};
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
    ASSERT_GE(saved.rlim_max, kLimit);
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = kLimit;
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limited));
    bool opened = false, written = true;
    {
        plat::File file = plat::File::Open(path, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
        opened = file.IsOpen();
        written = root->WriteCached(file);
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(opened);
    EXPECT_FALSE(written);
    EXPECT_EQ(static_cast<int64_t>(kLimit), plat::File::Open(path, plat::kAccessRead, plat::FileDisposition::OpenExisting).Size())
        << "the root's record and part of the first child's went out";
    delete root;
}

} // namespace
