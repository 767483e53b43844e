#include <gtest/gtest.h>

#include <algorithm>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/global_materials.h"
#include "Awapi/aw3d/render_material.h"
#include "Awapi/aw3d/render_states.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/texture.h"
#include "Awapi/aw3d/user_settings.h"
#include "platform/d3d/null_device.h"
#include "tests/awapi/engine_fixture.h"

using namespace plat;

namespace {

size_t CountStates(const NullBackend& backend, RecordedState::Kind kind, StateOrigin origin) {
    return static_cast<size_t>(std::count_if(backend.States().begin(), backend.States().end(),
                                             [&](const RecordedState& s) { return s.kind == kind && s.origin == origin; }));
}

size_t CountStageState(const NullBackend& backend, uint32_t stage, uint32_t type, uint32_t value) {
    return static_cast<size_t>(std::count_if(backend.States().begin(), backend.States().end(), [&](const RecordedState& s) {
        return s.kind == RecordedState::Kind::TextureStage && s.stage == stage && s.type == type && s.value == value;
    }));
}

} // namespace

TEST_F(EngineTest, SameMaterialTwiceSendsOneStateBlock) {
    RenderMaterial* material = GlobalMaterials[1];
    ASSERT_NE(material->StateBlock, 0u);
    GlobalMaterials[0]->Apply();
    backend->ResetRecords();
    material->Apply();
    const size_t fromBlock = CountStates(*backend, RecordedState::Kind::Render, StateOrigin::StateBlock);
    EXPECT_GT(fromBlock, 0u);
    material->Apply();
    EXPECT_EQ(CountStates(*backend, RecordedState::Kind::Render, StateOrigin::StateBlock), fromBlock);

    // Another caller changes stage 0's texture: the second Apply puts the material's back.
    AwTexture other;
    ASSERT_TRUE(AwSetTexture(&other, 0));
    backend->ResetRecords();
    material->Apply();
    EXPECT_EQ(CountStates(*backend, RecordedState::Kind::Texture, StateOrigin::Direct), 1u);
    EXPECT_EQ(CountStates(*backend, RecordedState::Kind::Render, StateOrigin::StateBlock), 0u);
    // ... and setting the other texture again is sent again.
    EXPECT_TRUE(AwSetTexture(&other, 0));
    EXPECT_EQ(CountStates(*backend, RecordedState::Kind::Texture, StateOrigin::Direct), 2u);
}

TEST_F(EngineTest, SetTextureSkipsRepeatsAndClampsOnce) {
    AwTexture wrapped, clamped, clamped2;
    clamped.Flags = clamped2.Flags = kTextureClamp;
    backend->ResetRecords();
    EXPECT_TRUE(AwSetTexture(&wrapped, 2));
    EXPECT_TRUE(AwSetTexture(&wrapped, 2));
    EXPECT_EQ(CountStates(*backend, RecordedState::Kind::Texture, StateOrigin::Direct), 1u);
    EXPECT_TRUE(AwSetTexture(&clamped, 2));
    EXPECT_TRUE(AwSetTexture(&clamped2, 2));
    EXPECT_EQ(CountStageState(*backend, 2, kTssAddress, kTaddressClamp), 1u);
    EXPECT_EQ(CountStates(*backend, RecordedState::Kind::Texture, StateOrigin::Direct), 3u);
}

TEST_F(EngineTest, FiltersFollowTheDevicesRefusals) {
    // The default null device offers no anisotropic filtering.
    UserSettings.AnisotropicFiltering = 1;
    AwDeviceCaps.MaxAnisotropy = 1;
    AwSetDefaultRenderStates();
    EXPECT_EQ(AwDeviceCaps.MagFilter, kTfgLinear);
    EXPECT_EQ(AwDeviceCaps.MinFilter, kTfnLinear);
    EXPECT_EQ(AwDeviceCaps.MipFilter, kTfpLinear);

    // With the setting off a material asking for anisotropic filters records linear ones.
    UserSettings.AnisotropicFiltering = 0;
    RenderMaterial* material = new RenderMaterial;
    material->Stages[0].MinFilter = kTfnAnisotropic;
    material->Stages[0].MagFilter = kTfgAnisotropic;
    EXPECT_TRUE(material->RecordStateBlock());
    EXPECT_EQ(material->Stages[0].MinFilter, kTfnLinear);
    EXPECT_EQ(material->Stages[0].MagFilter, kTfgLinear);
    material->Release();
}

TEST_F(EngineTest, DefaultRenderStatesEndWithEveryBufferOfTheChainCleared) {
    const struct {
        bool windowed, triple;
        size_t buffers;
    } cases[] = {{true, false, 1}, {false, false, 2}, {false, true, 3}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Start(NullBackend::DefaultFacts(), c.windowed));
        UserSettings.TripleBuffering = c.triple;
        if (c.triple) {
            ASSERT_EQ(AwSetDisplayMode(640, 480, 16, 0), 1);
        }
        backend->ResetRecords();
        AwSetDefaultRenderStates();
        ASSERT_EQ(backend->Clears().size(), c.buffers) << c.buffers << " buffers";
        for (const RecordedClear& clear : backend->Clears()) {
            EXPECT_EQ(clear.flags, kClearTarget | kClearZBuffer);
            EXPECT_EQ(clear.color, 0u);
            EXPECT_EQ(clear.z, 1.0f);
        }
        EXPECT_EQ(backend->Presents(), c.windowed ? 0u : c.buffers) << "a flip after each clear in full screen";
        EXPECT_FALSE(AwDevice.InScene);
    }
}

TEST_F(EngineTest, EightStagesRecordWithoutAStageAfterTheLast) {
    RenderMaterial* material = new RenderMaterial;
    material->StageCount = 8;
    for (TextureStageState& stage : material->Stages) stage.ColorOp = stage.AlphaOp = kTopSelectArg2;
    EXPECT_TRUE(material->RecordStateBlock());
    EXPECT_NE(material->StateBlock, 0u);
    material->Release();
}

TEST_F(EngineTest, GlobalMaterialsCarryTheirVariantsAndStates) {
    EXPECT_EQ(GlobalMaterials[0]->TranslucentVariant, GlobalMaterials[3]);
    EXPECT_EQ(GlobalMaterials[2]->TranslucentVariant, GlobalMaterials[5]);
    EXPECT_EQ(GlobalMaterials[9]->TranslucentVariant, GlobalMaterials[10]);
    EXPECT_EQ(GlobalMaterials[7]->DestBlend, 2);
    EXPECT_EQ(GlobalMaterials[4]->ZWriteEnable, 0);
    EXPECT_EQ(GlobalMaterials[4]->AlphaBlend, 1);
    EXPECT_EQ(GlobalMaterials[8]->Stages[0].MipFilter, kTfpNone);
    EXPECT_EQ(GlobalMaterials[10]->Stages[0].ColorOp, kTopSelectArg2);
    ASSERT_NE(ExtraGlobalMaterial, nullptr);
    EXPECT_EQ(ExtraGlobalMaterial->Stages[0].AlphaOp, kTopSelectArg1);
    for (RenderMaterial* m : GlobalMaterials) EXPECT_NE(m->StateBlock, 0u);
    // Device loss deletes every block; recording brings them back.
    RenderMaterial::DeleteAllStateBlocks();
    EXPECT_EQ(GlobalMaterials[6]->StateBlock, 0u);
    RenderMaterial::RecordAllStateBlocks();
    EXPECT_NE(GlobalMaterials[6]->StateBlock, 0u);
}
