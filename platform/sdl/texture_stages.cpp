#include "platform/sdl/texture_stages.h"

#include <bit>

namespace plat {
namespace {

// Texture operations past those every device has.
constexpr uint32_t kTopModulate2x = 5, kTopModulate4x = 6, kTopAddSigned = 8, kTopAddSigned2x = 9;
constexpr uint32_t kTopSubtract = 10, kTopAddSmooth = 11, kTopBlendDiffuseAlpha = 12, kTopBlendFactorAlpha = 14;
constexpr uint32_t kTopBlendTextureAlphaPm = 15;

struct Operand {
    GLenum source, operand;
};

// An argument as a combiner input. Vertex specular colour cannot feed a
// combiner in OpenGL; it reads as black (it is still added after the stages).
Operand Argument(uint32_t arg, bool alpha) {
    GLenum source = GL_PREVIOUS;
    switch (arg & kTaSelectMask) {
    case kTaDiffuse: source = GL_PRIMARY_COLOR; break;
    case kTaCurrent: source = GL_PREVIOUS; break;
    case kTaTexture: source = GL_TEXTURE; break;
    case kTaTFactor: source = GL_CONSTANT; break;
    case kTaSpecular: source = GL_ZERO; break;
    }
    const bool complement = arg & kTaComplement;
    if (alpha || (arg & kTaAlphaReplicate)) return {source, complement ? GLenum(GL_ONE_MINUS_SRC_ALPHA) : GLenum(GL_SRC_ALPHA)};
    return {source, complement ? GLenum(GL_ONE_MINUS_SRC_COLOR) : GLenum(GL_SRC_COLOR)};
}

Operand Inverted(Operand o) {
    switch (o.operand) {
    case GL_SRC_COLOR: return {o.source, GL_ONE_MINUS_SRC_COLOR};
    case GL_ONE_MINUS_SRC_COLOR: return {o.source, GL_SRC_COLOR};
    case GL_SRC_ALPHA: return {o.source, GL_ONE_MINUS_SRC_ALPHA};
    default: return {o.source, GL_SRC_ALPHA};
    }
}

struct Combine {
    GLenum mode = GL_REPLACE;
    Operand in[3] = {{GL_PREVIOUS, GL_SRC_COLOR}, {GL_PREVIOUS, GL_SRC_COLOR}, {GL_PREVIOUS, GL_SRC_COLOR}};
    float scale = 1.0f;
};

// One operation on two arguments (colour or alpha).
Combine Operation(uint32_t op, uint32_t arg1, uint32_t arg2, bool alpha) {
    const Operand a = Argument(arg1, alpha), b = Argument(arg2, alpha);
    const GLenum alphaOf = GL_SRC_ALPHA;
    Combine c;
    c.in[0] = c.in[1] = c.in[2] = a;
    switch (op) {
    case kTopSelectArg1: c.mode = GL_REPLACE; break;
    case kTopSelectArg2: c.mode = GL_REPLACE, c.in[0] = b; break;
    case kTopModulate: c.mode = GL_MODULATE, c.in[1] = b; break;
    case kTopModulate2x: c.mode = GL_MODULATE, c.in[1] = b, c.scale = 2; break;
    case kTopModulate4x: c.mode = GL_MODULATE, c.in[1] = b, c.scale = 4; break;
    case kTopAdd: c.mode = GL_ADD, c.in[1] = b; break;
    case kTopAddSigned: c.mode = GL_ADD_SIGNED, c.in[1] = b; break;
    case kTopAddSigned2x: c.mode = GL_ADD_SIGNED, c.in[1] = b, c.scale = 2; break;
    case kTopSubtract: c.mode = GL_SUBTRACT, c.in[1] = b; break;
    // arg1 + arg2 (1 - arg1) and arg1 + arg2 (1 - texture alpha): a0 a2 + a1.
    case kTopAddSmooth: c.mode = GL_MODULATE_ADD_ATI, c.in[0] = b, c.in[1] = a, c.in[2] = Inverted(a); break;
    case kTopBlendTextureAlphaPm:
        c.mode = GL_MODULATE_ADD_ATI, c.in[0] = b, c.in[1] = a, c.in[2] = {GL_TEXTURE, GL_ONE_MINUS_SRC_ALPHA};
        break;
    // arg1 alpha + arg2 (1 - alpha) for the alpha of a source.
    case kTopBlendDiffuseAlpha: c.mode = GL_INTERPOLATE, c.in[1] = b, c.in[2] = {GL_PRIMARY_COLOR, alphaOf}; break;
    case kTopBlendTextureAlpha: c.mode = GL_INTERPOLATE, c.in[1] = b, c.in[2] = {GL_TEXTURE, alphaOf}; break;
    case kTopBlendFactorAlpha: c.mode = GL_INTERPOLATE, c.in[1] = b, c.in[2] = {GL_CONSTANT, alphaOf}; break;
    case kTopBlendCurrentAlpha: c.mode = GL_INTERPOLATE, c.in[1] = b, c.in[2] = {GL_PREVIOUS, alphaOf}; break;
    default: // disabled alpha: the current value passes through
        c.mode = GL_REPLACE, c.in[0] = {GL_PREVIOUS, alpha ? alphaOf : GLenum(GL_SRC_COLOR)};
        break;
    }
    return c;
}

void SetCombine(const Combine& c, bool alpha) {
    static constexpr GLenum kSources[2][3] = {{GL_SOURCE0_RGB, GL_SOURCE1_RGB, GL_SOURCE2_RGB},
                                              {GL_SOURCE0_ALPHA, GL_SOURCE1_ALPHA, GL_SOURCE2_ALPHA}};
    static constexpr GLenum kOperands[2][3] = {{GL_OPERAND0_RGB, GL_OPERAND1_RGB, GL_OPERAND2_RGB},
                                               {GL_OPERAND0_ALPHA, GL_OPERAND1_ALPHA, GL_OPERAND2_ALPHA}};
    glTexEnvi(GL_TEXTURE_ENV, alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB, GLint(c.mode));
    for (int i = 0; i < 3; ++i) {
        glTexEnvi(GL_TEXTURE_ENV, kSources[alpha][i], GLint(c.in[i].source));
        glTexEnvi(GL_TEXTURE_ENV, kOperands[alpha][i], GLint(c.in[i].operand));
    }
    glTexEnvf(GL_TEXTURE_ENV, alpha ? GL_ALPHA_SCALE : GL_RGB_SCALE, c.scale);
}

GLenum Wrap(uint32_t address) {
    switch (address) {
    case kTaddressMirror: return GL_MIRRORED_REPEAT;
    case kTaddressClamp: return GL_CLAMP_TO_EDGE;
    case kTaddressBorder: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
    }
}

GLenum MinFilter(uint32_t min, uint32_t mip) {
    const bool linear = min != kTfnPoint;
    if (mip == kTfpPoint) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    if (mip == kTfpLinear) return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    return linear ? GL_LINEAR : GL_NEAREST;
}

// The texture matrix for the stage. Direct3D multiplies the row vector
// (u, v, 1, 0) of a coordinate pair, or (x, y, z, 1) of generated
// coordinates, by its matrix and keeps the first "count" results, dividing
// by the last when projected. OpenGL multiplies (s, t, 0, 1) or (x, y, z, 1)
// as a column and always divides by q, which therefore stays 1 unless the
// stage projects.
void TextureMatrix(const Matrix& m, uint32_t flags, bool generated, float out[4][4]) {
    const uint32_t count = flags & ~kTtffProjected;
    const bool projected = flags & kTtffProjected;
    // The Direct3D row that multiplies each OpenGL input (-1: none).
    static constexpr int kPairRows[4] = {0, 1, -1, 2};
    static constexpr int kGeneratedRows[4] = {0, 1, 2, 3};
    const int* rows = generated ? kGeneratedRows : kPairRows;
    for (int in = 0; in < 4; ++in) {
        for (int outRow = 0; outRow < 3; ++outRow) out[outRow][in] = rows[in] < 0 ? 0.0f : m.m[rows[in]][outRow];
        const int divisor = count >= 1 ? int(count) - 1 : 0;
        out[3][in] = projected ? (rows[in] < 0 ? 0.0f : m.m[rows[in]][divisor]) : (in == 3 ? 1.0f : 0.0f);
    }
}

} // namespace

uint32_t ActiveStages(const DeviceState& state, uint32_t units) {
    uint32_t n = 0;
    while (n < units && n < kMaxTextureStages && state.stageStates[n][kTssColorOp] != kTopDisable) ++n;
    return n;
}

void ApplyCombiner(const DeviceState& state, uint32_t stage) {
    const auto& s = state.stageStates[stage];
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    SetCombine(Operation(s[kTssColorOp], s[kTssColorArg1], s[kTssColorArg2], false), false);
    SetCombine(Operation(s[kTssAlphaOp], s[kTssAlphaArg1], s[kTssAlphaArg2], true), true);
    const uint32_t f = state.renderStates[kRsTextureFactor];
    const GLfloat factor[4] = {float((f >> 16) & 0xFF) / 255.0f, float((f >> 8) & 0xFF) / 255.0f,
                               float(f & 0xFF) / 255.0f, float(f >> 24) / 255.0f};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, factor);
}

