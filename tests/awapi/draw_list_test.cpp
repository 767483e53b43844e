#include <gtest/gtest.h>

#include "Awapi/aw3d/render_material.h"
#include "Awapi/aw3d/texture.h"
#include "Awapi/draw_list.h"
#include "Awapi/mesh_part.h"
#include "Awapi/object.h"
#include "Awapi/picking.h"
#include "Awapi/shape.h"
#include "Awapi/texture_list.h"
#include "tests/awapi/scene_fixture.h"

namespace {

struct AwPickContextStub : AwPickContext {
    void OnPick() override {}
};

class DrawListTest : public SceneTest {
protected:
    // An object at height y with one fan of the texture; the test's reference is dropped at tear-down.
    AwObject* Place(float y, AwTexture* texture) {
        AwShape* shape = MakeFanShape(4, texture);
        auto* object = new AwObject(shape, false);
        shape->ReleaseUse();
        object->SetPosition(0.0f, y, 0.0f);
        objects.push_back(object);
        return object;
    }
    void Queue(AwObject* object, RenderMaterial* material, AwDrawFlags flags = kDrawNoCull) {
        object->QueueForDrawing(0, camera, nullptr, material, 0, flags, nullptr, hook, nullptr);
    }
    std::vector<AwObject*> DrawOrder() const {
        std::vector<AwObject*> order;
        for (const DrawRecord& r : hook->records) order.push_back(r.object);
        return order;
    }
    void TearDown() override {
        AwDrawList::Discard();
        for (AwObject* object : objects) object->Release();
        SceneTest::TearDown();
    }

    AwTexture texture, other;
    std::vector<AwObject*> objects;
};

TEST_F(DrawListTest, SortedItemsDrawByDepthKeyNewestFirstOnTies) {
    RenderMaterial* sorted = MakeMaterial(false, true);
    AwObject* deep = Place(5, &texture);
    AwObject* first = Place(2, &texture);
    AwObject* second = Place(2, &texture);
    Queue(deep, sorted);
    Queue(first, sorted);
    Queue(second, sorted);
    ASSERT_EQ(AwDrawList::SortedItems.Count(), 3);
    EXPECT_FLOAT_EQ(AwDrawList::SortedItems.Front()->DepthKey, -5.0f);
    AwDrawList::Render();
    EXPECT_EQ(DrawOrder(), (std::vector<AwObject*>{deep, second, first}));
    EXPECT_TRUE(AwDrawList::SortedItems.IsEmpty());
}

TEST_F(DrawListTest, OpaqueBatchesNewestFirstThenBlendedThenSorted) {
    RenderMaterial* opaqueA = MakeMaterial();
    RenderMaterial* opaqueB = MakeMaterial();
    RenderMaterial* blended = MakeMaterial(true);
    RenderMaterial* sorted = MakeMaterial(false, true);
    AwObject* s = Place(0, &texture);
    AwObject* b = Place(0, &texture);
    AwObject* a1 = Place(0, &texture);
    AwObject* a2 = Place(0, &texture);
    AwObject* late = Place(0, &other);
    Queue(s, sorted);
    Queue(b, blended);
    Queue(a1, opaqueA);
    Queue(a2, opaqueA);
    Queue(late, opaqueB);
    // Same material and texture: one batch, one group, queueing order.
    ASSERT_EQ(AwDrawList::OpaqueBatches.Count(), 2);
    EXPECT_EQ(AwDrawList::OpaqueBatches.Front()->Material, opaqueB);
    const AwDrawBatch* batchA = AwDrawList::OpaqueBatches.Back();
    ASSERT_EQ(batchA->Groups.Count(), 1);
    EXPECT_EQ(batchA->Groups.Front()->Items.Count(), 2);

    AwDrawList::Render();
    EXPECT_EQ(DrawOrder(), (std::vector<AwObject*>{late, a1, a2, b, s}));
    for (const DrawRecord& r : hook->records) EXPECT_EQ(r.draws, 1u);
    EXPECT_EQ(hook->records[0].material, opaqueB);
    EXPECT_EQ(hook->records[3].material, blended);
    EXPECT_TRUE(AwDrawList::OpaqueBatches.IsEmpty());
    EXPECT_TRUE(AwDrawList::BlendedBatches.IsEmpty());
}

TEST_F(DrawListTest, SecondPassDrawsAgainWithoutTexturesOrPicking) {
    RenderMaterial* material = MakeMaterial();
    RenderMaterial* pass = MakeMaterial(true);
    RenderMaterial::Link(material->SecondPass, pass);
    material->RecordStateBlock();
    AwObject* object = Place(0, &texture);
    auto* context = new AwPickContextStub;
    object->QueueForDrawing(0, camera, nullptr, material, 0, kDrawNoCull | kDrawPickable | kDrawPickBox, context, hook,
                            nullptr);
    AwDrawList::Render();
    context->Release();
    ASSERT_EQ(hook->records.size(), 2u);
    EXPECT_EQ(hook->records[0].material, material);
    EXPECT_EQ(hook->records[0].stageTexture, &texture);
    EXPECT_NE(hook->records[0].probeCallback, nullptr);
    EXPECT_EQ(hook->records[1].material, pass);
    EXPECT_NE(hook->records[1].stageTexture, &texture);
    EXPECT_EQ(hook->records[1].probeCallback, nullptr);
    EXPECT_EQ(hook->records[1].draws, 1u);
}

TEST_F(DrawListTest, AlphaTexturesOfATranslucentMaterialGoOnceToTheSortedList) {
    RenderMaterial* material = MakeMaterial();
    RenderMaterial* variant = MakeMaterial(true);
    RenderMaterial::Link(material->TranslucentVariant, variant);
    texture.AlphaBits = other.AlphaBits = 4;
    AwTexture plain;
    // Parts of two alpha textures and one without alpha.
    AwShape* shape = MakeFanShape(4, &texture);
    for (AwTexture* t : {&other, &plain}) {
        shape->AddMeshPart(3, 3, 0x112, true);
        shape->Parts.Back()->Texture = t;
    }
    auto* object = new AwObject(shape, false);
    shape->ReleaseUse();
    objects.push_back(object);
    AwTextureList textures;
    for (AwTexture* t : {&texture, &other}) textures.Add(t);
    object->QueueForDrawing(0, camera, nullptr, material, 0, kDrawNoCull, nullptr, hook, &textures);
    EXPECT_EQ(AwDrawList::SortedItems.Count(), 1);
    ASSERT_EQ(AwDrawList::OpaqueBatches.Count(), 1);
    EXPECT_TRUE(AwDrawList::OpaqueBatches.Front()->Groups.IsEmpty());
    AwDrawList::Render();
    // Drawn once, with the variant, and only its alpha parts.
    ASSERT_EQ(hook->records.size(), 1u);
    EXPECT_EQ(hook->records[0].material, variant);
    EXPECT_EQ(hook->records[0].draws, 2u);
}

TEST_F(DrawListTest, DiscardReleasesEveryItemWithoutDrawing) {
    RenderMaterial* material = MakeMaterial();
    RenderMaterial* sorted = MakeMaterial(false, true);
    AwObject* object = Place(0, &texture);
    Queue(object, nullptr); // no material: not queued
    EXPECT_EQ(object->RefCount, 1);
    Queue(object, material);
    Queue(object, sorted);
    EXPECT_EQ(object->RefCount, 3);
    AwDrawList::Discard();
    EXPECT_EQ(object->RefCount, 1);
    EXPECT_TRUE(hook->records.empty());
    EXPECT_TRUE(backend->Draws().empty());
}

} // namespace
