#include "image/texture_error.h"

uint32_t TextureLoadError = 0;
int TextureLoadOsError = 0;
int32_t TextureLoadDeviceResult = 0;

void TextureFail(uint32_t code) {
    if (TextureLoadError == kTextureOk) TextureLoadError = code;
}

namespace {
TextureDeviceErrorHook deviceErrorHook = nullptr;
} // namespace

void SetTextureDeviceErrorHook(TextureDeviceErrorHook hook) { deviceErrorHook = hook; }

void TextureReportDevice(int32_t result) {
    if (deviceErrorHook) deviceErrorHook(result);
}

void TextureFailDevice(int32_t result) {
    TextureLoadDeviceResult = result;
    TextureReportDevice(result);
    TextureFail(kTextureDirectDrawFailed);
}

const char* TextureErrorText(uint32_t code) {
    switch (code) {
    case kTextureOk: return "no error";
    case kTextureDirectDrawFailed: return "a device call failed";
    case kTextureBadParameters: return "bad parameter string";
    case kTextureNoFormat: return "no usable pixel format or no device ready for textures";
    case kTextureOpenFailed: return "the file could not be opened";
    case kTextureStreamFailed: return "the stream reported a failed or unsupported operation";
    case kTextureDataEnded: return "the data ended early";
    case kTextureUnsupported: return "unknown or unsupported image format";
    case kTextureBadImage: return "bad image: no size, a bad header value or pixel, or too many levels";
    case kTexturePaletteMismatch: return "the palette does not fit the pixel format";
    case kTextureSurfaceMismatch: return "the given surface does not match the image";
    case kTextureOddMipRect: return "a mip level needs a rectangle at an odd pixel";
    case kTextureBlockRect: return "a compressed image cut off its 4-pixel blocks";
    case kTexturePaletteCompressed: return "a palettized format was chosen for a compressed image";
    default: return "unknown error";
    }
}
