#pragma once
// A display and a HAL device over one video backend, drawing into a 64 x 64
// offscreen 3D target with a 24-bit Z-buffer carrying 8 stencil bits: the
// scenes of the render tests run on it over the OpenGL backend (and their
// pixels are read back) or over the null backend (and their records read).

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/d3d/d3dmath.h"
#include "tests/platform/d3d_fixture.h"

constexpr uint32_t kSide = 64;

// The vertex formats the scenes draw with.
struct ColouredVertex { // kColouredFvf
    float x, y, z;
    uint32_t diffuse;
    float u, v;
};
struct LitVertex { // kLitFvf
    float x, y, z, nx, ny, nz;
    float u, v;
};
struct LitColouredVertex { // kLitColouredFvf
    float x, y, z, nx, ny, nz;
    uint32_t diffuse;
};
struct ScreenVertex { // kScreenFvf: pre-transformed, diffuse, specular, one pair
    float x, y, z, rhw;
    uint32_t diffuse, specular;
    float u, v;
};
struct TwoPairVertex { // kTwoPairFvf
    float x, y, z;
    uint32_t diffuse;
    float u0, v0, u1, v1;
};
constexpr uint32_t kColouredFvf = plat::kFvfXyz | plat::kFvfDiffuse | plat::kFvfTex1;
constexpr uint32_t kLitFvf = plat::kFvfXyz | plat::kFvfNormal | plat::kFvfTex1;
constexpr uint32_t kLitColouredFvf = plat::kFvfXyz | plat::kFvfNormal | plat::kFvfDiffuse;
constexpr uint32_t kScreenFvf = plat::kFvfXyzRhw | plat::kFvfDiffuse | plat::kFvfSpecular | plat::kFvfTex1;
constexpr uint32_t kTwoPairFvf = plat::kFvfXyz | plat::kFvfDiffuse | (2u << plat::kFvfTexCountShift);

class Display {
public:
    // Installs the backend and makes the device over an X8R8G8B8 target.
    void Open(std::shared_ptr<plat::DeviceBackend> backend);
    ~Display();

    plat::Device3D& Device() { return *device_.get(); }
    plat::Surface& Target() { return *target_.get(); }

    // A video-memory A8R8G8B8 texture holding the colours row by row.
    Ref<plat::Surface> Texture(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb);
    // Overwrites a texture's colours.
    static void Fill(plat::Surface& texture, const std::vector<uint32_t>& argb);

    // The device's defaults for these scenes: no lighting, no culling, no Z
    // test, identity transforms (so x and y run -1..1 across the target, y
    // up), point filtering.
    void PlainStates();
    void Set(plat::RenderState state, uint32_t value);
    void SetStage(uint32_t stage, plat::TextureStageStateType type, uint32_t value);
    void Clear(uint32_t colour, uint32_t flags = plat::kClearTarget | plat::kClearZBuffer | plat::kClearStencil,
               float z = 1.0f);

    // Draws a strip inside its own scene.
    template <class V>
    void Strip(uint32_t fvf, const std::vector<V>& vertices) {
        ASSERT_EQ(device_->BeginScene(), plat::kDdOk);
        EXPECT_EQ(device_->DrawPrimitive(plat::kPtTriangleStrip, fvf, vertices.data(), uint32_t(vertices.size()), 0),
                  plat::kDdOk);
        ASSERT_EQ(device_->EndScene(), plat::kDdOk);
    }
    // A quad over x0..x1, y0..y1 (y up) at depth z, corners top-left, top-right,
    // bottom-left, bottom-right, u and v running 0..1 from the top left.
    static std::vector<ColouredVertex> Quad(float x0, float y0, float x1, float y1, float z, uint32_t diffuse);
    // A pre-transformed quad over pixels x0..x1, y0..y1.
    static std::vector<ScreenVertex> ScreenQuad(float x0, float y0, float x1, float y1, float z, uint32_t diffuse);

    // The target's pixel as 0xAARRGGBB, copied out through a blit.
    uint32_t Pixel(uint32_t x, uint32_t y);

private:
    std::shared_ptr<plat::DeviceBackend> backend_;
    Ref<plat::DirectDraw> dd_;
    Ref<plat::Surface> target_, zBuffer_;
    Ref<plat::Direct3D> d3d_;
    Ref<plat::Device3D> device_;
};

// Expects each channel within tolerance.
testing::AssertionResult SameColour(uint32_t actual, uint32_t expected, int tolerance = 3);
