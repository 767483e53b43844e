#include "platform/sdl/vertex_lighting.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/d3d/d3dmath.h"

namespace plat {
namespace {

struct Vec {
    float x = 0, y = 0, z = 0;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(Vec a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Normalized(Vec v) {
    const float length = std::sqrt(Dot(v, v));
    return length > 0 ? v * (1.0f / length) : v;
}

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};
Rgba operator+(Rgba p, Rgba q) { return {p.r + q.r, p.g + q.g, p.b + q.b, p.a + q.a}; }
Rgba operator*(Rgba p, Rgba q) { return {p.r * q.r, p.g * q.g, p.b * q.b, p.a * q.a}; }
Rgba operator*(Rgba p, float s) { return {p.r * s, p.g * s, p.b * s, p.a * s}; }
Rgba FromValue(const ColorValue& c) { return {c.r, c.g, c.b, c.a}; }
Rgba FromArgb(uint32_t c) {
    return {float((c >> 16) & 0xFF) / 255.0f, float((c >> 8) & 0xFF) / 255.0f, float(c & 0xFF) / 255.0f,
            float(c >> 24) / 255.0f};
}
uint32_t Channel(float v) { return v > 0 ? uint32_t(std::lround(std::min(v, 1.0f) * 255.0f)) : 0; }
uint32_t ToArgb(Rgba c) { return Channel(c.a) << 24 | Channel(c.r) << 16 | Channel(c.g) << 8 | Channel(c.b); }

Vec ReadVec(const uint8_t* p) {
    Vec v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
uint32_t ReadColour(const uint8_t* p) {
    uint32_t c;
    std::memcpy(&c, p, sizeof c);
    return c;
}

// Row vector times matrix: a point (w = 1) or a direction (w = 0).
Vec TransformPoint(Vec v, const Matrix& m) {
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + m.m[3][0],
            v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + m.m[3][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + m.m[3][2]};
}
Vec TransformDirection(Vec v, const Matrix& m) {
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0], v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

// The matrix that carries normals: the inverse transpose of the transform
// (the transform itself when it has no inverse).
Matrix NormalMatrix(const Matrix& m) {
    Matrix inverse;
    if (!MatrixInverse(m, &inverse)) return m;
    Matrix t;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) t.m[i][j] = inverse.m[j][i];
    return t;
}

// A light brought into camera space with what its terms need.
struct CameraLight {
    const Light7* light = nullptr;
    Vec position;    // point and spot
    Vec toLight;     // directional: the unit vector towards the light
    Vec spotAxis;    // spot: the unit vector from the light along its beam
    float cosHalfTheta = 1, cosHalfPhi = 1;
};

// The share of a point or spot light that reaches a point at distance d.
float Attenuation(const Light7& light, float d) {
    const float denominator = light.attenuation0 + light.attenuation1 * d + light.attenuation2 * d * d;
    return denominator > 0 ? 1.0f / denominator : 1.0f;
}

float SpotFactor(const CameraLight& c, Vec toLight) {
    const float rho = Dot(c.spotAxis * -1.0f, toLight);
    if (rho > c.cosHalfTheta) return 1.0f;
    if (rho <= c.cosHalfPhi) return 0.0f;
    const float t = (rho - c.cosHalfPhi) / (c.cosHalfTheta - c.cosHalfPhi);
    return c.light->falloff == 1.0f ? t : std::pow(t, c.light->falloff);
}

// The colour a material source names for a vertex.
Rgba Source(uint32_t source, const ColorValue& material, const VertexLayout& layout, const uint8_t* vertex,
            bool colourVertex) {
    if (colourVertex && source == kMcsColor1 && layout.diffuse >= 0) return FromArgb(ReadColour(vertex + layout.diffuse));
    if (colourVertex && source == kMcsColor2 && layout.specular >= 0)
        return FromArgb(ReadColour(vertex + layout.specular));
    return FromValue(material);
}

} // namespace

void LightVertices(const DeviceState& state, const VertexLayout& layout, const uint8_t* vertices, uint32_t count,
                   uint32_t* diffuseOut, uint32_t* specularOut) {
    const auto& rs = state.renderStates;
    const Matrix& view = state.transforms[kTransformView];
    const Matrix worldView = MatrixMultiply(state.transforms[kTransformWorld], view);
    const Matrix normalMatrix = NormalMatrix(worldView);
    const bool normalize = rs[kRsNormalizeNormals] != 0;
    const bool specularOn = rs[kRsSpecularEnable] != 0;
    const bool localViewer = rs[kRsLocalViewer] != 0;
    const bool colourVertex = rs[kRsColorVertex] != 0;
    const Material7& material = state.material;
    const Rgba globalAmbient = FromArgb(rs[kRsAmbient]);

    std::vector<CameraLight> lights;
    for (const LightSlot& slot : state.lights) {
        if (!slot.enabled) continue;
        const Light7& l = slot.light;
        CameraLight c;
        c.light = &l;
        const Vec direction = Normalized(TransformDirection({l.direction.x, l.direction.y, l.direction.z}, view));
        if (l.type == kLightDirectional) {
            c.toLight = direction * -1.0f;
        } else {
            c.position = TransformPoint({l.position.x, l.position.y, l.position.z}, view);
            c.spotAxis = direction;
            c.cosHalfTheta = std::cos(l.theta * 0.5f);
            c.cosHalfPhi = std::cos(l.phi * 0.5f);
        }
        lights.push_back(c);
    }

    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* v = vertices + size_t{i} * layout.stride;
        const Vec position = TransformPoint(ReadVec(v), worldView);
        Vec normal = layout.normal >= 0 ? TransformDirection(ReadVec(v + layout.normal), normalMatrix) : Vec{};
        if (normalize) normal = Normalized(normal);
        // Towards a viewer at the camera, or at infinity straight ahead of it.
        const Vec toViewer = localViewer ? Normalized(position * -1.0f) : Vec{0, 0, -1};

        Rgba ambient = globalAmbient, diffuse, specular;
        for (const CameraLight& c : lights) {
            const Light7& l = *c.light;
            Vec toLight = c.toLight;
            float share = 1.0f;
            if (l.type != kLightDirectional) {
                const Vec offset = c.position - position;
                const float d = std::sqrt(Dot(offset, offset));
                if (d > l.range) continue;
                toLight = d > 0 ? offset * (1.0f / d) : Vec{};
                share = Attenuation(l, d);
                if (l.type == kLightSpot) share *= SpotFactor(c, toLight);
            }
            ambient = ambient + FromValue(l.ambient) * share;
            const float nDotL = Dot(normal, toLight);
            if (nDotL <= 0) continue;
            diffuse = diffuse + FromValue(l.diffuse) * (nDotL * share);
            if (specularOn) {
                const float nDotH = Dot(normal, Normalized(toViewer + toLight));
                if (nDotH > 0) specular = specular + FromValue(l.specular) * (std::pow(nDotH, material.power) * share);
            }
        }

        const Rgba cd = Source(rs[kRsDiffuseMaterialSource], material.diffuse, layout, v, colourVertex);
        const Rgba cs = Source(rs[kRsSpecularMaterialSource], material.specular, layout, v, colourVertex);
        const Rgba ce = Source(rs[kRsEmissiveMaterialSource], material.emissive, layout, v, colourVertex);
        Rgba lit = ce + FromValue(material.ambient) * ambient + cd * diffuse;
        lit.a = cd.a;
        Rgba shine = cs * specular;
        shine.a = 1.0f;
        diffuseOut[i] = ToArgb(lit);
        specularOut[i] = ToArgb(shine);
    }
}

} // namespace plat
