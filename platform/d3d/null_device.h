#pragma once
// The headless backend: a display of fixed facts, nothing rasterised. It
// records the render states, texture-stage states and textures set (and
// whether a state block applied them), every clear and draw, and every
// present, so tests can assert on what a frame did. Clears fill the target
// with their colour.

#include <cstdint>
#include <vector>

#include "platform/d3d/backend.h"

namespace plat {

struct RecordedState {
    enum class Kind { Render, TextureStage, Texture } kind;
    uint32_t stage;          // texture-stage states and textures
    uint32_t type;           // the state
    uint32_t value;
    const Surface* texture;  // Kind::Texture, for identity only
    StateOrigin origin;
};

struct RecordedDraw {
    PrimitiveType type;
    uint32_t fvf;
    uint32_t vertexCount;
    uint32_t indexCount;     // 0 for a non-indexed draw
    uint32_t primitiveCount;
    bool fromVertexBuffer;
    uint32_t startVertex;
};

struct RecordedClear {
    uint32_t flags;
    uint32_t color;
    float z;
    uint32_t stencil;
    std::vector<Rect> rects;
};

class NullBackend final : public DeviceBackend {
public:
    // 1024 x 768 x 32 desktop; 640 x 480, 800 x 600 and 1024 x 768 at 16 and
    // 32 bits; vendor 0; 32 MB of video memory; a gamma ramp; the default limits.
    static BackendFacts DefaultFacts();

    explicit NullBackend(BackendFacts facts = DefaultFacts());

    const BackendFacts& Facts() const override { return facts_; }
    HResult SetGammaRamp(const GammaRamp& ramp) override;
    bool PresentBlt(Surface& source, const Rect& sourceRect, const Rect& destRect) override;
    void PresentFlip(Surface& front) override;
    void Clear(const DeviceState& state, const ClearCall& clear) override;
    void Draw(const DeviceState& state, const DrawCall& draw) override;
    void RenderStateSet(RenderState state, uint32_t value, StateOrigin origin) override;
    void TextureStageStateSet(uint32_t stage, TextureStageStateType type, uint32_t value, StateOrigin origin) override;
    void TextureSet(uint32_t stage, Surface* texture, StateOrigin origin) override;

    const std::vector<RecordedState>& States() const { return states_; }
    const std::vector<RecordedDraw>& Draws() const { return draws_; }
    const std::vector<RecordedClear>& Clears() const { return clears_; }
    uint32_t Presents() const { return presents_; }
    // Forgets what was recorded so far.
    void ResetRecords();

private:
    BackendFacts facts_;
    std::vector<RecordedState> states_;
    std::vector<RecordedDraw> draws_;
    std::vector<RecordedClear> clears_;
    uint32_t presents_ = 0;
};

} // namespace plat
