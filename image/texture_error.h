#pragma once
// The texture loader's error codes. A load that fails returns null and leaves
// its code in TextureLoadError; a successful load leaves 0.

#include <cstdint>

enum TextureErrorCode : uint32_t {
    kTextureOk = 0,
    kTextureDirectDrawFailed = 1, // a device call failed (its result is in TextureLoadDeviceResult)
    kTextureBadParameters = 2,
    kTextureNoFormat = 3,         // no usable pixel format, no device object, or a device not ready for textures
    kTextureOpenFailed = 4,       // the file could not be opened (system error in TextureLoadOsError)
    kTextureStreamFailed = 5,     // the stream reported an unsupported or failed operation
    kTextureDataEnded = 6,
    kTextureUnsupported = 7,      // no reader for the file's first bytes, or a variant the reader does not read
    kTextureBadImage = 8,         // no width or height, a bad header value or pixel, or too many stored levels
    kTexturePaletteMismatch = 9,  // the palette does not fit the palettized format, or there is none
    kTextureSurfaceMismatch = 11, // a given surface does not match the image
    kTextureOddMipRect = 12,      // a further mip level needs a rectangle at an odd pixel
    kTextureBlockRect = 13,       // a compressed image cut at a rectangle off its 4-pixel blocks
    kTexturePaletteCompressed = 14,
};

// The last load's code, the system error kept with codes 4 and 5, and the last
// failing device result kept with code 1.
extern uint32_t TextureLoadError;
extern int TextureLoadOsError;
extern int32_t TextureLoadDeviceResult;

// Sets the code unless an earlier failure of the same load already set one:
// the first failure is the one reported.
void TextureFail(uint32_t code);

// Failed device calls of a load go to this hook: the engine installs its error
// report at start-up; until then they are only kept.
using TextureDeviceErrorHook = void (*)(int32_t result);
void SetTextureDeviceErrorHook(TextureDeviceErrorHook hook);
// Passes a failed device result to the hook.
void TextureReportDevice(int32_t result);
// Fails the load with error 1, keeping the result and reporting it.
void TextureFailDevice(int32_t result);

// A one-line meaning of a code, for tools and logs.
const char* TextureErrorText(uint32_t code);