void ApplySampler(const DeviceState& state, uint32_t stage) {
    const auto& s = state.stageStates[stage];
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, s[kTssMagFilter] == kTfgPoint ? GL_NEAREST : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLint(MinFilter(s[kTssMinFilter], s[kTssMipFilter])));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GLint(Wrap(s[kTssAddress])));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GLint(Wrap(s[kTssAddress])));
    const GLfloat black[4] = {0, 0, 0, 0};
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, black);
    glTexEnvf(GL_TEXTURE_FILTER_CONTROL, GL_TEXTURE_LOD_BIAS, std::bit_cast<float>(s[kTssMipMapLodBias]));
}

void ApplyCoordinates(const GlApi& gl, const DeviceState& state, uint32_t stage, bool pretransformed) {
    const auto& s = state.stageStates[stage];
    const uint32_t generation = pretransformed ? kTciPassThru : s[kTssTexCoordIndex] & 0xFFFF0000u;
    static constexpr GLenum kCoords[3] = {GL_S, GL_T, GL_R};
    static constexpr GLenum kGens[3] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R};
    static constexpr GLfloat kPlanes[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    glDisable(GL_TEXTURE_GEN_Q);
    for (int i = 0; i < 3; ++i) {
        if (generation == kTciPassThru) {
            glDisable(kGens[i]);
            continue;
        }
        const GLint mode = generation == kTciCameraSpaceNormal     ? GL_NORMAL_MAP
                           : generation == kTciCameraSpacePosition ? GL_EYE_LINEAR
                                                                   : GL_REFLECTION_MAP;
        glTexGeni(kCoords[i], GL_TEXTURE_GEN_MODE, mode);
        if (mode == GL_EYE_LINEAR) glTexGenfv(kCoords[i], GL_EYE_PLANE, kPlanes[i]);
        glEnable(kGens[i]);
    }
    glMatrixMode(GL_TEXTURE);
    const uint32_t flags = pretransformed ? kTtffDisable : s[kTssTextureTransformFlags];
    if (flags == kTtffDisable) {
        glLoadIdentity();
    } else {
        float m[4][4];
        TextureMatrix(state.transforms[kTransformTexture0 + stage], flags, generation != kTciPassThru, m);
        gl.LoadTransposeMatrixf(&m[0][0]);
    }
    glMatrixMode(GL_MODELVIEW);
}

} // namespace plat
