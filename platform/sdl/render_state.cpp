#include "platform/sdl/render_state.h"

#include <bit>

namespace plat {
namespace {

constexpr uint32_t kFogExp = 1, kFogExp2 = 2;
constexpr uint32_t kBlendDestAlpha = 7, kBlendInvDestAlpha = 8, kBlendDestColor = 9, kBlendInvDestColor = 10;
constexpr uint32_t kBlendSrcAlphaSat = 11, kBlendBothSrcAlpha = 12;

GLenum Compare(uint32_t func) {
    static constexpr GLenum kFuncs[] = {GL_NEVER, GL_LESS, GL_EQUAL, GL_LEQUAL, GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    return func >= kCmpNever && func <= kCmpAlways ? kFuncs[func - kCmpNever] : GL_ALWAYS;
}

// A blend factor; destination alpha reads as 1 on a target without alpha.
GLenum BlendFactor(uint32_t factor, bool targetAlpha) {
    switch (factor) {
    case kBlendZero: return GL_ZERO;
    case kBlendOne: return GL_ONE;
    case kBlendSrcColor: return GL_SRC_COLOR;
    case kBlendInvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case kBlendSrcAlpha: return GL_SRC_ALPHA;
    case kBlendInvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case kBlendDestAlpha: return targetAlpha ? GL_DST_ALPHA : GL_ONE;
    case kBlendInvDestAlpha: return targetAlpha ? GL_ONE_MINUS_DST_ALPHA : GL_ZERO;
    case kBlendDestColor: return GL_DST_COLOR;
    case kBlendInvDestColor: return GL_ONE_MINUS_DST_COLOR;
    case kBlendSrcAlphaSat: return GL_SRC_ALPHA_SATURATE;
    default: return GL_ONE;
    }
}

GLenum StencilOp(uint32_t op) {
    static constexpr GLenum kOps[] = {GL_KEEP, GL_ZERO, GL_REPLACE, GL_INCR, GL_DECR, GL_INVERT, GL_INCR_WRAP, GL_DECR_WRAP};
    return op >= kStencilOpKeep && op <= kStencilOpDecr ? kOps[op - kStencilOpKeep] : GL_KEEP;
}

void Enable(GLenum cap, bool on) { on ? glEnable(cap) : glDisable(cap); }

float AsFloat(uint32_t bits) { return std::bit_cast<float>(bits); }

void ApplyBlend(const std::array<uint32_t, kRenderStateCount>& rs, bool targetAlpha) {
    Enable(GL_BLEND, rs[kRsAlphaBlendEnable] != 0);
    GLenum source = BlendFactor(rs[kRsSrcBlend], targetAlpha);
    GLenum dest = BlendFactor(rs[kRsDestBlend], targetAlpha);
    // The two "both" factors set the destination factor as well.
    if (rs[kRsSrcBlend] == kBlendBothSrcAlpha) source = GL_SRC_ALPHA, dest = GL_ONE_MINUS_SRC_ALPHA;
    if (rs[kRsSrcBlend] == kBlendBothInvSrcAlpha) source = GL_ONE_MINUS_SRC_ALPHA, dest = GL_SRC_ALPHA;
    glBlendFunc(source, dest);
}

// Direct3D culls the triangles that wind the given way on the screen. The
// image is stored top row first, so a clockwise triangle on the screen winds
// counter-clockwise in OpenGL's window coordinates.
void ApplyCulling(uint32_t mode) {
    Enable(GL_CULL_FACE, mode == kCullCw || mode == kCullCcw);
    glFrontFace(GL_CCW);
    glCullFace(mode == kCullCw ? GL_FRONT : GL_BACK);
}

void ApplyStencil(const std::array<uint32_t, kRenderStateCount>& rs, bool stencil) {
    Enable(GL_STENCIL_TEST, stencil && rs[kRsStencilEnable] != 0);
    glStencilFunc(Compare(rs[kRsStencilFunc]), GLint(rs[kRsStencilRef] & 0xFF), rs[kRsStencilMask]);
    glStencilOp(StencilOp(rs[kRsStencilFail]), StencilOp(rs[kRsStencilZFail]), StencilOp(rs[kRsStencilPass]));
    glStencilMask(rs[kRsStencilWriteMask]);
}

void ApplyFog(const std::array<uint32_t, kRenderStateCount>& rs, FogSource source) {
    Enable(GL_FOG, source != FogSource::None);
    if (source == FogSource::None) return;
    const uint32_t c = rs[kRsFogColor];
    const GLfloat colour[4] = {float((c >> 16) & 0xFF) / 255.0f, float((c >> 8) & 0xFF) / 255.0f,
                               float(c & 0xFF) / 255.0f, 1.0f};
    glFogfv(GL_FOG_COLOR, colour);
    if (source == FogSource::SpecularAlpha) {
        // The coordinate is 1 - factor, so linear fog over [0, 1] gives the factor.
        glFogi(GL_FOG_COORDINATE_SOURCE, GL_FOG_COORDINATE);
        glFogi(GL_FOG_MODE, GL_LINEAR);
        glFogf(GL_FOG_START, 0.0f);
        glFogf(GL_FOG_END, 1.0f);
        return;
    }
    glFogi(GL_FOG_COORDINATE_SOURCE, GL_FRAGMENT_DEPTH);
    const uint32_t mode = rs[kRsFogTableMode] != kFogNone ? rs[kRsFogTableMode] : rs[kRsFogVertexMode];
    glFogi(GL_FOG_MODE, mode == kFogExp ? GL_EXP : mode == kFogExp2 ? GL_EXP2 : GL_LINEAR);
    glFogf(GL_FOG_START, AsFloat(rs[kRsFogStart]));
    glFogf(GL_FOG_END, AsFloat(rs[kRsFogEnd]));
    glFogf(GL_FOG_DENSITY, AsFloat(rs[kRsFogDensity]));
}

} // namespace

FogSource ChooseFogSource(const DeviceState& state, bool pretransformed) {
    const auto& rs = state.renderStates;
    if (!rs[kRsFogEnable]) return FogSource::None;
    if (pretransformed || (rs[kRsFogTableMode] == kFogNone && rs[kRsFogVertexMode] == kFogNone))
        return FogSource::SpecularAlpha;
    return FogSource::Depth;
}

void ApplyRenderStates(const DeviceState& state, const RenderTargetTraits& target, FogSource fog) {
    const auto& rs = state.renderStates;
    Enable(GL_DEPTH_TEST, target.depth && rs[kRsZEnable] != kZbFalse);
    glDepthFunc(Compare(rs[kRsZFunc]));
    glDepthMask(rs[kRsZWriteEnable] ? GL_TRUE : GL_FALSE);
    // A larger bias draws nearer: one depth unit per step.
    const bool biased = rs[kRsZBias] != 0;
    for (const GLenum cap : {GL_POLYGON_OFFSET_FILL, GL_POLYGON_OFFSET_LINE, GL_POLYGON_OFFSET_POINT}) Enable(cap, biased);
    glPolygonOffset(0.0f, -float(rs[kRsZBias]));

    Enable(GL_ALPHA_TEST, rs[kRsAlphaTestEnable] != 0);
    glAlphaFunc(Compare(rs[kRsAlphaFunc]), float(rs[kRsAlphaRef] & 0xFF) / 255.0f);
    ApplyBlend(rs, target.targetAlpha);
    ApplyCulling(rs[kRsCullMode]);
    glPolygonMode(GL_FRONT_AND_BACK, rs[kRsFillMode] == kFillPoint       ? GL_POINT
                                     : rs[kRsFillMode] == kFillWireframe ? GL_LINE
                                                                         : GL_FILL);
    glShadeModel(rs[kRsShadeMode] == kShadeFlat ? GL_FLAT : GL_SMOOTH);
    ApplyStencil(rs, target.stencil);
    ApplyFog(rs, fog);
    Enable(GL_DITHER, rs[kRsDitherEnable] != 0);
    Enable(GL_COLOR_SUM, rs[kRsSpecularEnable] != 0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

} // namespace plat
