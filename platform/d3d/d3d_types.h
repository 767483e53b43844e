#pragma once
// Direct3D 7 shaped records, state identifiers and values (the numbers of the
// original interface).

#include <cstdint>

#include "platform/d3d/ddraw_types.h"

namespace plat {

// D3DMATRIX: row vectors (p' = p x M), translation in row 3; m[row][column].
struct Matrix {
    float m[4][4] = {};
};

struct D3dVector {
    float x = 0, y = 0, z = 0;
};

struct ColorValue {
    float r = 0, g = 0, b = 0, a = 0;
};

// D3DVIEWPORT7. MinZ may exceed MaxZ: the depth range is then reversed.
struct Viewport7 {
    uint32_t x = 0, y = 0, width = 0, height = 0;
    float minZ = 0, maxZ = 1;
};

// D3DCLIPSTATUS.
struct ClipStatus {
    uint32_t flags = 0;
    uint32_t status = 0;
    float minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;
};
constexpr uint32_t kClipStatusStatus = 0x1;
constexpr uint32_t kClipStatusExtents2 = 0x2;
constexpr uint32_t kClipStatusExtents3 = 0x4;

enum LightType : uint32_t { kLightPoint = 1, kLightSpot = 2, kLightDirectional = 3 };

// D3DLIGHT7.
struct Light7 {
    LightType type = kLightDirectional;
    ColorValue diffuse, specular, ambient;
    D3dVector position, direction;
    float range = 0, falloff = 0;
    float attenuation0 = 0, attenuation1 = 0, attenuation2 = 0;
    float theta = 0, phi = 0;
};

// D3DMATERIAL7.
struct Material7 {
    ColorValue diffuse, ambient, specular, emissive;
    float power = 0;
};

enum TransformState : uint32_t {
    kTransformWorld = 1,
    kTransformView = 2,
    kTransformProjection = 3,
    kTransformTexture0 = 16,
    kTransformTexture7 = 23,
};

enum PrimitiveType : uint32_t {
    kPtPointList = 1,
    kPtLineList = 2,
    kPtLineStrip = 3,
    kPtTriangleList = 4,
    kPtTriangleStrip = 5,
    kPtTriangleFan = 6,
};

// The render states the engine sets (D3DRENDERSTATE_*).
enum RenderState : uint32_t {
    kRsAntialias = 2,
    kRsTexturePerspective = 4,
    kRsZEnable = 7,
    kRsFillMode = 8,
    kRsShadeMode = 9,
    kRsLinePattern = 10,
    kRsZWriteEnable = 14,
    kRsAlphaTestEnable = 15,
    kRsLastPixel = 16,
    kRsSrcBlend = 19,
    kRsDestBlend = 20,
    kRsCullMode = 22,
    kRsZFunc = 23,
    kRsAlphaRef = 24,
    kRsAlphaFunc = 25,
    kRsDitherEnable = 26,
    kRsAlphaBlendEnable = 27,
    kRsFogEnable = 28,
    kRsSpecularEnable = 29,
    kRsZVisible = 30,
    kRsStippledAlpha = 33,
    kRsFogColor = 34,
    kRsFogTableMode = 35,
    kRsFogStart = 36, // floats travel as their bit patterns
    kRsFogEnd = 37,
    kRsFogDensity = 38,
    kRsEdgeAntialias = 40,
    kRsColorKeyEnable = 41,
    kRsZBias = 47,
    kRsRangeFogEnable = 48,
    kRsFlushBatch = 50,
    kRsStencilEnable = 52,
    kRsStencilFail = 53,
    kRsStencilZFail = 54,
    kRsStencilPass = 55,
    kRsStencilFunc = 56,
    kRsStencilRef = 57,
    kRsStencilMask = 58,
    kRsStencilWriteMask = 59,
    kRsTextureFactor = 60,
    kRsWrap0 = 128,
    kRsWrap7 = 135,
    kRsClipping = 136,
    kRsLighting = 137,
    kRsExtents = 138,
    kRsAmbient = 139,
    kRsFogVertexMode = 140,
    kRsColorVertex = 141,
    kRsLocalViewer = 142,
    kRsNormalizeNormals = 143,
    kRsColorKeyBlendEnable = 144,
    kRsDiffuseMaterialSource = 145,
    kRsSpecularMaterialSource = 146,
    kRsEmissiveMaterialSource = 148,
    kRsVertexBlend = 151,
    kRsClipPlaneEnable = 152,
};
constexpr uint32_t kRenderStateCount = 153; // one past the highest state number

// Texture-stage states (D3DTSS_*).
enum TextureStageStateType : uint32_t {
    kTssColorOp = 1,
    kTssColorArg1 = 2,
    kTssColorArg2 = 3,
    kTssAlphaOp = 4,
    kTssAlphaArg1 = 5,
    kTssAlphaArg2 = 6,
    kTssTexCoordIndex = 11,
    kTssAddress = 12,
    kTssMagFilter = 16,
    kTssMinFilter = 17,
    kTssMipFilter = 18,
    kTssMipMapLodBias = 19,
    kTssMaxAnisotropy = 21,
    kTssTextureTransformFlags = 24,
};
constexpr uint32_t kTextureStageStateCount = 25;
constexpr uint32_t kMaxTextureStages = 8;

// D3DCMPFUNC.
constexpr uint32_t kCmpNever = 1, kCmpLess = 2, kCmpEqual = 3, kCmpLessEqual = 4;
constexpr uint32_t kCmpGreater = 5, kCmpNotEqual = 6, kCmpGreaterEqual = 7, kCmpAlways = 8;
// D3DBLEND (1 zero .. 13 both-inverse-source-alpha).
constexpr uint32_t kBlendZero = 1, kBlendOne = 2, kBlendSrcColor = 3, kBlendInvSrcColor = 4;
constexpr uint32_t kBlendSrcAlpha = 5, kBlendInvSrcAlpha = 6, kBlendBothInvSrcAlpha = 13;
// D3DCULL, D3DFILLMODE, D3DSHADEMODE.
constexpr uint32_t kCullNone = 1, kCullCw = 2, kCullCcw = 3;
constexpr uint32_t kFillPoint = 1, kFillWireframe = 2, kFillSolid = 3;
constexpr uint32_t kShadeFlat = 1, kShadeGouraud = 2, kShadePhong = 3;
// D3DSTENCILOP.
constexpr uint32_t kStencilOpKeep = 1, kStencilOpZero = 2, kStencilOpReplace = 3, kStencilOpIncrSat = 4;
constexpr uint32_t kStencilOpDecrSat = 5, kStencilOpInvert = 6, kStencilOpIncr = 7, kStencilOpDecr = 8;
// D3DFOGMODE, D3DMATERIALCOLORSOURCE, D3DZBUFFERTYPE.
constexpr uint32_t kFogNone = 0, kFogLinear = 3;
constexpr uint32_t kMcsMaterial = 0, kMcsColor1 = 1, kMcsColor2 = 2;
constexpr uint32_t kZbFalse = 0, kZbTrue = 1, kZbUseW = 2;

// D3DTEXTUREOP (1 disable .. 24 dot product).
constexpr uint32_t kTopDisable = 1, kTopSelectArg1 = 2, kTopSelectArg2 = 3, kTopModulate = 4;
constexpr uint32_t kTopAdd = 7, kTopBlendTextureAlpha = 13, kTopBlendCurrentAlpha = 16, kTopDotProduct3 = 24;
// D3DTA_* arguments.
constexpr uint32_t kTaDiffuse = 0, kTaCurrent = 1, kTaTexture = 2, kTaTFactor = 3, kTaSpecular = 4;
constexpr uint32_t kTaSelectMask = 0xF, kTaComplement = 0x10, kTaAlphaReplicate = 0x20;
// Filters: magnification (D3DTFG), minification (D3DTFN), mip (D3DTFP).
constexpr uint32_t kTfgPoint = 1, kTfgLinear = 2, kTfgFlatCubic = 3, kTfgGaussianCubic = 4, kTfgAnisotropic = 5;
constexpr uint32_t kTfnPoint = 1, kTfnLinear = 2, kTfnAnisotropic = 3;
constexpr uint32_t kTfpNone = 1, kTfpPoint = 2, kTfpLinear = 3;
// D3DTEXTUREADDRESS.
constexpr uint32_t kTaddressWrap = 1, kTaddressMirror = 2, kTaddressClamp = 3, kTaddressBorder = 4;
// D3DTEXTURETRANSFORMFLAGS.
constexpr uint32_t kTtffDisable = 0, kTtffCount1 = 1, kTtffCount2 = 2, kTtffCount4 = 4, kTtffProjected = 256;
// Texture-coordinate generation, OR-ed into TEXCOORDINDEX.
constexpr uint32_t kTciPassThru = 0, kTciCameraSpaceNormal = 0x10000;
constexpr uint32_t kTciCameraSpacePosition = 0x20000, kTciCameraSpaceReflectionVector = 0x30000;

// Clear flags.
constexpr uint32_t kClearTarget = 0x1, kClearZBuffer = 0x2, kClearStencil = 0x4;

// Flexible vertex format bits.
constexpr uint32_t kFvfXyz = 0x2;
constexpr uint32_t kFvfXyzRhw = 0x4;
constexpr uint32_t kFvfPositionMask = 0xE;
constexpr uint32_t kFvfNormal = 0x10;
constexpr uint32_t kFvfDiffuse = 0x40;
constexpr uint32_t kFvfSpecular = 0x80;
constexpr uint32_t kFvfTexCountMask = 0xF00;
constexpr uint32_t kFvfTexCountShift = 8;
constexpr uint32_t kFvfTex1 = 0x100;

// Vertex buffers: D3DVBCAPS_*, ProcessVertices operations (D3DVOP_*).
struct VertexBufferDesc {
    uint32_t caps = 0;
    uint32_t fvf = 0;
    uint32_t numVertices = 0;
};
constexpr uint32_t kVbCapsDoNotClip = 0x1;
constexpr uint32_t kVbCapsSystemMemory = 0x800;
constexpr uint32_t kVbCapsWriteOnly = 0x10000;
constexpr uint32_t kVbCapsOptimized = 0x80000000;
constexpr uint32_t kVopTransform = 0x1;

// D3DPRIMCAPS: the parts the layer fills.
struct PrimCaps {
    uint32_t textureCaps = 0;
    uint32_t textureFilterCaps = 0;
};
// D3DPTEXTURECAPS_*.
constexpr uint32_t kPtextureCapsPerspective = 0x1;
constexpr uint32_t kPtextureCapsPow2 = 0x2;
constexpr uint32_t kPtextureCapsAlpha = 0x4;
constexpr uint32_t kPtextureCapsSquareOnly = 0x20;
// D3DPTFILTERCAPS_*.
constexpr uint32_t kPtFilterCapsMinfPoint = 0x100;
constexpr uint32_t kPtFilterCapsMinfLinear = 0x200;
constexpr uint32_t kPtFilterCapsMinfAnisotropic = 0x400;
constexpr uint32_t kPtFilterCapsMipfPoint = 0x10000;
constexpr uint32_t kPtFilterCapsMipfLinear = 0x20000;
constexpr uint32_t kPtFilterCapsMagfPoint = 0x1000000;
constexpr uint32_t kPtFilterCapsMagfLinear = 0x2000000;
constexpr uint32_t kPtFilterCapsMagfAnisotropic = 0x4000000;

// D3DDEVCAPS_*.
constexpr uint32_t kDevCapsFloatTlVertex = 0x10;
constexpr uint32_t kDevCapsTextureSystemMemory = 0x100;
constexpr uint32_t kDevCapsTextureVideoMemory = 0x200;
constexpr uint32_t kDevCapsDrawPrimTlVertex = 0x400;
constexpr uint32_t kDevCapsTextureNonLocalVidMem = 0x1000;
constexpr uint32_t kDevCapsSeparateTextureMemories = 0x4000;
constexpr uint32_t kDevCapsHwTransformAndLight = 0x10000;
constexpr uint32_t kDevCapsHwRasterization = 0x80000;

// D3DSTENCILCAPS_*: bit (op - 1) for each D3DSTENCILOP.
constexpr uint32_t StencilCapBit(uint32_t op) { return 1u << (op - 1); }
// D3DTEXOPCAPS_*: bit (op - 1) for each D3DTEXTUREOP.
constexpr uint32_t TextureOpCapBit(uint32_t op) { return 1u << (op - 1); }

// D3DDEVICEDESC7: the capabilities the engine reads.
struct DeviceDesc7 {
    uint32_t devCaps = 0;
    PrimCaps lineCaps, triCaps;
    uint32_t deviceRenderBitDepth = 0; // DDBD_*
    uint32_t deviceZBufferBitDepth = 0;
    uint32_t minTextureWidth = 0, minTextureHeight = 0;
    uint32_t maxTextureWidth = 0, maxTextureHeight = 0;
    uint32_t maxAnisotropy = 0;
    uint32_t stencilCaps = 0;
    uint32_t textureOpCaps = 0;
    uint16_t maxTextureBlendStages = 0;
    uint16_t maxSimultaneousTextures = 0;
    uint32_t maxActiveLights = 0;
    Guid deviceGuid;
    uint16_t maxUserClipPlanes = 0;
};

} // namespace plat
