#include "tests/platform_sdl/scenes.h"

using namespace plat;

namespace {

Matrix Translation(float x, float y, float z) {
    Matrix m = IdentityMatrix();
    m.m[3][0] = x, m.m[3][1] = y, m.m[3][2] = z;
    return m;
}

std::vector<ColouredVertex> FullQuad(uint32_t diffuse, float z = 0.5f) { return Display::Quad(-1, -1, 1, 1, z, diffuse); }

void Stage0Texture(Display& d, Surface* texture) { EXPECT_EQ(d.Device().SetTexture(0, texture), kDdOk); }

} // namespace

void ClearScene(Display& d) {
    d.Clear(kBlue);
    const Rect square{8, 8, 16, 16};
    EXPECT_EQ(d.Device().Clear(1, &square, kClearTarget, kRed, 1.0f, 0), kDdOk);
}

void ModulatedTextureScene(Display& d) {
    Ref<Surface> t = d.Texture(2, 2, {kGreen, kBlue, kRed, kWhite});
    Stage0Texture(d, t.get());
    d.Clear(kBlack);
    d.Strip(kColouredFvf, FullQuad(0xFF808080));
}

void AlphaTestScene(Display& d) {
    Ref<Surface> t = d.Texture(2, 1, {0x1EFFFFFF, 0x1FFFFFFF});
    Stage0Texture(d, t.get());
    d.Set(kRsAlphaTestEnable, 1);
    d.Set(kRsAlphaRef, 31);
    d.Set(kRsAlphaFunc, kCmpGreaterEqual);
    d.Clear(kBlack);
    d.Strip(kColouredFvf, FullQuad(kWhite));
}

void BlendScene(Display& d) {
    d.Set(kRsAlphaBlendEnable, 1);
    d.Set(kRsSrcBlend, kBlendSrcAlpha);
    d.Set(kRsDestBlend, kBlendInvSrcAlpha);
    d.Clear(kBlue);
    d.Strip(kColouredFvf, FullQuad(0x80FF0000));
}

void LitQuadScene(Display& d, const Light7& light, uint32_t ambient, float specularPower) {
    Material7 white;
    white.diffuse = {1, 1, 1, 1};
    white.ambient = {1, 1, 1, 1};
    white.specular = {1, 1, 1, 1};
    white.power = specularPower;
    EXPECT_EQ(d.Device().SetMaterial(white), kDdOk);
    EXPECT_EQ(d.Device().SetLight(0, light), kDdOk);
    EXPECT_EQ(d.Device().LightEnable(0, true), kDdOk);
    d.Set(kRsLighting, 1);
    d.Set(kRsAmbient, ambient);
    d.Set(kRsSpecularEnable, specularPower > 0);
    d.Clear(kBlack);
    const std::vector<LitVertex> quad = {{-1, 1, 0.5f, 0, 0, -1, 0, 0},
                                         {1, 1, 0.5f, 0, 0, -1, 1, 0},
                                         {-1, -1, 0.5f, 0, 0, -1, 0, 1},
                                         {1, -1, 0.5f, 0, 0, -1, 1, 1}};
    d.Strip(kLitFvf, quad);
}

void VertexColourLitScene(Display& d, bool colourVertex) {
    Material7 white;
    white.diffuse = {1, 1, 1, 1};
    EXPECT_EQ(d.Device().SetMaterial(white), kDdOk);
    Light7 light;
    light.type = kLightDirectional;
    light.diffuse = {1, 1, 1, 1};
    light.direction = {0, 0, 1};
    EXPECT_EQ(d.Device().SetLight(0, light), kDdOk);
    EXPECT_EQ(d.Device().LightEnable(0, true), kDdOk);
    d.Set(kRsLighting, 1);
    d.Set(kRsColorVertex, colourVertex);
    d.Set(kRsDiffuseMaterialSource, kMcsColor1);
    d.Clear(kBlack);
    const std::vector<LitColouredVertex> quad = {{-1, 1, 0.5f, 0, 0, -1, kGreen},
                                                 {1, 1, 0.5f, 0, 0, -1, kGreen},
                                                 {-1, -1, 0.5f, 0, 0, -1, kGreen},
                                                 {1, -1, 0.5f, 0, 0, -1, kGreen}};
    d.Strip(kLitColouredFvf, quad);
}

