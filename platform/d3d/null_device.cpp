#include "platform/d3d/null_device.h"

#include "platform/d3d/pixel_format.h"
#include "platform/d3d/surface.h"

namespace plat {

BackendFacts NullBackend::DefaultFacts() {
    BackendFacts facts;
    facts.driverDescription = "Null display driver";
    facts.driverName = "null";
    facts.desktop = {1024, 768, 32, 60};
    for (const uint32_t depth : {16u, 32u})
        for (const auto& [w, h] : {std::pair{640u, 480u}, {800u, 600u}, {1024u, 768u}})
            facts.modes.push_back({w, h, depth, 60});
    facts.gammaRamp = true;
    return facts;
}

NullBackend::NullBackend(BackendFacts facts) : facts_(std::move(facts)) {}

HResult NullBackend::SetGammaRamp(const GammaRamp&) { return kDdOk; }

bool NullBackend::PresentBlt(Surface&, const Rect&, const Rect&) {
    ++presents_;
    return false;
}

void NullBackend::PresentFlip(Surface&) { ++presents_; }

void NullBackend::Clear(const DeviceState&, const ClearCall& clear) {
    clears_.push_back({clear.flags, clear.color, clear.z, clear.stencil, clear.rects});
    if (!(clear.flags & kClearTarget) || KindOf(clear.target->Format()) != FormatKind::Rgb) return;
    const BltFx fill{ArgbCodec(clear.target->Format()).FromArgb(clear.color)};
    for (const Rect& r : clear.rects) clear.target->Blt(&r, nullptr, nullptr, kDdBltColorFill, &fill);
}

void NullBackend::Draw(const DeviceState&, const DrawCall& draw) {
    draws_.push_back({draw.type, draw.fvf, draw.vertexCount, draw.indexCount, draw.primitiveCount,
                      draw.buffer != nullptr, draw.startVertex});
}

void NullBackend::RenderStateSet(RenderState state, uint32_t value, StateOrigin origin) {
    states_.push_back({RecordedState::Kind::Render, 0, state, value, nullptr, origin});
}

void NullBackend::TextureStageStateSet(uint32_t stage, TextureStageStateType type, uint32_t value,
                                       StateOrigin origin) {
    states_.push_back({RecordedState::Kind::TextureStage, stage, type, value, nullptr, origin});
}

void NullBackend::TextureSet(uint32_t stage, Surface* texture, StateOrigin origin) {
    states_.push_back({RecordedState::Kind::Texture, stage, 0, 0, texture, origin});
}

void NullBackend::ResetRecords() {
    states_.clear();
    draws_.clear();
    clears_.clear();
    presents_ = 0;
}

} // namespace plat
