// The thirteen built-in particle types.

#include <cmath>

#include "Awapi/aw3d/render_material.h"
#include "Awapi/particles.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "platform/d3d/d3d_types.h"

namespace {

struct Preset {
    float u0, u1, v0, v1;
    bool additive;
    bool diffuseOnly;
    int32_t colourMode;
    float birthAlpha;
    float width, height;
    Vector3 walk, accel;
    float wind;
    bool spin;
    Vector3 spread;
    float life, variation;
    Vector3 childSpread;
    float childGravityY, childSeconds, extra;
};

constexpr Vector3 kZero{0, 0, 0};

// clang-format off
constexpr Preset kPresets[kParticleTypeCount] = {
    {0.5596f, 0.6729f, 0.8096f, 0.9150f, false, false, 1, 128, 0.35f, 0.35f, {0.6f, -0.08f, 0.6f}, kZero, 0.3f, true, kZero, 2.5f, 0.5f, kZero, 0, 2.5f, 0},
    {0.5596f, 0.6729f, 0.8096f, 0.9150f, false, false, 1, 128, 0.4f, 0.4f, {1, -0.2f, 1}, {0, -1, 0}, 1, true, kZero, 2, 0.5f, kZero, 0, 2, 0},
    {0.0186f, 0.0381f, 0.0674f, 0.0850f, false, false, 1, 128, 0.2f, 0.2f, {0.5f, -1, 0.5f}, {0, 9, 0}, 1, true, kZero, 15, 0, kZero, 9.81f, 15, 0},
    {0.7705f, 0.9229f, 0.7764f, 0.9326f, true, false, 1, 255, 0.45f, 0.45f, {0.9f, -0.1f, 0.9f}, {0, -0.7f, 0}, 0.1f, true, kZero, 2, 0.5f, kZero, 0, 2, 0},
    {0.7803f, 0.9189f, 0.7803f, 0.9248f, true, false, 1, 255, 0.15f, 0.15f, {0.1f, -0.1f, 0.1f}, kZero, 0, true, kZero, 0.25f, 0, {5, 5, 5}, 0, 0.25f, 0},
    {0.3213f, 0.3643f, 0.2822f, 0.3232f, true, false, 2, 255, 0.35f, 0.35f, {0.1f, -0.08f, 0.1f}, {0, 0.7f, 0}, 0, true, kZero, 1.5f, 0.5f, {4, -4, 4}, 9.81f, 1.5f, 0},
    {0.3975f, 0.5400f, 0.0635f, 0.2080f, true, false, 2, 255, 2, 2, kZero, kZero, 0, true, {2.5f, -2.5f, 2.5f}, 0.5f, 0, kZero, 0, 0.5f, 0},
    {0.5889f, 0.6709f, 0.6338f, 0.7178f, true, false, 0, 255, 0.75f, 0.75f, kZero, kZero, 0, false, kZero, 1, 0, kZero, 0, 1, 0},
    {0.5889f, 0.6709f, 0.6338f, 0.7178f, true, false, 1, 255, 0.75f, 0.75f, kZero, kZero, 0, false, kZero, 0.3f, 0, kZero, 0, 0.3f, 0},
    {0.2373f, 0.2822f, 0.0225f, 0.4346f, false, false, 1, 255, 0.2f, 0.2f, kZero, kZero, 0, true, kZero, 1.5f, 0.2f, {6, -8, 6}, 6, 7, 10},
    {0.0596f, 0.0791f, 0.0010f, 0.7256f, true, false, 1, 255, 0.2f, 0.2f, kZero, kZero, 0, true, kZero, 1.2f, 0.1f, {6, -8, 6}, 6, 7, 3},
    {0.0010f, 0.0166f, 0.0674f, 0.0947f, false, true, 0, 0, 0, 1.5f, {0.1f, -0.1f, 0.1f}, {0, 30, 0}, 1, true, kZero, 25, 0, kZero, 9.81f, 25, 1.5f},
    {0.0010f, 0.0166f, 0.0674f, 0.0947f, false, true, 0, 0, 1.5f, 1.5f, kZero, {0, 9.81f, 0}, 0.2f, true, {3, -3, 3}, 10, 0.2f, {3, -3, 3}, 9.81f, 10, 0.1f},
};
// clang-format on

// The table's coordinates are whole 1/1024ths of the texture.
float TexelFraction(float value) { return static_cast<float>(std::lround(value * 1024.0)) / 1024.0f; }

// The nearest 16.16 value at or below.
int32_t Fixed(float seconds) { return FloorToInt(static_cast<double>(seconds) * 65536.0); }

RenderMaterial* MakeMaterial(const Preset& preset, AwTexture* texture) {
    auto* material = new RenderMaterial;
    material->AlphaBlend = 1;
    material->SrcBlend = plat::kBlendSrcAlpha;
    material->DestBlend = preset.additive ? plat::kBlendOne : plat::kBlendInvSrcAlpha;
    TextureStageState& stage = material->Stages[0];
    stage.Texture = texture;
    const uint32_t op = preset.diffuseOnly ? plat::kTopSelectArg2 : plat::kTopModulate;
    stage.ColorOp = stage.AlphaOp = op;
    stage.ColorArg1 = stage.AlphaArg1 = plat::kTaTexture;
    stage.ColorArg2 = stage.AlphaArg2 = plat::kTaDiffuse;
    material->RecordStateBlock();
    return material;
}

} // namespace

void AwParticleType::Setup(int index, AwTexture* texture) {
    const Preset& p = kPresets[index];
    const float t = CurrentTicksPerSecondFloat();
    const float perTickSquared = 1.0f / (t * t);
    pixelWidth = pixelHeight = 0.0f;
    texU0 = TexelFraction(p.u0);
    texU1 = TexelFraction(p.u1);
    texV0 = TexelFraction(p.v0);
    texV1 = TexelFraction(p.v1);
    material = MakeMaterial(p, texture);
    defaultColourMode = p.colourMode;
    typeIndex = index;
    firstEmitter = nullptr;
    walkPerSecond = p.walk;
    accelPerSecond = p.accel;
    walkPerTick = p.walk * FastInvSqrt(t);
    accelPerTick = p.accel * perTickSquared;
    childGravity = {0, p.childGravityY, 0};
    childGravityPerTick = childGravity * perTickSquared;
    halfAccelPerTick = accelPerTick * 0.5f;
    birthAlpha = p.birthAlpha;
    widthFactor = p.width;
    heightFactor = p.height;
    ownMaterial = true;
    extra = p.extra;
    windFactor = p.wind;
    randomSpin = p.spin;
    spreadPerSecond = p.spread;
    life = Fixed(p.life);
    lifeVariation = Fixed(p.variation);
    childSpread = p.childSpread;
    childDuration = p.childSeconds;
}
