#include <gtest/gtest.h>

#include <string>

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/camera.h"
#include "Awapi/aw3d/global_materials.h"
#include "Awapi/aw3d/render_material.h"
#include "Awapi/aw3d/render_states.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/texture.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/VertBuff/shared_buffers.h"
#include "Awapi/VertBuff/tl_vertex_buffer.h"
#include "Awapi/bounding_box.h"
#include "Awapi/device_loss.h"
#include "Awapi/font.h"
#include "Awapi/frame_render.h"
#include "Awapi/mesh_part.h"
#include "Awapi/overlay2d.h"
#include "Awapi/shape.h"
#include "Awapi/vertex_buffer_pool.h"
#include "core/clock.h"
#include "image/reader_registry.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/directdraw.h"
#include "platform/d3d/surface.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "tests/awapi/scene_fixture.h"
#include "platform/virtual_clock.h"
#include "tests/support/temp_dir.h"

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

// One resource of every kind the device loss takes down: a texture loaded
// from a file, a bounding-box batch, a shared mesh buffer, the spray buffer
// (counted through its hooks), plus the engine's own TL buffer, null texture
// and material state block.
class DeviceLossTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        RegisterImageReaders();
        std::string ppm = "P6\n8 8\n255\n";
        ppm.append(8 * 8 * 3, '\x40');
        ASSERT_TRUE(plat::File::Open(scratch.path() + "/Loss.ppm", plat::kAccessWrite,
                                     plat::FileDisposition::CreateAlways)
                        .Write(ppm.data(), static_cast<uint32_t>(ppm.size())));
        const std::string home = plat::GetCurrentDir();
        ASSERT_TRUE(plat::SetCurrentDir(scratch.path()));
        texture = TextureManager.Get("Loss.ppm", 0);
        TextureManager.LoadPending(AwNoProgress);
        plat::SetCurrentDir(home); // the restore reloads from the recorded directory
        ASSERT_NE(texture->Surface, nullptr);

        box = new AwBoundingBox(Vector3(0, 0, 0), Vector3(1, 1, 1));
        ASSERT_NE(box->Batch->Buffer, nullptr);
        shape->AddMeshPart(3, 3, 0x112, false);
        shape->Parts.Back()->Texture = texture;
        shape->Parts.Back()->AssignVertexBuffer(false);
        ASSERT_NE(MeshBuffer(), nullptr);

        sprayCreated = sprayReleased = 0;
        AwSprayBuffer = {[] { ++sprayCreated; }, [] { ++sprayReleased; }};
    }
    void TearDown() override {
        AwSprayBuffer = {};
        shape->ReleaseUse();
        delete box;
        ReleaseUseCount(texture);
        FrameTest::TearDown();
    }
    plat::VertexBuffer* MeshBuffer() const { return shape->Parts.Back()->SharedBuffer->Buffer; }

    static inline int sprayCreated = 0, sprayReleased = 0;
    TempDir scratch;
    AwTexture* texture = nullptr;
    AwBoundingBox* box = nullptr;
    AwShape* shape = new AwShape;
};