void PerspectiveScene(Display& d) {
    Ref<Surface> t = d.Texture(2, 1, {kBlack, kWhite});
    Stage0Texture(d, t.get());
    d.SetStage(0, kTssAddress, kTaddressClamp);
    d.Clear(kRed);
    const float s = float(kSide);
    const std::vector<ScreenVertex> quad = {{0, 0, 0.5f, 1, kWhite, 0, 0, 0},
                                            {s, 0, 0.5f, 0.25f, kWhite, 0, 1, 0},
                                            {0, s, 0.5f, 1, kWhite, 0, 0, 1},
                                            {s, s, 0.5f, 0.25f, kWhite, 0, 1, 1}};
    d.Strip(kScreenFvf, quad);
}

void StencilScene(Display& d) {
    d.Clear(kBlack);
    // The volumes only touch the stencil: colour is kept by a zero / one blend.
    d.Set(kRsStencilEnable, 1);
    d.Set(kRsStencilFunc, kCmpAlways);
    d.Set(kRsAlphaBlendEnable, 1);
    d.Set(kRsSrcBlend, kBlendZero);
    d.Set(kRsDestBlend, kBlendOne);
    d.Set(kRsStencilPass, kStencilOpIncr);
    d.Strip(kScreenFvf, Display::ScreenQuad(0, 0, 32, float(kSide), 0.5f, kWhite));
    d.Set(kRsStencilPass, kStencilOpDecrSat);
    d.Strip(kScreenFvf, Display::ScreenQuad(16, 0, 48, float(kSide), 0.5f, kWhite));
    d.Set(kRsAlphaBlendEnable, 0);
    d.Set(kRsStencilFunc, kCmpNotEqual);
    d.Set(kRsStencilRef, 0);
    d.Set(kRsStencilPass, kStencilOpKeep);
    d.Strip(kScreenFvf, Display::ScreenQuad(0, 0, float(kSide), float(kSide), 0.5f, kRed));
}

void ClipPlaneScene(Display& d) {
    EXPECT_EQ(d.Device().SetTransform(kTransformWorld, Translation(0, 0.5f, 0)), kDdOk);
    EXPECT_EQ(d.Device().SetTransform(kTransformView, Translation(0, -0.5f, 0)), kDdOk);
    const float plane[4] = {0, 1, 0, -0.5f};
    EXPECT_EQ(d.Device().SetClipPlane(0, plane), kDdOk);
    d.Set(kRsClipPlaneEnable, 1);
    d.Clear(kBlack);
    d.Strip(kColouredFvf, FullQuad(kGreen));
}

void ReversedDepthScene(Display& d) {
    EXPECT_EQ(d.Device().SetViewport({0, 0, kSide, kSide, 1.0f, 0.0f}), kDdOk);
    d.Set(kRsZEnable, kZbTrue);
    d.Set(kRsZFunc, kCmpGreaterEqual);
    d.Clear(kBlack, kClearTarget | kClearZBuffer, 0.0f);
    d.Strip(kColouredFvf, FullQuad(kRed, 0.2f));
    d.Strip(kColouredFvf, FullQuad(kGreen, 0.8f));
}

void PixelCentreScene(Display& d) {
    d.Clear(kBlack);
    d.Strip(kScreenFvf, Display::ScreenQuad(0.5f, 0.5f, 4.5f, 4.5f, 0.5f, kRed));
}

