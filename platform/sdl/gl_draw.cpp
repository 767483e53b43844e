#include "platform/sdl/gl_draw.h"

#include <cmath>
#include <cstring>

#include "platform/d3d/d3dmath.h"
#include "platform/sdl/texture_stages.h"
#include "platform/sdl/vertex_layout.h"
#include "platform/sdl/vertex_lighting.h"

namespace plat {
namespace {

GLenum Mode(PrimitiveType type) {
    switch (type) {
    case kPtPointList: return GL_POINTS;
    case kPtLineList: return GL_LINES;
    case kPtLineStrip: return GL_LINE_STRIP;
    case kPtTriangleStrip: return GL_TRIANGLE_STRIP;
    case kPtTriangleFan: return GL_TRIANGLE_FAN;
    default: return GL_TRIANGLES;
    }
}

void LoadMatrix(const Matrix& m) { glLoadMatrixf(&m.m[0][0]); }

// Direct3D clip space to OpenGL's, for an image stored top row first: y
// turns over, depth 0..w becomes -w..w, and everything moves half a pixel
// right and down onto Direct3D's pixel centres. Row vectors, like the
// device's matrices.
Matrix ClipSpaceToGl(uint32_t width, uint32_t height) {
    Matrix c;
    c.m[0][0] = 1;
    c.m[1][1] = -1;
    c.m[2][2] = 2;
    c.m[3][0] = 1.0f / float(width);
    c.m[3][1] = 1.0f / float(height);
    c.m[3][2] = -1;
    c.m[3][3] = 1;
    return c;
}

// Pixels (x w, y w, z w, w) of a width x height target to OpenGL clip space,
// with the same half-pixel move.
Matrix PixelsToGl(uint32_t width, uint32_t height) {
    Matrix c;
    c.m[0][0] = 2.0f / float(width);
    c.m[1][1] = 2.0f / float(height);
    c.m[2][2] = 2;
    c.m[3][0] = 1.0f / float(width) - 1;
    c.m[3][1] = 1.0f / float(height) - 1;
    c.m[3][2] = -1;
    c.m[3][3] = 1;
    return c;
}

uint32_t ReadColour(const uint8_t* p) {
    uint32_t c;
    std::memcpy(&c, p, sizeof c);
    return c;
}

} // namespace

void GlDraw::Draw(const DeviceState& state, const DrawCall& draw, uint32_t width, uint32_t height, uint32_t stages,
                  FogSource fog) {
    const auto& rs = state.renderStates;
    const VertexLayout layout = LayoutOf(draw.fvf);
    const bool pre = layout.pretransformed;
    const uint32_t n = draw.vertexCount;
    const uint8_t* base = draw.vertices;
    const Viewport7& vp = state.viewport;

    // Transforms, viewport and clipping.
    glMatrixMode(GL_PROJECTION);
    LoadMatrix(pre ? PixelsToGl(width, height)
                   : MatrixMultiply(state.transforms[kTransformProjection], ClipSpaceToGl(vp.width, vp.height)));
    if (pre) {
        glViewport(0, 0, GLsizei(width), GLsizei(height));
        glDepthRange(0, 1);
    } else {
        glViewport(GLint(vp.x), GLint(vp.y), GLsizei(vp.width), GLsizei(vp.height));
        glDepthRange(vp.minZ, vp.maxZ);
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(GLint(vp.x), GLint(vp.y), GLsizei(vp.width), GLsizei(vp.height));
    glMatrixMode(GL_MODELVIEW);
    // OpenGL takes a clip plane in the coordinates of the modelview matrix
    // current when it is given: the view matrix makes them world space.
    LoadMatrix(state.transforms[kTransformView]);
    for (uint32_t i = 0; i < state.clipPlanes.size() && i < 32; ++i) {
        const bool on = !pre && (rs[kRsClipPlaneEnable] >> i & 1);
        on ? glEnable(GL_CLIP_PLANE0 + i) : glDisable(GL_CLIP_PLANE0 + i);
        if (!on) continue;
        const GLdouble plane[4] = {state.clipPlanes[i][0], state.clipPlanes[i][1], state.clipPlanes[i][2],
                                   state.clipPlanes[i][3]};
        glClipPlane(GL_CLIP_PLANE0 + i, plane);
    }
    glLoadIdentity();
    for (uint32_t unit = 0; unit < stages; ++unit) {
        gl_.ActiveTexture(GL_TEXTURE0 + unit);
        ApplyCoordinates(gl_, state, unit, pre);
    }
    gl_.ActiveTexture(GL_TEXTURE0);
    if (!pre) LoadMatrix(MatrixMultiply(state.transforms[kTransformWorld], state.transforms[kTransformView]));
    rs[kRsNormalizeNormals] ? glEnable(GL_NORMALIZE) : glDisable(GL_NORMALIZE);

    // Positions.
    glEnableClientState(GL_VERTEX_ARRAY);
    if (pre) {
        positions_.resize(size_t{n} * 4);
        for (uint32_t i = 0; i < n; ++i) {
            float v[4];
            std::memcpy(v, base + size_t{i} * layout.stride, sizeof v);
            const float w = v[3] > 0 && std::isfinite(v[3]) ? 1.0f / v[3] : 1.0f;
            positions_[i * 4 + 0] = v[0] * w;
            positions_[i * 4 + 1] = v[1] * w;
            positions_[i * 4 + 2] = v[2] * w;
            positions_[i * 4 + 3] = w;
        }
        glVertexPointer(4, GL_FLOAT, 0, positions_.data());
    } else {
        glVertexPointer(3, GL_FLOAT, GLsizei(layout.stride), base);
    }
    if (!pre && layout.normal >= 0) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, GLsizei(layout.stride), base + layout.normal);
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
    }

