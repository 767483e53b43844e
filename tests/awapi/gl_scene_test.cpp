// A lit, textured primitive shape drawn through a placed object and the draw
// list on the OpenGL backend, read back from the back buffer. Skipped where
// no display can be opened (run under xvfb-run).

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/render_material.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/aw3d/user_settings.h"
#include "Awapi/camera.h"
#include "Awapi/draw_list.h"
#include "Awapi/light_set.h"
#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "image/reader_registry.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/surface.h"
#include "platform/d3d/video_backend.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/sdl/gl_backend.h"
#include "tests/support/temp_dir.h"

using namespace plat;

namespace {

constexpr uint32_t kClearColour = 0xFF000040;

class GlSceneTest : public testing::Test {
protected:
    void SetUp() override {
        std::string failure;
        std::shared_ptr<DeviceBackend> backend = CreateGlBackend(&failure);
        if (!backend) GTEST_SKIP() << "no OpenGL display (" << failure << "): run under xvfb-run";
        UserSettings = AwUserSettings();
        ScreenGeometry = AwScreenGeometry();
        ScreenGeometry.DisplayFlags = kDisplayWindowed;
        InstallVideoBackend(backend);
        AwStartupRecord record;
        record.Instance = record.Window = &fakeWindow;
        ASSERT_TRUE(AwStartup(record));
        started = true;
        // 640 x 480 where the display offers it, else the display's first mode.
        if (!AwIsDisplayModeAvailable(width, height, ScreenGeometry.Depth, kDisplayWindowed)) {
            ASSERT_FALSE(AwDevice.DisplayModeList.empty());
            width = AwDevice.DisplayModeList.front().width;
            height = AwDevice.DisplayModeList.front().height;
        }
        ASSERT_GT(AwSetDisplayMode(width, height, ScreenGeometry.Depth, kDisplayWindowed), 0);
        ASSERT_TRUE(AwCreateDirect3D());
        RegisterImageReaders();
        home = GetCurrentDir();
        const std::string& dir = scratch.path();
        std::string ppm = "P6\n64 64\n255\n";
        for (int i = 0; i < 64 * 64; ++i) ppm += std::string("\x00\xFF\x00", 3); // green
        File file = File::Open(dir + "/Green.ppm", kAccessWrite, FileDisposition::CreateAlways);
        ASSERT_TRUE(file.Write(ppm.data(), static_cast<uint32_t>(ppm.size())));
        ASSERT_TRUE(SetCurrentDir(dir));
    }
    void TearDown() override {
        if (!started) return;
        SetCurrentDir(home);
        AwDrawList::Discard();
        AwCurrentCamera = nullptr;
        AwShutdown();
        AwDeviceCaps.Reset();
    }

    uint32_t BackPixel(uint32_t x, uint32_t y) {
        SurfaceDesc desc;
        Surface* back = AwDevice.BackSurface;
        if (Failed(back->Lock(nullptr, &desc, 0x1))) return 0;
        uint32_t pixel = 0;
        std::memcpy(&pixel, desc.surface + y * desc.pitch + x * 4, 4);
        back->Unlock(nullptr);
        return pixel | 0xFF000000u;
    }

    int fakeWindow = 0;
    uint32_t width = 640, height = 480;
    bool started = false;
    TempDir scratch;
    std::string home;
};

TEST_F(GlSceneTest, ALitTexturedQuadDrawsThroughItsObjectAndTheDrawList) {
    AwTexture* texture = TextureManager.Get("Green.ppm", 0);
    TextureManager.LoadPending(AwNoProgress);
    ASSERT_NE(texture->Surface, nullptr);

    AwPrimitiveDesc desc;
    desc.type = 1;
    desc.a = desc.b = 1024;
    desc.texture = texture;
    AwShape* shape = AwShape::ConstructPrimitive(desc);
    auto* object = new AwObject(shape, true);
    shape->ReleaseUse();
    object->SetPosition(-0.5f, -0.5f, 0.0f);

    AwCamera camera;
    const float w = 1.0f, h = 0.75f;
    camera.SetViewportSize(w, h);
    camera.position = Vector3(0, 0, -10);
    camera.viewDirty = camera.dirty = true;

    auto* lights = new AwLightSet;
    lights->SetAmbient(Colour::FromFloats(0, 0, 0, 1));
    lights->AddDirectionalLight(Colour::FromFloats(0.5f, 0.5f, 0.5f, 1), Colour::FromFloats(0, 0, 0, 1),
                                Vector3(0, 0, 1));

    auto* material = new RenderMaterial;
    TextureStageState& stage = material->Stages[0];
    stage.ColorOp = kTopModulate;
    stage.ColorArg1 = kTaTexture;
    stage.ColorArg2 = kTaDiffuse;
    stage.AlphaOp = kTopSelectArg1;
    stage.AlphaArg1 = kTaDiffuse;
    material->RecordStateBlock();

    ASSERT_TRUE(Succeeded(AwDevice.Direct3DDevice->BeginScene()));
    AwDevice.InScene = true;
    camera.Update();
    camera.ApplyViewport();
    AwDevice.Direct3DDevice->Clear(0, nullptr, kClearTarget | kClearZBuffer, kClearColour, 1.0f, 0);
    EXPECT_EQ(object->QueueForDrawing(0, &camera, lights, material, 0, 0, nullptr, nullptr, nullptr), 1);
    AwDrawList::Render();
    ASSERT_TRUE(Succeeded(AwDevice.Direct3DDevice->EndScene()));
    AwDevice.InScene = false;

    // Green texels lit at half strength; the clear colour around the quad.
    const uint32_t centre = BackPixel(width / 2, height / 2);
    EXPECT_NEAR(static_cast<int>((centre >> 8) & 0xFF), 0x80, 3) << std::hex << centre;
    EXPECT_EQ(centre & 0xFF00FF, 0u) << std::hex << centre;
    EXPECT_EQ(BackPixel(5, 5), kClearColour);

    object->Release();
    lights->Release();
    material->Release();
    ReleaseUseCount(texture);
}

} // namespace
