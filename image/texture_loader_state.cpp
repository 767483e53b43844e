#include "image/texture_loader_state.h"

#include "image/texture_error.h"

TextureLoaderState TextureLoader;

bool TextureLoaderReady() {
    const TextureLoaderState& s = TextureLoader;
    if (s.candidate.Valid() && s.current.Valid() && s.directDraw && (s.deviceFlags & TextureLoaderState::kDeviceReady)) return true;
    TextureFail(kTextureNoFormat);
    return false;
}