    // Colours: lit, or the vertices' own (white diffuse and black specular when absent).
    const uint8_t* diffuse = layout.diffuse >= 0 ? base + layout.diffuse : nullptr;
    const uint8_t* specular = layout.specular >= 0 ? base + layout.specular : nullptr;
    GLsizei colourStride = GLsizei(layout.stride);
    if (!pre && rs[kRsLighting]) {
        diffuse_.resize(n);
        specular_.resize(n);
        LightVertices(state, layout, base, n, diffuse_.data(), specular_.data());
        diffuse = reinterpret_cast<const uint8_t*>(diffuse_.data());
        specular = reinterpret_cast<const uint8_t*>(specular_.data());
        colourStride = 0;
    }
    if (diffuse) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, colourStride, diffuse);
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4ub(255, 255, 255, 255);
    }
    if (specular) {
        glEnableClientState(GL_SECONDARY_COLOR_ARRAY);
        gl_.SecondaryColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, colourStride, specular);
    } else {
        glDisableClientState(GL_SECONDARY_COLOR_ARRAY);
    }
    if (fog == FogSource::SpecularAlpha) {
        // The fog factor is the specular alpha (no fog without a specular colour).
        fogCoords_.resize(n);
        const size_t step = colourStride ? size_t(colourStride) : 4;
        for (uint32_t i = 0; i < n; ++i)
            fogCoords_[i] = specular ? 1.0f - float(ReadColour(specular + i * step) >> 24) / 255.0f : 0.0f;
        glEnableClientState(GL_FOG_COORDINATE_ARRAY);
        gl_.FogCoordPointer(GL_FLOAT, 0, fogCoords_.data());
    } else {
        glDisableClientState(GL_FOG_COORDINATE_ARRAY);
    }

    // Texture coordinates: the set each stage names.
    for (uint32_t unit = 0; unit < units_; ++unit) {
        gl_.ClientActiveTexture(GL_TEXTURE0 + unit);
        const uint32_t set = unit < stages ? state.stageStates[unit][kTssTexCoordIndex] & 0xFFFF : kMaxTextureStages;
        if (set < layout.texCoordSets) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, GLsizei(layout.stride), base + layout.texCoords[set]);
        } else {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
    }
    gl_.ClientActiveTexture(GL_TEXTURE0);

    if (draw.indices)
        glDrawElements(Mode(draw.type), GLsizei(draw.indexCount), GL_UNSIGNED_SHORT, draw.indices);
    else
        glDrawArrays(Mode(draw.type), 0, GLsizei(n));
}

} // namespace plat