TEST_F(DeviceLossTest, ALostDeviceIsReleasedAndRestoredOnce) {
    AwTLVertexBuffer* shared = AwSharedBuffers.SharedTL;
    ASSERT_NE(shared->Buffer, nullptr);
    RenderMaterial* material = GlobalMaterials[0];
    ASSERT_NE(material->StateBlock, 0u);

    AwDevice.DirectDraw->ForceSurfaceLoss();
    AwReleaseVideoResources();
    EXPECT_FALSE(AwDevice.DeviceReady);
    EXPECT_EQ(texture->Surface, nullptr);
    EXPECT_NE(TextureManager.Find("Loss.ppm"), nullptr) << "the record stays";
    EXPECT_EQ(NullTexture->Surface, nullptr);
    EXPECT_EQ(box->Batch->Buffer, nullptr);
    EXPECT_EQ(MeshBuffer(), nullptr);
    EXPECT_EQ(shared->Buffer, nullptr);
    EXPECT_EQ(shared->Indices, nullptr);
    EXPECT_EQ(sprayReleased, 1);
    EXPECT_EQ(material->StateBlock, 0u);
    AwReleaseVideoResources(); // a second release finds nothing to do
    EXPECT_EQ(sprayReleased, 1);

    EXPECT_EQ(AwRestoreVideoResources(), 1);
    EXPECT_TRUE(AwDevice.DeviceReady);
    EXPECT_NE(AwDevice.PrimarySurface->IsLost(), plat::kDdErrSurfaceLost);
    EXPECT_NE(texture->Surface, nullptr);
    EXPECT_NE(NullTexture->Surface, nullptr);
    EXPECT_NE(box->Batch->Buffer, nullptr);
    EXPECT_NE(MeshBuffer(), nullptr);
    ASSERT_NE(shared->Buffer, nullptr);
    EXPECT_NE(shared->Indices, nullptr);
    EXPECT_EQ(shared->State, AwTLVertexBuffer::kIdle);
    EXPECT_EQ(sprayCreated, 1);
    EXPECT_NE(material->StateBlock, 0u);
    EXPECT_EQ(AwStates.CurrentMaterial, nullptr) << "the next material applies its whole block";

    // A second restore returns at once: nothing is made again.
    const plat::Surface* surface = texture->Surface;
    const plat::VertexBuffer* buffers[] = {box->Batch->Buffer, MeshBuffer(), shared->Buffer};
    const uint32_t block = material->StateBlock;
    EXPECT_EQ(AwRestoreVideoResources(), 1);
    EXPECT_EQ(texture->Surface, surface);
    EXPECT_EQ(box->Batch->Buffer, buffers[0]);
    EXPECT_EQ(MeshBuffer(), buffers[1]);
    EXPECT_EQ(shared->Buffer, buffers[2]);
    EXPECT_EQ(sprayCreated, 1);
    EXPECT_EQ(material->StateBlock, block);
}

// A driver change (release, new DirectDraw, mode, Direct3D) leaves every
// device resource as it was before: the new device restores them itself.
TEST_F(DeviceLossTest, ADriverChangeBringsEveryResourceBack) {
    AwFont font;
    int32_t widths[AwFont::kGlyphs], rows[AwFont::kGlyphs + 1] = {};
    for (int32_t& w : widths) w = 8;
    font.Construct(NullTexture, 16, widths, rows);
    RenderMaterial* own = MakeMaterial();
    ASSERT_NE(font.vertexBuffer.Buffer, nullptr);
    ASSERT_NE(font.material->StateBlock, 0u);
    ASSERT_NE(own->StateBlock, 0u);

    AwReleaseVideoResources();
    AwReleaseDirect3D();
    AwReleaseDirectDraw();
    ASSERT_TRUE(AwCreateDirectDraw(true));
    ASSERT_EQ(AwSetDisplayMode(640, 480, ScreenGeometry.Depth, kDisplayWindowed), 1);
    ASSERT_TRUE(AwCreateDirect3D());

    EXPECT_TRUE(AwDevice.DeviceReady);
    EXPECT_NE(texture->Surface, nullptr) << "textures are loaded again";
    EXPECT_NE(NullTexture->Surface, nullptr);
    EXPECT_NE(box->Batch->Buffer, nullptr);
    EXPECT_NE(MeshBuffer(), nullptr);
    EXPECT_NE(font.vertexBuffer.Buffer, nullptr);
    EXPECT_NE(font.vertexBuffer.Indices, nullptr);
    EXPECT_EQ(font.vertexBuffer.State, AwTLVertexBuffer::kIdle);
    EXPECT_NE(font.material->StateBlock, 0u);
    EXPECT_NE(own->StateBlock, 0u);
    EXPECT_NE(GlobalMaterials[0]->StateBlock, 0u);
    EXPECT_GE(sprayCreated, 1);
    EXPECT_EQ(AwStates.CurrentMaterial, nullptr);
    font.Destroy();
}

TEST_F(FrameTest, RestoringNeedsADevice) {
    AwReleaseVideoResources();
    plat::Device3D* device = AwDevice.Direct3DDevice;
    AwDevice.Direct3DDevice = nullptr;
    EXPECT_EQ(AwRestoreVideoResources(), 0);
    EXPECT_FALSE(AwDevice.DeviceReady);
    AwDevice.Direct3DDevice = device;
    EXPECT_EQ(AwRestoreVideoResources(), 1);
}

TEST_F(FrameTest, OnlySplitDepthCamerasToggleTheirDepthHalf) {
    AwCamera split, plain;
    split.SetSplitDepth(true);
    AwToggleDepthHalves();
    EXPECT_TRUE(split.useSecondary);
    EXPECT_FALSE(plain.useSecondary);
    AwToggleDepthHalves();
    EXPECT_FALSE(split.useSecondary);
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
