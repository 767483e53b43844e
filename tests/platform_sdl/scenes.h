#pragma once
// Small frames drawn through the device interface. The OpenGL tests read
// their pixels back; the null backend runs the same frames and records them.

#include <functional>
#include <string>
#include <vector>

#include "tests/platform_sdl/display.h"

// Colours the scenes use.
constexpr uint32_t kBlack = 0xFF000000, kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;

// Blue everywhere, then a red square over pixels 8..15.
void ClearScene(Display& d);
// A 2 x 2 texture (green, blue / red, white) over the target, modulated by grey.
void ModulatedTextureScene(Display& d);
// A 2 x 1 texture of alpha 30 and 31, alpha-tested against 31 (greater or equal), over black.
void AlphaTestScene(Display& d);
// Red of alpha 0x80 blended by its source alpha over blue.
void BlendScene(Display& d);
// A quad at depth 0.5 with normals towards the camera, lit by the light, with
// a white material and the global ambient colour; a specular power above 0
// turns on white specular highlights of that power.
void LitQuadScene(Display& d, const plat::Light7& light, uint32_t ambient, float specularPower = 0);
// A green quad lit by a white light straight at it; its diffuse colour is
// the material's (white) or, with vertex colours on, the vertices' green.
void VertexColourLitScene(Display& d, bool colourVertex);
// A pre-transformed quad whose right edge is four times as far as its left
// (rhw 1 to 0.25), textured black | white along u.
void PerspectiveScene(Display& d);
// A stencil shadow pass over black: increment over pixels 0..31, decrement
// (saturating) over 16..47, then red where the stencil is not 0.
void StencilScene(Display& d);
// A green quad moved up by the world transform and back down by the view,
// cut by the world-space plane y >= 0.5.
void ClipPlaneScene(Display& d);
// A reversed depth range: red at z 0.2 then green at z 0.8, greater-or-equal.
void ReversedDepthScene(Display& d);
// A red pre-transformed quad over 0.5 .. 4.5 on black.
void PixelCentreScene(Display& d);
// Black | white shifted by half the texture through the texture transform.
void TextureTransformScene(Display& d);
// Two quads whose normals lean left (-0.6, 0, -0.8) and right (0.6, 0, -0.8),
// textured black | white by their camera-space normals mapped to 0..1.
void NormalTexgenScene(Display& d);
// Red modulated by white in stage 0, then stage 1 blends blue of alpha 0x40
// in by its texture alpha, from the second coordinate set.
void TwoStageScene(Display& d);

struct SceneEntry {
    std::string name;
    std::function<void(Display&)> draw;
    size_t draws;
};
// Every scene above, with the draws it makes.
const std::vector<SceneEntry>& AllScenes();
