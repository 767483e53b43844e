#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/render_states.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/camera.h"
#include "Awapi/mesh_part.h"
#include "Awapi/picking.h"
#include "Awapi/shape.h"
#include "platform/d3d/device3d.h"
#include "tests/awapi/scene_fixture.h"

using namespace plat;

namespace {

class ShapeTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        ASSERT_TRUE(Succeeded(AwDevice.Direct3DDevice->BeginScene()));
    }
    void TearDown() override {
        AwDevice.Direct3DDevice->EndScene();
        TextureManager.RemoveUnused();
        SceneTest::TearDown();
    }
    // A texture record of the manager with one reference (the test's).
    AwTexture* Texture(const char* name) { return TextureManager.Get(name, 0); }
};

std::vector<uint16_t> FanIndices(uint32_t vertices, uint32_t indices) {
    AwShape shape;
    const uint16_t* out = shape.AddMeshPart(vertices, indices, 0x112, true);
    return std::vector<uint16_t>(out, out + indices);
}

TEST(ShapeFan, TrianglesShareTheLastVertexWrittenFromTheEnd) {
    EXPECT_EQ(FanIndices(5, 9), (std::vector<uint16_t>{0, 1, 4, 1, 2, 4, 2, 3, 4}));
    EXPECT_EQ(FanIndices(4, 6), (std::vector<uint16_t>{0, 1, 3, 1, 2, 3}));
    // More indices than the fan has triangles: the leading entries stay 0.
    EXPECT_EQ(FanIndices(4, 9), (std::vector<uint16_t>{0, 0, 0, 0, 1, 3, 1, 2, 3}));
    // Counts are 16-bit.
    AwShape shape;
    shape.AddMeshPart(65536 + 3, 65536 + 3, 0x112, false);
    EXPECT_EQ(shape.Parts.Back()->VertexCount, 3u);
    EXPECT_EQ(shape.Parts.Back()->Indices.size(), 3u);
}

TEST_F(ShapeTest, UsesHoldsAndTextureReferences) {
    AwTexture* kept = Texture("kept");
    auto* shape = new AwShape;
    shape->TexturesKept.PushBack(kept);
    ++kept->KeepCount;
    shape->AddTexture(kept);
    EXPECT_EQ(kept->RefCount, 2);

    shape->AddHold();
    EXPECT_EQ(shape->ReleaseUse(), 0);
    // Held, unused: alive without texture references.
    EXPECT_EQ(kept->RefCount, 1);
    EXPECT_EQ(kept->KeepCount, 1);
    EXPECT_TRUE(shape->TexturesInUse.IsEmpty());
    // A new use references every kept texture again.
    EXPECT_EQ(shape->AddUse(), 1);
    EXPECT_EQ(kept->RefCount, 2);
    EXPECT_EQ(shape->ReleaseUse(), 0);
    EXPECT_EQ(shape->ReleaseHold(), 0); // deleted
    EXPECT_EQ(kept->KeepCount, 0);
    EXPECT_EQ(kept->RefCount, 1);

    auto* plain = new AwShape;
    plain->AddTexture(kept);
    EXPECT_EQ(plain->ReleaseUse(), 0);
    EXPECT_EQ(kept->RefCount, 1);
    ReleaseUseCount(kept);
}

TEST_F(ShapeTest, FiltersAndFlagsChooseThePartsAndTheStageTexture) {
    AwTexture opaque, alpha, unused, before;
    alpha.AlphaBits = 8;
    AwShape* shape = MakeFanShape(4, &opaque);
    shape->AddMeshPart(3, 3, 0x112, true);
    shape->Parts.Back()->Texture = &alpha;
    struct Case {
        AwTexture* filter;
        AwDrawFlags flags;
        size_t draws;
        AwTexture* stage; // stage 0 afterwards
    };
    const Case cases[] = {
        {nullptr, 0, 2, &alpha},
        {&unused, 0, 0, &unused},
        {&opaque, 0, 1, &opaque},
        {nullptr, kDrawAlphaPartsOnly, 1, &alpha},
        {nullptr, kDrawNoTextures, 2, &before},
        {&alpha, kDrawNoTextures, 1, &before},
    };
    for (const Case& c : cases) {
        AwSetTexture(&before, 0);
        backend->ResetRecords();
        shape->Draw(camera->world, c.filter, c.flags);
        EXPECT_EQ(backend->Draws().size(), c.draws) << c.flags;
        EXPECT_EQ(AwStates.StageTexture[0], c.stage) << c.flags;
    }
    // Wireframe: each triangle's three edges as a line list.
    backend->ResetRecords();
    shape->Draw(camera->world, &opaque, kDrawWireframe);
    ASSERT_EQ(backend->Draws().size(), 1u);
    EXPECT_EQ(backend->Draws()[0].type, kPtLineList);
    EXPECT_EQ(backend->Draws()[0].indexCount, 12u);
    shape->ReleaseUse();
}

// Parts past 65,535 vertices in all, each larger than the shared pick scratch buffer.
TEST_F(ShapeTest, PickingFindsATriangleBeyondSixteenBitsOfVertices) {
    auto* shape = new AwShape;
    constexpr uint32_t kPartVertices = 40000;
    for (int p = 0; p < 2; ++p) {
        shape->AddMeshPart(kPartVertices, 6, 0x112, false);
        AwMeshPart* part = shape->Parts.Back();
        auto* v = reinterpret_cast<float*>(part->Vertices.data());
        std::fill(v, v + kPartVertices * 8, 500.0f); // beyond the far plane
        // The second part's last three vertices cover the screen centre; both windings are listed.
        if (p == 1) {
            const float tri[3][3] = {{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}};
            for (int k = 0; k < 3; ++k) std::copy(tri[k], tri[k] + 3, v + (kPartVertices - 3 + k) * 8);
        }
        const uint16_t last = kPartVertices - 1;
        part->Indices = {uint16_t(last - 2), uint16_t(last - 1), last, uint16_t(last - 2), last, uint16_t(last - 1)};
    }
    shape->Min = Vector3(-1, -1, -0.1f);
    shape->Max = Vector3(1, 1, 0.1f);
    shape->BuildTriangleData();
    EXPECT_EQ(shape->PickVertexCount, 2 * kPartVertices);
    EXPECT_EQ(shape->PickTriangleCount, 4u);

    struct Hits : AwPickCallback {
        int count = 0;
        void OnPick() override { ++count; }
    } hits;
    AwPickProbe probe;
    probe.callback = &hits;
    probe.UpdatePixelPosition();
    AwPickProbeList::PushBack(&probe);
    AwPickingEnabled = true;
    shape->Draw(camera->world, nullptr, kDrawPickBox);
    EXPECT_EQ(hits.count, 1);
    EXPECT_LT(probe.nearestDepth, kNoPickDepth);
    AwPickProbeList::Remove(&probe);
    shape->ReleaseUse();
}

} // namespace
