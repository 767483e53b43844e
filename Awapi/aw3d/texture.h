#pragma once
// One texture of the engine: a record named by its file, owned by the texture
// manager, with its surface once loaded.

#include <cstdint>
#include <string>

#include "core/list.h"

class ImageSource;
namespace plat {
class Surface;
}

// Texture coordinates of a texture with this flag are clamped, not wrapped.
constexpr uint32_t kTextureClamp = 0x2000;

struct AwTexture {
    plat::Surface* Surface = nullptr;
    ImageSource* Source = nullptr; // kept with the texture; released with the surface
    uint32_t Width = 0, Height = 0;           // surface size after fitting
    uint32_t ImageWidth = 0, ImageHeight = 0; // image size in the file
    uint32_t AlphaBits = 0;
    int32_t RefCount = 1;
    int32_t KeepCount = 0;     // while nonzero a purge keeps the record
    int32_t TextureMemory = 0; // bytes of texture memory the load took
    bool InVideoMemory = false;
    uint32_t Flags = 0;
    std::string Name;          // a name beginning with a blank is never loaded from a file
    std::string Directory;     // the current directory at the first load; empty before
    ListLink<AwTexture> Recent{this};
};

// Drops one reference of a user of the texture; the count never goes below zero.
inline void ReleaseUseCount(AwTexture* texture) {
    if (texture->RefCount > 0) --texture->RefCount;
}
