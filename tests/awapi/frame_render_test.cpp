#include <gtest/gtest.h>

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/camera.h"
#include "Awapi/aw3d/global_materials.h"
#include "Awapi/aw3d/render_material.h"
#include "Awapi/aw3d/render_states.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/texture.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/VertBuff/shared_buffers.h"
#include "Awapi/VertBuff/tl_vertex_buffer.h"
#include "Awapi/device_loss.h"
#include "Awapi/font.h"
#include "Awapi/frame_render.h"
#include "Awapi/overlay2d.h"
#include "core/clock.h"
#include "platform/d3d/directdraw.h"
#include "platform/d3d/surface.h"
#include "tests/awapi/scene_fixture.h"
#include "platform/virtual_clock.h"

namespace {

class FrameTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        ScreenGeometry.Destination = {0, 0, 640, 480};
        AwRestoreVideoResources();
        ASSERT_TRUE(AwDevice.DeviceReady);
    }
    plat::VirtualClock clock{0}; // the real clock stands still unless advanced
};

void DrawOneLine() {
    AwDrawWhiteLine(10, 10, 100, 100);
    AwFlushPrimitives();
}

TEST_F(FrameTest, AFrameDrawsTheOverlaysAroundTheParticlesThenTextAndPresents) {
    AwTexture* texture = TextureManager.Get("frametest-font", 0);
    int32_t widths[AwFont::kGlyphs], rows[AwFont::kGlyphs + 1];
    for (int i = 0; i < AwFont::kGlyphs; ++i) widths[i] = 8;
    for (int i = 0; i <= AwFont::kGlyphs; ++i) rows[i] = i / 20;
    AwFont font;
    font.Construct(texture, 16, widths, rows);
    font.QueueText({0, 0, 1, 1}, "hi", 0xFFFFFFFFu, camera, 10, 0, 0, nullptr, 0);

    const uint32_t presents = backend->Presents();
    const uint32_t frames = FrameCounter;
    AwRenderFrame(camera, &DrawOneLine, nullptr);
    EXPECT_EQ(backend->Presents(), presents + 1);
    EXPECT_EQ(FrameCounter, frames + 1);
    EXPECT_FALSE(AwDevice.InScene);
    EXPECT_EQ(AwCurrentCamera, camera);
    ASSERT_EQ(backend->Draws().size(), 2u);
    EXPECT_EQ(backend->Draws()[0].type, plat::kPtLineList);
    EXPECT_EQ(backend->Draws()[1].indexCount, 12u) << "the text, after the overlay";
    EXPECT_TRUE(font.queue.IsEmpty());
    font.Destroy();
    ReleaseUseCount(texture);
}

TEST_F(FrameTest, TheFrameClockNeverReportsZero) {
    AwRenderFrame(camera, nullptr, nullptr);
    AwRenderFrame(camera, nullptr, nullptr);
    EXPECT_EQ(LastFrameTicks, 1u);
    clock.Advance(plat::VirtualClock::kMillisecond * 100);
    AwRenderFrame(camera, nullptr, nullptr);
    EXPECT_GT(LastFrameTicks, 1u);
}

TEST_F(FrameTest, NothingIsDrawnWhileTheResourcesAreReleased) {
    AwRenderFrame(camera, nullptr, nullptr);
    AwReleaseVideoResources();
    const uint32_t presents = backend->Presents();
    const uint32_t frames = FrameCounter, ticks = LastFrameTicks;
    bool called = false;
    static bool* seen;
    seen = &called;
    AwRenderFrame(camera, [] { *seen = true; }, nullptr);
    EXPECT_EQ(backend->Presents(), presents);
    EXPECT_EQ(FrameCounter, frames);
    EXPECT_EQ(LastFrameTicks, ticks);
    EXPECT_FALSE(called);
}

TEST_F(FrameTest, ALostDeviceIsReleasedAndRestoredOnce) {
    AwTLVertexBuffer* shared = AwSharedBuffers.SharedTL;
    ASSERT_NE(shared->Buffer, nullptr);
    RenderMaterial* material = GlobalMaterials[0];
    ASSERT_NE(material->StateBlock, 0u);

    AwDevice.DirectDraw->ForceSurfaceLoss();
    AwReleaseVideoResources();
    EXPECT_FALSE(AwDevice.DeviceReady);
    EXPECT_EQ(shared->Buffer, nullptr);
    EXPECT_EQ(NullTexture->Surface, nullptr);
    EXPECT_EQ(material->StateBlock, 0u);
    AwReleaseVideoResources(); // a second release finds nothing to do

    EXPECT_EQ(AwRestoreVideoResources(), 1);
    EXPECT_TRUE(AwDevice.DeviceReady);
    EXPECT_NE(AwDevice.PrimarySurface->IsLost(), plat::kDdErrSurfaceLost);
    ASSERT_NE(shared->Buffer, nullptr);
    EXPECT_EQ(shared->State, AwTLVertexBuffer::kIdle);
    EXPECT_NE(NullTexture->Surface, nullptr);
    EXPECT_NE(material->StateBlock, 0u);
    EXPECT_EQ(AwStates.CurrentMaterial, nullptr) << "the next material applies its whole block";

    const plat::VertexBuffer* buffer = shared->Buffer;
    const uint32_t block = material->StateBlock;
    EXPECT_EQ(AwRestoreVideoResources(), 1);
    EXPECT_EQ(shared->Buffer, buffer);
    EXPECT_EQ(material->StateBlock, block);
}

TEST_F(FrameTest, ClearingUsesTheClearColourAndEveryBufferOfTheChain) {
    AwClearColour = 0xFF102030u;
    AwClear();
    ASSERT_FALSE(backend->Clears().empty());
    EXPECT_EQ(backend->Clears().back().color, 0xFF102030u);
    const size_t before = backend->Clears().size();
    AwClearAllBuffers();
    EXPECT_EQ(backend->Clears().size(), before + 1) << "one buffer in a window";
    AwClearColour = 0;
}

} // namespace
