#include <vector>

#include "platform/d3d/d3dmath.h"
#include "tests/platform/d3d_fixture.h"

using namespace plat;

namespace {

class DeviceTest : public D3dTest {
protected:
    void SetUp() override {
        D3dTest::SetUp();
        MakeDevice();
        backend->ResetRecords();
    }
    Ref<Surface> Texture() {
        const PixelFormat f = Rgb565Format();
        Ref<Surface> t;
        EXPECT_EQ(Create(kDdsCapsTexture | kDdsCapsVideoMemory, 8, 8, &f, t), kDdOk);
        return t;
    }
};

class LimitedDeviceTest : public DeviceTest {
protected:
    BackendFacts Facts() override {
        BackendFacts facts = NullBackend::DefaultFacts();
        facts.limits.maxAnisotropy = 0;
        facts.limits.textureStages = 1;
        facts.limits.maxUserClipPlanes = 0;
        facts.limits.stencil = false;
        return facts;
    }
};

class AnisotropicDeviceTest : public DeviceTest {
protected:
    BackendFacts Facts() override {
        BackendFacts facts = NullBackend::DefaultFacts();
        facts.limits.maxAnisotropy = 4;
        return facts;
    }
};

TEST_F(LimitedDeviceTest, ValuesTheCapsDoNotOfferAreRefusedSoCallersCanFallBack) {
    EXPECT_EQ(device->SetTextureStageState(0, kTssMagFilter, kTfgAnisotropic), kD3dErrUnsupportedTextureFilter);
    EXPECT_EQ(device->SetTextureStageState(0, kTssMinFilter, kTfnAnisotropic), kD3dErrUnsupportedTextureFilter);
    EXPECT_EQ(device->SetTextureStageState(0, kTssMagFilter, kTfgLinear), kDdOk);
    EXPECT_EQ(device->SetTextureStageState(0, kTssMipFilter, kTfpLinear), kDdOk);
    EXPECT_EQ(device->SetTextureStageState(0, kTssMaxAnisotropy, 4), kDdErrUnsupported);
    EXPECT_EQ(device->SetRenderState(kRsStencilEnable, 1), kDdErrUnsupported);
    EXPECT_EQ(device->SetRenderState(kRsStencilEnable, 0), kDdOk);
    EXPECT_EQ(device->SetRenderState(kRsClipPlaneEnable, 1), kDdErrUnsupported);
    const float plane[4] = {0, 1, 0, -2};
    EXPECT_EQ(device->SetClipPlane(0, plane), kDdErrInvalidParams);
    // Refused values change nothing.
    EXPECT_EQ(device->State().stageStates[0][kTssMagFilter], kTfgLinear);
    EXPECT_EQ(backend->States().size(), 3u);
}

TEST_F(AnisotropicDeviceTest, AnisotropicFilteringIsTakenWhereOffered) {
    EXPECT_EQ(device->SetTextureStageState(0, kTssMaxAnisotropy, 4), kDdOk);
    EXPECT_EQ(device->SetTextureStageState(0, kTssMagFilter, kTfgAnisotropic), kDdOk);
    EXPECT_EQ(device->SetTextureStageState(7, kTssMinFilter, kTfnAnisotropic), kDdOk);
}

TEST_F(DeviceTest, StatesOutsideTheirRangeAreWrongArguments) {
    struct Case {
        RenderState state;
        uint32_t value;
    };
    for (const Case c : {Case{kRsZFunc, 0}, Case{kRsZFunc, 9}, Case{kRsCullMode, 4}, Case{kRsSrcBlend, 14},
                         Case{kRsStencilPass, 9}, Case{RenderState(3), 0}, Case{RenderState(500), 0}})
        EXPECT_EQ(device->SetRenderState(c.state, c.value), kDdErrInvalidParams) << c.state << " = " << c.value;
    EXPECT_EQ(device->SetTextureStageState(8, kTssColorOp, kTopModulate), kDdErrInvalidParams);
    EXPECT_EQ(device->SetTextureStageState(0, kTssColorOp, 25), kDdErrInvalidParams);
    EXPECT_EQ(device->SetTextureStageState(0, kTssColorArg1, 5), kDdErrInvalidParams);
    EXPECT_EQ(device->SetTextureStageState(0, kTssAddress, kTaddressClamp), kDdOk);
    EXPECT_EQ(device->SetTextureStageState(0, kTssTexCoordIndex, kTciCameraSpaceNormal | 1), kDdOk);
    EXPECT_EQ(device->SetTextureStageState(0, kTssTextureTransformFlags, kTtffCount2), kDdOk);
    EXPECT_EQ(device->SetTextureStageState(1, kTssColorOp, kTopBlendTextureAlpha), kDdOk);
    EXPECT_TRUE(backend->Draws().empty());
}

TEST_F(DeviceTest, ARecordedStateBlockReappliesItsStates) {
    Ref<Surface> texture = Texture();
    ASSERT_EQ(device->BeginStateBlock(), kDdOk);
    EXPECT_EQ(device->BeginStateBlock(), kD3dErrInBeginStateBlock);
    ASSERT_EQ(device->SetRenderState(kRsZWriteEnable, 0), kDdOk);
    ASSERT_EQ(device->SetRenderState(kRsAlphaBlendEnable, 1), kDdOk);
    ASSERT_EQ(device->SetRenderState(kRsZWriteEnable, 1), kDdOk); // the last value counts
    ASSERT_EQ(device->SetTextureStageState(0, kTssColorOp, kTopSelectArg2), kDdOk);
    ASSERT_EQ(device->SetTexture(0, texture.get()), kDdOk);
    uint32_t block = 0;
    ASSERT_EQ(device->EndStateBlock(&block), kDdOk);
    EXPECT_TRUE(backend->States().empty()) << "recording does not change the device";
    EXPECT_EQ(device->State().renderStates[kRsAlphaBlendEnable], 0u);

    // The block keeps its texture alive after the caller lets go.
    const Surface* recorded = texture.get();
    texture.Reset();
    ASSERT_EQ(device->ApplyStateBlock(block), kDdOk);
    const std::vector<RecordedState>& states = backend->States();
    ASSERT_EQ(states.size(), 4u);
    for (const RecordedState& s : states) EXPECT_EQ(s.origin, StateOrigin::StateBlock);
    EXPECT_EQ(states[0].type, kRsZWriteEnable);
    EXPECT_EQ(states[0].value, 1u);
    EXPECT_EQ(states[1].type, kRsAlphaBlendEnable);
    EXPECT_EQ(states[2].kind, RecordedState::Kind::TextureStage);
    EXPECT_EQ(states[3].texture, recorded);
    EXPECT_EQ(device->State().renderStates[kRsAlphaBlendEnable], 1u);
    EXPECT_EQ(device->State().textures[0], recorded);

    // Applied again after other changes, it puts its states back.
    ASSERT_EQ(device->SetRenderState(kRsAlphaBlendEnable, 0), kDdOk);
    ASSERT_EQ(device->ApplyStateBlock(block), kDdOk);
    EXPECT_EQ(device->State().renderStates[kRsAlphaBlendEnable], 1u);

    ASSERT_EQ(device->DeleteStateBlock(block), kDdOk);
    EXPECT_EQ(device->ApplyStateBlock(block), kD3dErrInvalidStateBlock);
    EXPECT_EQ(device->DeleteStateBlock(block), kD3dErrInvalidStateBlock);
    EXPECT_EQ(device->EndStateBlock(&block), kD3dErrNotInBeginStateBlock);
}

TEST_F(LimitedDeviceTest, ValidationCountsTheStagesInUseIncludingThoseBeingRecorded) {
    uint32_t passes = 0;
    ASSERT_EQ(device->ValidateDevice(&passes), kDdOk);
    EXPECT_EQ(passes, 1u);
    ASSERT_EQ(device->SetTextureStageState(1, kTssColorOp, kTopModulate), kDdOk);
    EXPECT_EQ(device->ValidateDevice(&passes), kD3dErrTooManyOperations);
    ASSERT_EQ(device->SetTextureStageState(1, kTssColorOp, kTopDisable), kDdOk);

    ASSERT_EQ(device->BeginStateBlock(), kDdOk);
    ASSERT_EQ(device->SetTextureStageState(1, kTssColorOp, kTopBlendTextureAlpha), kDdOk);
    EXPECT_EQ(device->ValidateDevice(&passes), kD3dErrTooManyOperations);
    uint32_t block = 0;
    ASSERT_EQ(device->EndStateBlock(&block), kDdOk);
    EXPECT_EQ(device->ValidateDevice(&passes), kDdOk);
}

TEST_F(DeviceTest, EveryDrawIsRecordedWithItsFormatAndCounts) {
    std::vector<uint8_t> vertices(36 * 6);
    const uint16_t indices[] = {0, 1, 2, 2, 3, 0};
    Ref<VertexBuffer> vb;
    ASSERT_EQ(d3d->CreateVertexBuffer({kVbCapsWriteOnly, 0x112, 100}, vb.Out(), 0), kDdOk);
    ASSERT_EQ(device->BeginScene(), kDdOk);
    ASSERT_EQ(device->DrawPrimitive(kPtTriangleStrip, 0x1C4, vertices.data(), 4, 0), kDdOk);
    ASSERT_EQ(device->DrawPrimitive(kPtLineList, 0x1C4, vertices.data(), 6, 0), kDdOk);
    ASSERT_EQ(device->DrawIndexedPrimitive(kPtTriangleList, 0x152, vertices.data(), 4, indices, 6, 0), kDdOk);
    ASSERT_EQ(device->DrawIndexedPrimitiveVB(kPtTriangleList, vb.get(), 10, 4, indices, 6, 0), kDdOk);
    ASSERT_EQ(device->DrawPrimitiveVB(kPtTriangleFan, vb.get(), 96, 4, 0), kDdOk);
    ASSERT_EQ(device->EndScene(), kDdOk);

    struct Expected {
        PrimitiveType type;
        uint32_t fvf, vertices, indices, primitives;
        bool fromBuffer;
        uint32_t start;
    };
    const Expected expected[] = {
        {kPtTriangleStrip, 0x1C4, 4, 0, 2, false, 0}, {kPtLineList, 0x1C4, 6, 0, 3, false, 0},
        {kPtTriangleList, 0x152, 4, 6, 2, false, 0},  {kPtTriangleList, 0x112, 4, 6, 2, true, 10},
        {kPtTriangleFan, 0x112, 4, 0, 2, true, 96},
    };
    const std::vector<RecordedDraw>& draws = backend->Draws();
    ASSERT_EQ(draws.size(), std::size(expected));
    for (size_t i = 0; i < draws.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(draws[i].type, expected[i].type);
        EXPECT_EQ(draws[i].fvf, expected[i].fvf);
        EXPECT_EQ(draws[i].vertexCount, expected[i].vertices);
        EXPECT_EQ(draws[i].indexCount, expected[i].indices);
        EXPECT_EQ(draws[i].primitiveCount, expected[i].primitives);
        EXPECT_EQ(draws[i].fromVertexBuffer, expected[i].fromBuffer);
        EXPECT_EQ(draws[i].startVertex, expected[i].start);
    }
}

TEST_F(DeviceTest, DrawsThatWouldReadPastTheirVerticesAreRefused) {
    std::vector<uint8_t> vertices(32 * 4);
    const uint16_t outOfRange[] = {0, 1, 4};
    Ref<VertexBuffer> vb;
    ASSERT_EQ(d3d->CreateVertexBuffer({0, 0x1C4, 8}, vb.Out(), 0), kDdOk);
    EXPECT_EQ(device->DrawPrimitive(kPtTriangleList, 0x1C4, vertices.data(), 3, 0), kD3dErrSceneNotInScene);
    ASSERT_EQ(device->BeginScene(), kDdOk);
    EXPECT_EQ(device->BeginScene(), kD3dErrSceneInScene);
    EXPECT_EQ(device->DrawIndexedPrimitive(kPtTriangleList, 0x1C4, vertices.data(), 4, outOfRange, 3, 0),
              kDdErrInvalidParams);
    EXPECT_EQ(device->DrawIndexedPrimitiveVB(kPtTriangleList, vb.get(), 4, 4, outOfRange, 3, 0), kDdErrInvalidParams);
    EXPECT_EQ(device->DrawPrimitiveVB(kPtTriangleList, vb.get(), 6, 3, 0), kDdErrInvalidParams);
    EXPECT_EQ(device->DrawPrimitiveVB(kPtTriangleList, vb.get(), 0xFFFFFFFF, 3, 0), kDdErrInvalidParams);
    EXPECT_EQ(device->DrawPrimitive(kPtTriangleStrip, 0x1C4, vertices.data(), 2, 0), kDdErrInvalidParams);
    EXPECT_EQ(device->DrawPrimitive(PrimitiveType(7), 0x1C4, vertices.data(), 3, 0), kDdErrInvalidParams);
    EXPECT_EQ(device->DrawPrimitive(kPtTriangleList, 0x014, vertices.data(), 3, 0), kDdErrInvalidParams);
    void* data = nullptr;
    ASSERT_EQ(vb->Lock(0, &data, nullptr), kDdOk);
    EXPECT_EQ(device->DrawPrimitiveVB(kPtTriangleList, vb.get(), 0, 3, 0), kD3dErrVertexBufferLocked);
    ASSERT_EQ(vb->Unlock(), kDdOk);
    EXPECT_EQ(device->DrawPrimitiveVB(kPtTriangleList, vb.get(), 5, 3, 0), kDdOk);
    EXPECT_EQ(backend->Draws().size(), 1u);

    dd->ForceSurfaceLoss();
    EXPECT_EQ(device->DrawPrimitiveVB(kPtTriangleList, vb.get(), 0, 3, 0), kDdErrSurfaceLost);
    ASSERT_EQ(device->EndScene(), kDdOk);
    EXPECT_EQ(device->BeginScene(), kDdErrSurfaceLost);
}

TEST_F(DeviceTest, ClearsAreCutToTheViewportAndFillTheTarget) {
    ASSERT_EQ(device->SetViewport({100, 100, 200, 100, 0, 1}), kDdOk);
    const Rect rects[] = {{0, 0, 150, 150}, {0, 0, 50, 50}};
    ASSERT_EQ(device->Clear(2, rects, kClearTarget | kClearZBuffer, 0xFF00FF00, 1.0f, 0), kDdOk);
    ASSERT_EQ(backend->Clears().size(), 1u);
    EXPECT_EQ(backend->Clears()[0].rects, (std::vector<Rect>{{100, 100, 150, 150}}));
    ASSERT_EQ(device->Clear(0, nullptr, kClearTarget, 0xFF0000FF, 1.0f, 0), kDdOk);
    EXPECT_EQ(backend->Clears()[1].rects, (std::vector<Rect>{{100, 100, 300, 200}}));

    SurfaceDesc desc;
    ASSERT_EQ(target->Lock(nullptr, &desc, kDdLockReadOnly), kDdOk);
    const auto pixel = [&](int x, int y) { return *reinterpret_cast<uint32_t*>(desc.surface + y * desc.pitch + x * 4); };
    EXPECT_EQ(pixel(120, 120), 0x000000FFu) << "the display's X8R8G8B8 keeps no alpha";
    EXPECT_EQ(pixel(99, 99), 0u);
    ASSERT_EQ(target->Unlock(nullptr), kDdOk);

    EXPECT_EQ(device->Clear(0, nullptr, kClearStencil, 0, 1.0f, 0), kD3dErrStencilBufferNotPresent);
    EXPECT_EQ(device->Clear(0, nullptr, kClearTarget, 0, 2.0f, 0), kDdErrInvalidParams);
    EXPECT_EQ(device->SetViewport({600, 0, 41, 480, 0, 1}), kDdErrInvalidParams);
    EXPECT_EQ(device->SetViewport({0, 0, 640, 480, 1, 0}), kDdOk) << "a reversed depth range is allowed";
}

TEST_F(DeviceTest, TransformsLightsMaterialsAndClipPlanesAreKept) {
    Matrix texture = IdentityMatrix();
    texture.m[2][1] = 0.505859375f;
    ASSERT_EQ(device->SetTransform(kTransformTexture0, texture), kDdOk);
    Matrix back;
    ASSERT_EQ(device->GetTransform(kTransformTexture0, &back), kDdOk);
    EXPECT_EQ(back.m[2][1], 0.505859375f);
    EXPECT_EQ(device->SetTransform(TransformState(4), texture), kDdErrInvalidParams);

    Light7 light;
    light.type = kLightPoint;
    light.range = 10;
    light.attenuation1 = 0.02f;
    ASSERT_EQ(device->SetLight(7, light), kDdOk);
    ASSERT_EQ(device->LightEnable(7, true), kDdOk);
    EXPECT_EQ(device->SetLight(8, light), kDdErrInvalidParams) << "eight active lights";
    EXPECT_EQ(device->LightEnable(8, true), kDdErrInvalidParams);
    Light7 got;
    ASSERT_EQ(device->GetLight(7, &got), kDdOk);
    EXPECT_EQ(got.attenuation1, 0.02f);
    EXPECT_TRUE(device->State().lights[7].enabled);

    Material7 material;
    material.diffuse.a = 0.5f;
    ASSERT_EQ(device->SetMaterial(material), kDdOk);
    Material7 gotMaterial;
    ASSERT_EQ(device->GetMaterial(&gotMaterial), kDdOk);
    EXPECT_EQ(gotMaterial.diffuse.a, 0.5f);

    const float planes[2][4] = {{0, -1, 0, 3}, {0, 1, 0, -1}};
    ASSERT_EQ(device->SetClipPlane(1, planes[1]), kDdOk);
    ASSERT_EQ(device->SetRenderState(kRsClipPlaneEnable, 3), kDdOk);
    EXPECT_EQ(device->State().clipPlanes[1][3], -1.0f);
    EXPECT_EQ(device->SetClipPlane(6, planes[0]), kDdErrInvalidParams);
}

} // namespace
