#include "platform/sdl/gl_backend.h"

#include <algorithm>

#include "platform/d3d/pixel_format.h"
#include "platform/d3d/surface.h"
#include "platform/fpu.h"
#include "platform/sdl/gl_context.h"
#include "platform/sdl/gl_draw.h"
#include "platform/sdl/render_state.h"
#include "platform/sdl/render_targets.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/texture_cache.h"
#include "platform/sdl/texture_stages.h"
#include "platform/sdl/window.h"

namespace plat {
namespace {

constexpr uint32_t kLargestTexture = 2048;
constexpr uint16_t kClipPlanes = 6;

BackendFacts FactsOf(const GlContext& gl) {
    BackendFacts f;
    f.driverDescription = "OpenGL (" + gl.Renderer() + ")";
    f.driverName = "gl";
    f.desktop = SdlDesktopMode();
    f.modes = SdlDisplayModes();
    f.limits.maxTextureSize = std::min(kLargestTexture, gl.MaxTextureSize());
    f.limits.textureStages = uint16_t(std::min<uint32_t>(kMaxTextureStages, gl.TextureUnits()));
    f.limits.maxUserClipPlanes = uint16_t(std::min<uint32_t>(kClipPlanes, gl.ClipPlanes()));
    f.gammaRamp = true;
    return f;
}

bool HasAlpha(const Surface& s) { return (s.Format().flags & kDdpfAlphaPixels) && s.Format().alphaBitMask; }

class GlBackend final : public DeviceBackend {
public:
    explicit GlBackend(std::unique_ptr<GlContext> context);
    ~GlBackend() override;

    const BackendFacts& Facts() const override { return facts_; }
    HResult SetCooperativeLevel(WindowHandle window, uint32_t flags) override;
    HResult SetDisplayMode(const DisplayMode& mode) override;
    void RestoreDisplayMode() override;
    HResult SetGammaRamp(const GammaRamp& ramp) override;
    bool PresentBlt(Surface& source, const Rect& sourceRect, const Rect& destRect) override;
    void PresentFlip(Surface& front) override;
    void SurfaceAccess(Surface& surface, bool write) override;
    void SurfaceUnlocked(Surface& surface, bool written) override;
    void Clear(const DeviceState& state, const ClearCall& clear) override;
    void Draw(const DeviceState& state, const DrawCall& draw) override;

private:
    // Binds the stages' textures (white where a stage has none) and combiners.
    void BindStages(const DeviceState& state, uint32_t stages);
    void EndFrame();