void TextureTransformScene(Display& d) {
    Ref<Surface> t = d.Texture(2, 1, {kBlack, kWhite});
    Stage0Texture(d, t.get());
    Matrix shift = IdentityMatrix();
    shift.m[2][0] = 0.5f; // a coordinate pair's translation sits in the third row
    EXPECT_EQ(d.Device().SetTransform(kTransformTexture0, shift), kDdOk);
    d.SetStage(0, kTssTextureTransformFlags, kTtffCount2);
    d.Clear(kRed);
    d.Strip(kColouredFvf, FullQuad(kWhite));
}

void NormalTexgenScene(Display& d) {
    Ref<Surface> t = d.Texture(2, 1, {kBlack, kWhite});
    Stage0Texture(d, t.get());
    d.SetStage(0, kTssAddress, kTaddressClamp);
    d.SetStage(0, kTssTexCoordIndex, kTciCameraSpaceNormal);
    // Normal x in -1..1 to u in 0..1 (generated coordinates translate by the fourth row).
    Matrix toUnit = IdentityMatrix();
    toUnit.m[0][0] = toUnit.m[1][1] = 0.5f;
    toUnit.m[3][0] = toUnit.m[3][1] = 0.5f;
    EXPECT_EQ(d.Device().SetTransform(kTransformTexture0, toUnit), kDdOk);
    d.SetStage(0, kTssTextureTransformFlags, kTtffCount2);
    d.Clear(kRed);
    for (const float nx : {-0.6f, 0.6f}) {
        const float x0 = nx < 0 ? -1.0f : 0.0f, x1 = x0 + 1;
        const std::vector<LitVertex> quad = {{x0, 1, 0.5f, nx, 0, -0.8f, 0, 0},
                                             {x1, 1, 0.5f, nx, 0, -0.8f, 0, 0},
                                             {x0, -1, 0.5f, nx, 0, -0.8f, 0, 0},
                                             {x1, -1, 0.5f, nx, 0, -0.8f, 0, 0}};
        d.Strip(kLitFvf, quad);
    }
}

void TwoStageScene(Display& d) {
    Ref<Surface> red = d.Texture(1, 1, {kRed});
    Ref<Surface> blue = d.Texture(1, 1, {0x400000FF});
    Stage0Texture(d, red.get());
    EXPECT_EQ(d.Device().SetTexture(1, blue.get()), kDdOk);
    d.SetStage(1, kTssColorOp, kTopBlendTextureAlpha);
    d.SetStage(1, kTssColorArg1, kTaTexture);
    d.SetStage(1, kTssColorArg2, kTaCurrent);
    d.SetStage(1, kTssAlphaOp, kTopSelectArg2);
    d.SetStage(1, kTssAlphaArg2, kTaCurrent);
    d.SetStage(1, kTssTexCoordIndex, 1);
    d.Clear(kBlack);
    const std::vector<TwoPairVertex> quad = {{-1, 1, 0.5f, kWhite, 0, 0, 0, 0},
                                             {1, 1, 0.5f, kWhite, 0, 0, 0, 0},
                                             {-1, -1, 0.5f, kWhite, 0, 0, 0, 0},
                                             {1, -1, 0.5f, kWhite, 0, 0, 0, 0}};
    d.Strip(kTwoPairFvf, quad);
}

const std::vector<SceneEntry>& AllScenes() {
    static const std::vector<SceneEntry> scenes = {
        {"clear", ClearScene, 0},
        {"modulated texture", ModulatedTextureScene, 1},
        {"alpha test", AlphaTestScene, 1},
        {"blend", BlendScene, 1},
        {"lit quad", [](Display& d) { LitQuadScene(d, Light7{}, 0, 4); }, 1},
        {"vertex colour lit", [](Display& d) { VertexColourLitScene(d, true); }, 1},
        {"perspective", PerspectiveScene, 1},
        {"stencil", StencilScene, 3},
        {"clip plane", ClipPlaneScene, 1},
        {"reversed depth", ReversedDepthScene, 2},
        {"pixel centre", PixelCentreScene, 1},
        {"texture transform", TextureTransformScene, 1},
        {"normal texgen", NormalTexgenScene, 2},
        {"two stages", TwoStageScene, 1},
    };
    return scenes;
}
