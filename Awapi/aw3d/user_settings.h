#pragma once
// The device fields of the user's settings. The front end loads and saves
// them with the rest of its settings and writes them here; the engine reads
// them and writes only TextureReduction.

#include <cstdint>

struct AwUserSettings {
    int32_t TripleBuffering = 0;
    int32_t TrueColourTextures = 0;
    int32_t ZBufferDepthLimit = 32;
    int32_t TextureReduction = 0;
    int32_t DisplayDepthLimit = 2; // full-screen depth at most 16 + 8 x this
    int32_t Mipmapping = 0;
    int32_t AnisotropicFiltering = 0;
    int32_t MipmappedTextures = 1;
    int32_t TextureDetail = 0;     // mip levels to skip when loading
};

extern AwUserSettings UserSettings;
