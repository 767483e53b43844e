#include <gtest/gtest.h>

#include <cstring>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/texture.h"
#include "Awapi/bounding_box.h"
#include "Awapi/draw_list.h"
#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "platform/d3d/device3d.h"
#include "tests/awapi/scene_fixture.h"

using namespace plat;

namespace {

class ObjectTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        ASSERT_TRUE(Succeeded(AwDevice.Direct3DDevice->BeginScene()));
        shape = MakeFanShape(4, &texture);
        shape->Flags = 0;
    }
    void TearDown() override {
        AwDevice.Direct3DDevice->EndScene();
        shape->ReleaseUse();
        FrameCounter = 1;
        SceneTest::TearDown();
    }
    // A node at the position with its own shape and box, appended to the parent.
    AwShapeInstance* AddNode(AwShapeInstance* parent, const char* name, float x) {
        auto* node = new AwShapeInstance(shape, true);
        node->Name = name;
        node->SetPosition(x, 0.0f, 0.0f);
        parent->AddChild(node);
        return node;
    }
    size_t DrawsOf(AwObject* object, AwDrawFlags flags, int32_t slot = 0) {
        backend->ResetRecords();
        object->Draw(0, slot, flags, nullptr);
        return backend->Draws().size();
    }

    AwTexture texture;
    AwShape* shape = nullptr;
};

TEST_F(ObjectTest, DrawingTwiceInAFrameReusesTheWorldMatrices) {
    auto* object = new AwObject(shape, true);
    object->SetPosition(0.0f, 0.0f, 0.0f);
    EXPECT_EQ(DrawsOf(object, 0), 1u);
    const float first = object->Root->WorldMatrix.m[3][0];
    object->SetPosition(1.0f, 0.0f, 0.0f);
    DrawsOf(object, 0);
    EXPECT_EQ(object->Root->WorldMatrix.m[3][0], first);
    DrawsOf(object, kDrawForceWorldMatrix);
    EXPECT_EQ(object->Root->WorldMatrix.m[3][0], 1.0f);
    object->SetPosition(2.0f, 0.0f, 0.0f);
    ++FrameCounter;
    DrawsOf(object, 0);
    EXPECT_EQ(object->Root->WorldMatrix.m[3][0], 2.0f);
    object->Release();
}

TEST_F(ObjectTest, SpheresOutsideTheFrustumAreCulled) {
    auto* object = new AwObject(shape, true);
    object->SetPosition(0.0f, 0.0f, 200.0f); // beyond the far plane
    AwShapeInstance* child = AddNode(object->Root, "child", 0.0f);
    EXPECT_EQ(DrawsOf(object, 0), 0u);
    EXPECT_EQ(DrawsOf(object, kDrawNoCull), 2u);
    // Cull done: the object and its root skip their tests, the child tests its own box.
    EXPECT_EQ(DrawsOf(object, kDrawCullDone), 1u);
    EXPECT_EQ(child->Culled, static_cast<uint32_t>(kOutsideFar));
    // In view, but scaled so wide that the child's sphere spans the screen.
    object->SetPosition(0.0f, 0.0f, 0.0f);
    child->SetPosition(-9.0f, 0.0f, 0.0f);
    object->Root->FrameStamp = 0;
    child->FrameStamp = 0;
    EXPECT_EQ(DrawsOf(object, 0), 1u);
    object->ClearFlagBit31();
    object->SetScale(Vector3(8, 1, 1));
    child->FrameStamp = 0;
    EXPECT_EQ(DrawsOf(object, 0), 2u);
    EXPECT_EQ(DrawsOf(object, kDrawCulled), 0u);
    object->Release();
}

TEST_F(ObjectTest, TreeQueriesByName) {
    auto* object = new AwObject(shape, false);
    AwShapeInstance* arm = AddNode(object->Root, "Arm", 2.0f);
    AwShapeInstance* hand = AddNode(arm, "Hand", 3.0f);
    object->Root->SetPosition(1.0f, 0.0f, 0.0f);
    // The root has no name, so it answers any name.
    EXPECT_EQ(object->Root->FindByName("hand"), object->Root);
    EXPECT_EQ(arm->FindByName("HAND"), hand);
    EXPECT_EQ(arm->FindByName("Arm"), arm);
    object->Root->Name = "Body";
    EXPECT_EQ(object->Root->FindByName("hand"), hand);
    EXPECT_EQ(object->Root->FindByName("foot"), nullptr);

    Vector3 at(0, 0, 0);
    ASSERT_TRUE(object->GetSubShapePosition(at, "HAND", 0));
    EXPECT_EQ(at.x, 6.0f);
    Matrix34 m;
    ASSERT_TRUE(object->Root->GetMatrixOf(m, hand, 0));
    EXPECT_EQ(m.m[3], 6.0f);
    EXPECT_FALSE(object->GetSubShapePosition(at, "foot", 0));
    EXPECT_FALSE(object->GetSubShapePosition(at, nullptr, 0));

    // Replacing the arm's shape collects its textures; the arm's children are not searched.
    AwTexture other;
    AwShape* replacement = MakeFanShape(3, &other);
    object->ReplaceSubShape(replacement, "arm");
    EXPECT_EQ(arm->Slots[9], replacement);
    EXPECT_EQ(replacement->UseCount.load(), 11);
    EXPECT_TRUE(object->Textures.Contains(&other));
    EXPECT_TRUE(object->Textures.Contains(&texture));

    object->DeleteSubShape("hand");
    EXPECT_TRUE(arm->Children.IsEmpty());
    object->DeleteSubShape("body");
    EXPECT_EQ(object->Root, nullptr);
    EXPECT_EQ(replacement->UseCount.load(), 1);
    EXPECT_EQ(DrawsOf(object, kDrawNoCull), 0u);
    EXPECT_FALSE(object->GetSubShapePosition(at, "arm", 0));
    replacement->ReleaseUse();
    object->Release();
}

TEST_F(ObjectTest, SlotsAndQueuedDepthKey) {
    auto* node = new AwShapeInstance(nullptr, false);
    node->NodeFlags = 0;
    AwShape* second = MakeFanShape(5, &texture);
    node->ReplaceShape(shape, nullptr); // unnamed nodes never match
    EXPECT_EQ(node->Slots[0], nullptr);
    node->Name = "n";
    node->ReplaceShape(second, "N");
    second->ReleaseUse();
    auto* object = new AwObject(node, false);
    EXPECT_EQ(object->Description, "Made from an AwObject");
    EXPECT_EQ(DrawsOf(object, kDrawNoCull, 3), 1u);
    EXPECT_EQ(backend->Draws()[0].vertexCount, 5u);
    EXPECT_EQ(DrawsOf(object, kDrawNoCull, 12), 0u); // no such slot

    // A node made from a shape draws slot 0 whatever slot is asked.
    auto* single = new AwObject(shape, false);
    EXPECT_EQ(single->Description, "Made from an AwShape");
    EXPECT_EQ(DrawsOf(single, kDrawNoCull, 7), 1u);
    single->SetPosition(0.0f, 10.0f, 0.0f);
    RenderMaterial* sorted = MakeMaterial(false, true);
    EXPECT_EQ(single->QueueForDrawing(0, camera, nullptr, sorted, 0, 0, nullptr, nullptr, nullptr), 1);
    ASSERT_FALSE(AwDrawList::SortedItems.IsEmpty());
    EXPECT_EQ(AwDrawList::SortedItems.Front()->DepthKey, -10.0f);
    AwDrawList::Discard();
    single->Release();
    object->Release();
}

} // namespace