    std::unique_ptr<GlContext> context_;
    BackendFacts facts_;
    RenderTargets targets_;
    TextureCache textures_;
    GlDraw draw_;
    uint32_t units_ = 0;
    GLuint white_ = 0; // the texture of a stage without one
    WindowHandle window_ = nullptr;
};

GlBackend::GlBackend(std::unique_ptr<GlContext> context)
    : context_(std::move(context)), facts_(FactsOf(*context_)), targets_(context_->Api()),
      draw_(context_->Api(), facts_.limits.textureStages), units_(facts_.limits.textureStages) {
    NearestRoundingScope nearest;
    const uint32_t white = 0xFFFFFFFF;
    glGenTextures(1, &white_);
    glBindTexture(GL_TEXTURE_2D, white_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &white);
}

GlBackend::~GlBackend() {
    NearestRoundingScope nearest;
    glDeleteTextures(1, &white_);
}

HResult GlBackend::SetCooperativeLevel(WindowHandle window, uint32_t) {
    window_ = IsPresentableWindow(window) ? window : nullptr;
    return kDdOk;
}

HResult GlBackend::SetDisplayMode(const DisplayMode& mode) {
    if (!window_) return kDdOk; // nothing to show it on
    return EnterFullScreen(window_, mode) ? kDdOk : kDdErrInvalidMode;
}

void GlBackend::RestoreDisplayMode() {
    if (window_) LeaveFullScreen(window_);
}

HResult GlBackend::SetGammaRamp(const GammaRamp& ramp) {
    if (!window_) return kDdOk;
    return SetWindowGammaRamp(window_, ramp) ? kDdOk : kDdErrUnsupported;
}

void GlBackend::EndFrame() { textures_.EndFrame(); }

bool GlBackend::PresentBlt(Surface& source, const Rect& sourceRect, const Rect& destRect) {
    if (!context_->OnRenderThread()) return false;
    if (window_) {
        const Rect dest = ScreenToClient(window_, destRect);
        NearestRoundingScope nearest;
        context_->PresentInto(window_, [&](int, int height) { targets_.Show(source, sourceRect, dest, height); });
    }
    EndFrame();
    // The core copies the image (read back before the blit) into the primary's memory.
    return false;
}

void GlBackend::PresentFlip(Surface& front) {
    if (!context_->OnRenderThread()) return;
    NearestRoundingScope nearest;
    targets_.Flip(front);
    if (window_) {
        const Rect whole{0, 0, int32_t(front.Width()), int32_t(front.Height())};
        context_->PresentInto(window_, [&](int width, int height) {
            targets_.Show(front, whole, {0, 0, width, height}, height);
        });
    }
    EndFrame();
}

void GlBackend::SurfaceAccess(Surface& surface, bool) {
    if (!context_->OnRenderThread()) return;
    NearestRoundingScope nearest;
    targets_.ReadBack(surface);
}

void GlBackend::SurfaceUnlocked(Surface& surface, bool written) {
    // A written primary is shown at once: the full-screen movies draw by locking it.
    if (!written || !window_ || !(surface.Caps().caps & kDdsCapsPrimarySurface) || !context_->OnRenderThread())
        return;
    NearestRoundingScope nearest;
    const Rect whole{0, 0, int32_t(surface.Width()), int32_t(surface.Height())};
    context_->PresentInto(window_, [&](int width, int height) {
        targets_.Show(surface, whole, {0, 0, width, height}, height);
    });
}

void GlBackend::Clear(const DeviceState&, const ClearCall& clear) {
    if (!context_->OnRenderThread()) return;
    NearestRoundingScope nearest;
    if (!targets_.Bind(*clear.target, clear.zBuffer)) return;
    GLbitfield mask = 0;
    if (clear.flags & kClearTarget) mask |= GL_COLOR_BUFFER_BIT;
    if (clear.zBuffer && (clear.flags & kClearZBuffer)) mask |= GL_DEPTH_BUFFER_BIT;
    if (clear.zBuffer && (clear.flags & kClearStencil)) mask |= GL_STENCIL_BUFFER_BIT;
    const uint32_t c = clear.color;
    glClearColor(float((c >> 16) & 0xFF) / 255.0f, float((c >> 8) & 0xFF) / 255.0f, float(c & 0xFF) / 255.0f,
                 float(c >> 24) / 255.0f);
    glClearDepth(clear.z);
    glClearStencil(GLint(clear.stencil & 0xFF));
    // A clear writes whatever the render states mask.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFFFFFFFF);
    glEnable(GL_SCISSOR_TEST);
    for (const Rect& r : clear.rects) {
        glScissor(r.left, r.top, r.right - r.left, r.bottom - r.top);
        glClear(mask);
    }
    if (mask & GL_COLOR_BUFFER_BIT) targets_.MarkDrawn(*clear.target);
}

void GlBackend::BindStages(const DeviceState& state, uint32_t stages) {
    const GlApi& gl = context_->Api();
    for (uint32_t unit = 0; unit < units_; ++unit) {
        gl.ActiveTexture(GL_TEXTURE0 + unit);
        if (unit >= stages) {
            glDisable(GL_TEXTURE_2D);
            continue;
        }
        glEnable(GL_TEXTURE_2D);
        Surface* texture = state.textures[unit];
        if (!texture || !textures_.Bind(*texture)) glBindTexture(GL_TEXTURE_2D, white_);
        ApplySampler(state, unit);
        ApplyCombiner(state, unit);
    }
    gl.ActiveTexture(GL_TEXTURE0);
}

void GlBackend::Draw(const DeviceState& state, const DrawCall& draw) {
    if (!context_->OnRenderThread()) return;
    NearestRoundingScope nearest;
    Surface& target = *state.renderTarget;
    if (!targets_.Bind(target, state.zBuffer)) return;
    const RenderTargetTraits traits{state.zBuffer != nullptr,
                                    state.zBuffer && state.zBuffer->Format().stencilBitDepth > 0, HasAlpha(target)};
    const bool pretransformed = (draw.fvf & kFvfPositionMask) == kFvfXyzRhw;
    const FogSource fog = ChooseFogSource(state, pretransformed);
    ApplyRenderStates(state, traits, fog);
    const uint32_t stages = ActiveStages(state, units_);
    BindStages(state, stages);
    draw_.Draw(state, draw, target.Width(), target.Height(), stages, fog);
    targets_.MarkDrawn(target);
}

} // namespace

std::shared_ptr<DeviceBackend> CreateGlBackend(std::string* failure) {
    std::unique_ptr<GlContext> context = GlContext::Create(failure);
    if (!context) return nullptr;
    return std::make_shared<GlBackend>(std::move(context));
}

} // namespace plat
