#include <gtest/gtest.h>

#include <cfloat>
#include <vector>

#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/bounding_box.h"
#include "Awapi/level_geometry.h"
#include "Awapi/mesh_part.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "Awapi/shape_subdivision.h"
#include "tests/awapi/engine_fixture.h"
#include "tests/awapi/mesh_fixture.h"

namespace {

class SubdivisionTest : public EngineTest {
protected:
    void TearDown() override {
        TextureManager.RemoveUnused();
        EngineTest::TearDown();
    }
};

// A node owning the shape (the creator's use dropped), as the level builder leaves it.
AwShapeInstance* NodeOf(AwShape* shape) {
    auto* node = new AwShapeInstance(shape, true);
    shape->ReleaseUse();
    return node;
}

// The x of every vertex of the node's slot-0 shape, in part order.
std::vector<float> Xs(const AwShapeInstance& node) {
    std::vector<float> xs;
    for (const AwMeshPart* part : node.Slots[0]->Parts)
        for (uint32_t i = 0; i < part->VertexCount; ++i) xs.push_back(part->Position(i)[0]);
    return xs;
}

AwShapeInstance* Child(AwShapeInstance& node, int i) { return *node.Children.At(i); }

TEST_F(SubdivisionTest, AShapeWithinTheLimitKeepsItsPartsAndGetsABox) {
    AwShape* shape = TriangleSoup({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, "stone");
    shape->Geometry = new LevelGeometry;
    AwShapeInstance* node = NodeOf(shape);
    node->BuildBounds(3);
    EXPECT_EQ(shape, node->Slots[0]);
    EXPECT_EQ(nullptr, shape->Geometry);
    ASSERT_NE(nullptr, shape->Box);
    EXPECT_EQ(1.0f, shape->Box->Max().x);
    EXPECT_TRUE(node->Children.IsEmpty());
    delete node;
}

TEST_F(SubdivisionTest, SplittingMovesEveryTriangleIntoExactlyOnePieceWithItsOwnBounds) {
    // Four triangles along x with centres at 1/3, 5/3, exactly 2 and 11/3; the
    // bounds run from 0 to 4, so the split lies at x = 2 and the third
    // triangle, centred on it, goes to the first piece.
    AwShape* shape = TriangleSoup({{0, 0, 0}, {1, 0, 0}, {0, 1, 0},       //
                                   {1, 0, 0}, {2, 0, 0}, {2, 1, 0},       //
                                   {1.5f, 0, 0}, {2, 0, 0}, {2.5f, 1, 0}, //
                                   {3, 0, 0}, {4, 0, 0}, {4, 1, 1}},
                                  "stone");
    AwTexture* stone = TextureManager.Find("stone");
    AwShapeInstance* root = NodeOf(shape);
    root->BuildBounds(9);
    EXPECT_EQ(nullptr, root->Slots[0]); // the source went with the root's use
    ASSERT_EQ(2, root->Children.Count());
    AwShapeInstance* first = Child(*root, 0);
    AwShapeInstance* second = Child(*root, 1);
    EXPECT_EQ((std::vector<float>{0, 1, 0, 1, 2, 2, 1.5f, 2, 2.5f}), Xs(*first));
    EXPECT_EQ((std::vector<float>{3, 4, 4}), Xs(*second));
    // The pieces' bounds are those of what they received, and so are their boxes.
    EXPECT_EQ(2.5f, first->Slots[0]->Max.x);
    EXPECT_EQ(0.0f, first->Slots[0]->Max.z);
    EXPECT_EQ(3.0f, second->Slots[0]->Min.x);
    EXPECT_EQ(1.0f, second->Slots[0]->Max.z);
    for (AwShapeInstance* piece : {first, second}) {
        AwShape* s = piece->Slots[0];
        ASSERT_NE(nullptr, s->Box);
        EXPECT_EQ(s->Min.x, piece->Box->Min().x);
        EXPECT_EQ(s->Max.y, s->Box->Max().y);
        EXPECT_EQ(1, s->UseCount.load());
        const AwMeshPart* part = s->Parts.Front();
        EXPECT_EQ(stone, part->Texture);
        EXPECT_NE(nullptr, part->SharedBuffer);
        EXPECT_EQ(part->VertexCount, part->IndexCount);
    }
    // Vertex data travels whole: the normal and texture pair of source vertex 9.
    const auto* vertex = reinterpret_cast<const float*>(second->Slots[0]->Parts.Front()->Vertices.data());
    EXPECT_EQ(9.0f, vertex[6]);
    EXPECT_EQ(2, stone->RefCount); // one per piece
    delete root;
    EXPECT_EQ(0, stone->RefCount);
}

TEST_F(SubdivisionTest, SharedCornersAreCopiedIntoBothPieces) {
    // Two triangles sharing the edge from (1, 0) to (1, 1), split at x = 1.
    AwShape* shape = IndexedShape({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {2, 1, 0}}, {0, 1, 2, 1, 3, 2}, nullptr);
    AwShapeInstance* root = NodeOf(shape);
    root->BuildBounds(3);
    ASSERT_EQ(2, root->Children.Count());
    EXPECT_EQ((std::vector<float>{0, 1, 1}), Xs(*Child(*root, 0)));
    EXPECT_EQ((std::vector<float>{1, 2, 1}), Xs(*Child(*root, 1)));
    EXPECT_EQ((std::vector<uint16_t>{0, 1, 2}), Child(*root, 1)->Slots[0]->Parts.Front()->Indices);
    delete root;
}

TEST_F(SubdivisionTest, AFlatShapeFallsBackToTheCentroidSplitAndThenStaysWhole) {
    // Flat in z; every centre lies right of the middle of x and below the middle
    // of y, and on the z split: only the mean of x (75 / 9) separates them.
    AwShape* shape = TriangleSoup({{0, 5, 0}, {10, 0, 0}, {10, 5, 0}, //
                                   {8, 4, 0}, {9, 4, 0}, {9, 5, 0},   //
                                   {9, 4, 0}, {10, 4, 0}, {10, 5, 0}},
                                  nullptr);
    AwShapeInstance* root = NodeOf(shape);
    root->BuildBounds(6);
    // One retry node per kind that left a side empty: x middle, y middle, z.
    AwShapeInstance* node = root;
    for (int retry = 0; retry < 3; ++retry) {
        ASSERT_EQ(1, node->Children.Count()) << "retry " << retry;
        EXPECT_EQ(nullptr, node->Slots[0]);
        node = Child(*node, 0);
    }
    ASSERT_EQ(2, node->Children.Count());
    EXPECT_EQ((std::vector<float>{0, 10, 10}), Xs(*Child(*node, 0)));
    EXPECT_EQ(6u, Xs(*Child(*node, 1)).size());
    delete root;

    // Triangles that share one centre cannot be separated: after the centroid the piece stays whole.
    AwShapeInstance* same = NodeOf(TriangleSoup({{0, 0, 0}, {3, 0, 0}, {0, 3, 0}, {3, 3, 0}, {0, 0, 0}, {0, 0, 0}}, nullptr));
    same->BuildBounds(3);
    node = same;
    for (int kind = 0; kind < kSplitKinds; ++kind) {
        ASSERT_EQ(1, node->Children.Count()) << "kind " << kind;
        node = Child(*node, 0);
    }
    EXPECT_TRUE(node->Children.IsEmpty());
    EXPECT_EQ(6u, Xs(*node).size());
    delete same;
}

TEST_F(SubdivisionTest, CopiedTrianglesShareOnePartPerTextureAndFormatUpToThePartLimit) {
    const Vector3 everywhere(FLT_MAX, FLT_MAX, FLT_MAX);
    const Vector3 nowhere(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    // A triangle soup of `count` vertices along x from `x`.
    auto soup = [](uint32_t count, float x, const char* texture) {
        std::vector<Vector3> corners;
        for (uint32_t i = 0; i < count; ++i) corners.emplace_back(x + static_cast<float>(i % 3), static_cast<float>(i % 2), 0);
        return TriangleSoup(corners, texture);
    };
    AwShape* sources[] = {soup(3, 0, "stone"), soup(6, 10, "stone"), soup(3, 20, "moss"), soup(29997, 30, "stone")};
    auto* piece = new AwShape;
    piece->Min = everywhere;
    piece->Max = nowhere;
    for (AwShape* source : sources) piece->AddTrianglesInBox(*source, nowhere, everywhere);

    AwTexture* stone = TextureManager.Find("stone");
    AwTexture* moss = TextureManager.Find("moss");
    struct Expected {
        AwTexture* texture;
        uint32_t vertices;
    };
    // The third stone source would pass 30,000 vertices in the first stone part.
    const Expected expected[] = {{stone, 9}, {moss, 3}, {stone, 29997}};
    ASSERT_EQ(3, piece->Parts.Count());
    for (int i = 0; i < 3; ++i) {
        const AwMeshPart* part = *piece->Parts.At(i);
        EXPECT_EQ(expected[i].texture, part->Texture) << i;
        EXPECT_EQ(expected[i].vertices, part->VertexCount) << i;
        EXPECT_EQ(part->VertexCount, part->IndexCount) << i;
        EXPECT_EQ(part->VertexCount - 1, part->Indices.back()) << "indices follow the part's own vertices";
        EXPECT_NE(nullptr, part->SharedBuffer) << i;
    }
    EXPECT_EQ(3, piece->TexturesInUse.Count()) << "one reference per part";
    EXPECT_EQ(0.0f, piece->Min.x);
    EXPECT_EQ(30.0f + 2.0f, piece->Max.x);
    for (AwShape* source : sources) source->ReleaseUse();
    piece->ReleaseUse();
    EXPECT_EQ(0, stone->RefCount);
    EXPECT_EQ(0, moss->RefCount);
}

} // namespace
