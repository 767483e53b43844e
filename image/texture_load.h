#pragma once
// The texture loader's entry: an image file, open file, memory block or kept
// decoded image turned into texture surfaces, described by a string of
// parameter letters and their arguments (see texture_params.h), e.g.
//
//   TextureLoad("sfWHOXOYA", "wall.qim", kTexColourKey | kTexStaged, &w, &h, &iw, &ih, &alpha);
//
// Returns the texture with one reference for the caller, or null with the
// reason in TextureLoadError (a successful call leaves 0). With a rectangle
// array (a) the textures are in the records and null is returned on success
// too. The image is recognised by its first bytes, never by its name.

#include <cstddef>

#include "image/texture_params.h"

namespace plat {
class Surface;
}

plat::Surface* TextureLoadArgs(const char* letters, const TextureLoadArg* args, size_t count);

template <class... Args> plat::Surface* TextureLoad(const char* letters, Args... args) {
    const TextureLoadArg list[] = {TextureLoadArg(args)..., TextureLoadArg()};
    return TextureLoadArgs(letters, list, sizeof...(Args));
}
