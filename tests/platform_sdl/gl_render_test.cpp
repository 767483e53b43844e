// The OpenGL backend draws the scenes; their read-back pixels are compared
// with the colours Direct3D gives.

#include <cmath>

#include "platform/fpu.h"
#include "platform/sdl/gl_backend.h"
#include "platform/sdl/sdl_video.h"
#include "platform/threads.h"
#include "tests/platform_sdl/scenes.h"

using namespace plat;

namespace {

class GlRenderTest : public testing::Test {
protected:
    void SetUp() override {
        if (!StartSdlVideo()) GTEST_SKIP() << "no display can be opened: run the render tests under xvfb-run";
        std::string failure;
        std::shared_ptr<DeviceBackend> backend = CreateGlBackend(&failure);
        ASSERT_TRUE(backend) << failure;
        display.Open(backend);
    }
    void TearDown() override { EXPECT_TRUE(IsGameFpuMode()) << "the backend leaves rounding toward minus infinity on"; }

    void ExpectPixel(uint32_t x, uint32_t y, uint32_t colour, int tolerance = 3) {
        EXPECT_TRUE(SameColour(display.Pixel(x, y), colour, tolerance)) << "at " << x << ", " << y;
    }

    Display display;
};

TEST_F(GlRenderTest, ClearFillsItsRectanglesWithTheColour) {
    ClearScene(display);
    ExpectPixel(0, 0, kBlue, 0);
    ExpectPixel(63, 63, kBlue, 0);
    ExpectPixel(8, 8, kRed, 0);
    ExpectPixel(15, 15, kRed, 0);
    ExpectPixel(16, 16, kBlue, 0);
    ExpectPixel(7, 12, kBlue, 0);
}

TEST_F(GlRenderTest, ATexturedQuadShowsItsTexelsModulatedByTheVertexColour) {
    ModulatedTextureScene(display);
    ExpectPixel(16, 16, 0xFF008000);
    ExpectPixel(48, 16, 0xFF000080);
    ExpectPixel(16, 48, 0xFF800000);
    ExpectPixel(48, 48, 0xFF808080);
}

TEST_F(GlRenderTest, AlphaTestAgainst31DropsATexelOfAlpha30AndKeepsOneOf31) {
    AlphaTestScene(display);
    ExpectPixel(16, 32, kBlack, 0);
    ExpectPixel(48, 32, kWhite);
}

TEST_F(GlRenderTest, SourceAlphaBlendingMixesAsDirect3DDoes) {
    BlendScene(display);
    // 0xFF x 0x80 / 0xFF of red, 0xFF x (1 - 0x80 / 0xFF) of blue.
    ExpectPixel(32, 32, 0xFF80007F, 2);
}

TEST_F(GlRenderTest, VertexLightingFollowsTheDirect3DFormulas) {
    Light7 directional;
    directional.type = kLightDirectional;
    directional.diffuse = {0.5f, 0.25f, 1.0f, 1};
    directional.direction = {0, 0, 1};
    // The engine's point light of range r: attenuation 0.96, 0.2 / r, 6 / r^2.
    // Every corner of the quad is 1.5 from the camera with N.L = 0.5 / 1.5.
    Light7 point;
    point.type = kLightPoint;
    point.diffuse = {1, 1, 1, 1};
    point.range = 10;
    point.attenuation0 = 0.96f, point.attenuation1 = 0.02f, point.attenuation2 = 0.06f;
    const float share = (0.5f / 1.5f) / (0.96f + 0.02f * 1.5f + 0.06f * 1.5f * 1.5f);
    const uint32_t grey = uint32_t(share * 255 + 0.5f);
    Light7 tooShort = point;
    tooShort.range = 1.4f;
    Light7 ambientOnly = point;
    ambientOnly.ambient = {0.25f, 0.25f, 0.25f, 1};
    // A spot light at the camera along its view: the corners lie at
    // rho = 0.5 / 1.5 between cos(phi / 2) and cos(theta / 2).
    Light7 spot = point;
    spot.type = kLightSpot;
    spot.direction = {0, 0, 1};
    spot.theta = 2.0f, spot.phi = 2.5f, spot.falloff = 1;
    const float cone = (0.5f / 1.5f - std::cos(1.25f)) / (std::cos(1.0f) - std::cos(1.25f));
    // Seen from the camera, every corner's half vector makes N.H = 2 / sqrt(6).
    Light7 shiny = directional;
    shiny.specular = {1, 1, 1, 1};
    const uint32_t highlight = uint32_t(std::pow(2 / std::sqrt(6.0f), 4.0f) * 255 + 0.5f);
    struct Case {
        const char* name;
        Light7 light;
        uint32_t ambient;
        float specularPower;
        uint32_t expected;
    };
    const Case cases[] = {
        {"directional light", directional, 0, 0, 0xFF8040FF},
        {"directional light and global ambient", directional, 0xFF202020, 0, 0xFFA060FF},
        {"directional light with a local viewer's highlight", shiny, 0, 4,
         0xFF8040FF + (highlight << 16) + (highlight << 8)},
        {"point light with attenuation", point, 0, 0, 0xFF000000 | grey * 0x10101},
        {"point light out of range lights nothing", tooShort, 0xFF202020, 0, 0xFF202020},
        {"a light's ambient term is attenuated too", ambientOnly, 0, 0,
         0xFF000000 | (grey + uint32_t(0.25f / 1.125f * 255 + 0.5f)) * 0x10101},
        {"spot light inside its penumbra", spot, 0, 0, 0xFF000000 | uint32_t(share * cone * 255 + 0.5f) * 0x10101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LitQuadScene(display, c.light, c.ambient, c.specularPower);
        ExpectPixel(32, 32, c.expected);
        ExpectPixel(2, 61, c.expected);
    }
}

TEST_F(GlRenderTest, VertexColoursServeAsTheDiffuseMaterialOnlyWhileColourVertexIsOn) {
    VertexColourLitScene(display, true);
    ExpectPixel(32, 32, kGreen);
    VertexColourLitScene(display, false);
    ExpectPixel(32, 32, kWhite);
}

TEST_F(GlRenderTest, PreTransformedVerticesAreTexturedPerspectiveCorrectly) {
    PerspectiveScene(display);
    // u reaches 0.5 where 0.25 t / (1 - 0.75 t) = 0.5: at t = 0.8, pixel 51.2.
    // Interpolated on the screen it would be there at pixel 32.
    ExpectPixel(40, 32, kBlack);
    ExpectPixel(50, 32, kBlack);
    ExpectPixel(53, 32, kWhite);
    ExpectPixel(60, 10, kWhite);
}

TEST_F(GlRenderTest, AStencilShadowPassMarksWhereTheVolumesDidNotCancel) {
    StencilScene(display);
    ExpectPixel(8, 32, kRed, 0);    // incremented once
    ExpectPixel(24, 32, kBlack, 0); // incremented and decremented
    ExpectPixel(40, 32, kBlack, 0); // decremented from 0 saturates at 0
    ExpectPixel(56, 32, kBlack, 0); // untouched
}

TEST_F(GlRenderTest, AUserClipPlaneCutsInWorldSpace) {
    ClipPlaneScene(display);
    // World y >= 0.5 is camera y >= 0: the upper half. In object or camera
    // space the cut would lie at a quarter of the height.
    ExpectPixel(32, 4, kGreen, 0);
    ExpectPixel(32, 24, kGreen, 0);
    ExpectPixel(32, 40, kBlack, 0);
    ExpectPixel(32, 60, kBlack, 0);
}

TEST_F(GlRenderTest, AReversedDepthRangeReversesTheDepthTest) {
    ReversedDepthScene(display);
    ExpectPixel(32, 32, kRed, 0);
}

TEST_F(GlRenderTest, PixelCentresLieOnIntegerCoordinates) {
    PixelCentreScene(display);
    ExpectPixel(0, 0, kBlack, 0);
    ExpectPixel(1, 1, kRed, 0);
    ExpectPixel(4, 4, kRed, 0);
    ExpectPixel(5, 5, kBlack, 0);
}

TEST_F(GlRenderTest, TheTextureTransformMovesCoordinatePairsByItsThirdRow) {
    TextureTransformScene(display);
    ExpectPixel(16, 32, kWhite);
    ExpectPixel(48, 32, kBlack);
}

TEST_F(GlRenderTest, CameraSpaceNormalsGenerateTextureCoordinates) {
    NormalTexgenScene(display);
    ExpectPixel(16, 32, kBlack);
    ExpectPixel(48, 32, kWhite);
}

TEST_F(GlRenderTest, ASecondStageBlendsByItsTextureAlphaFromTheSecondCoordinateSet) {
    TwoStageScene(display);
    ExpectPixel(32, 32, 0xFFBF0040);
}

TEST_F(GlRenderTest, WritesToTheTargetsMemoryAreDrawnOverAfterwards) {
    display.Clear(kRed);
    ExpectPixel(40, 32, kRed, 0);
    const BltFx fill{0x0000FF00};
    ASSERT_EQ(display.Target().Blt(nullptr, nullptr, nullptr, kDdBltColorFill, &fill), kDdOk);
    display.Strip(kColouredFvf, Display::Quad(-1, -1, 0, 1, 0.5f, kBlue));
    ExpectPixel(16, 32, kBlue, 0);
    ExpectPixel(40, 32, kGreen, 0);
}

TEST_F(GlRenderTest, TexturesWrittenOnAnotherThreadAndRewrittenLaterAreDrawnAsTheyAreNow) {
    Ref<Surface> texture;
    Thread loader;
    ASSERT_TRUE(loader.Start([&] { texture = display.Texture(1, 1, {kGreen}); }));
    ASSERT_TRUE(loader.Join());
    ASSERT_TRUE(texture);
    ASSERT_EQ(display.Device().SetTexture(0, texture.get()), kDdOk);
    display.Strip(kColouredFvf, Display::Quad(-1, -1, 1, 1, 0.5f, kWhite));
    ExpectPixel(32, 32, kGreen, 0);

    ASSERT_TRUE(loader.Start([&] { Display::Fill(*texture.get(), {kBlue}); }));
    ASSERT_TRUE(loader.Join());
    display.Strip(kColouredFvf, Display::Quad(-1, -1, 1, 1, 0.5f, kWhite));
    ExpectPixel(32, 32, kBlue, 0);
}

} // namespace
