#pragma once
// The texture loader's parameters: a string of letters, each taking its
// arguments in order from the list that follows it.
//
//   s name        read the named file            h file   read an open file from its position
//   p memory      read a memory block (needs x)  r source build from an image kept by B
//   x bytes       read at most this many bytes   N out    receives the bytes the image used
//   f flags       option flags (below)           W, H out receive the texture's size
//   OX, OY out    receive the image's size       B out    receives the decoded image
//   t surface     load into this surface         a count, rects   one texture per rectangle
//   t (after a)   the rectangles' textures are given, no argument
//   c fn, ctx     kept, never called             m levels stored levels to skip
//   n side        largest side wanted            A out    receives the format's alpha bits
//
// A bare X or Y is skipped. Any other character, a letter given twice, a
// letter that conflicts with an earlier one, an argument of the wrong kind or
// a missing argument is a fault: the parse stops and the load fails with
// error 2, as it does without a source.

#include <cstddef>
#include <cstdint>

class ImageSource;
namespace plat {
class File;
class Surface;
} // namespace plat

// Option flags (f).
constexpr uint32_t kTexColourKey = 0x1;        // the image's transparent colour becomes the colour key
constexpr uint32_t kTexKeyFromImage = 0x2;     // take bit 0x1 from the image source's copy of the flags
constexpr uint32_t kTexStaged = 0x4;           // build in system memory, then convert into a managed texture
constexpr uint32_t kTexKeyWithAlpha = 0x8;     // set the colour key even when the format has alpha
constexpr uint32_t kTexFlagsFromImage = 0x20;  // all flags from the image, except 0x100 and 0x200
constexpr uint32_t kTexWholeRect = 0x80;       // size each texture from its whole rectangle
constexpr uint32_t kTexRestoreLost = 0x100;    // restore a given surface that is lost before reloading it
constexpr uint32_t kTexKeepIfNotLost = 0x200;  // with 0x100: leave a given surface that is not lost untouched
constexpr uint32_t kTexMipmap = 0x400;         // power-of-two sizes; stored levels become mip levels
constexpr uint32_t kTexIgnoreLevels = 0x1000;  // ignore m and n: largest side 1024, nothing skipped

// The caller's record for one texture of a tiled picture (a).
struct TextureRect {
    uint32_t left = 0, top = 0, right = 0, bottom = 0; // image pixels; right and bottom exclusive
    uint32_t textureWidth = 0, textureHeight = 0;      // outputs
    plat::Surface* texture = nullptr;                  // given (t after a) or output
};

// Kept by c; the loader never calls it.
using TextureLoadCallback = bool (*)(void* context);

// One argument of the letter list, with its kind so that a mismatch is a
// fault instead of a misread.
class TextureLoadArg {
public:
    enum class Kind { None, Text, Number, NumberOut, File, Memory, Source, SourceOut, Surface, Callback, Rects };

    TextureLoadArg() = default;
    TextureLoadArg(const char* text) : kind_(Kind::Text), pointer_(text) {}
    TextureLoadArg(uint32_t number) : kind_(Kind::Number), number_(number) {}
    TextureLoadArg(int number) : kind_(Kind::Number), number_(static_cast<uint32_t>(number)) {}
    TextureLoadArg(uint32_t* out) : kind_(Kind::NumberOut), pointer_(out) {}
    TextureLoadArg(plat::File* file) : kind_(Kind::File), pointer_(file) {}
    TextureLoadArg(const void* memory) : kind_(Kind::Memory), pointer_(memory) {}
    TextureLoadArg(void* memory) : kind_(Kind::Memory), pointer_(memory) {}
    TextureLoadArg(ImageSource* source) : kind_(Kind::Source), pointer_(source) {}
    TextureLoadArg(ImageSource** out) : kind_(Kind::SourceOut), pointer_(out) {}
    TextureLoadArg(plat::Surface* surface) : kind_(Kind::Surface), pointer_(surface) {}
    TextureLoadArg(TextureLoadCallback callback) : kind_(Kind::Callback), callback_(callback) {}
    TextureLoadArg(TextureRect* rects) : kind_(Kind::Rects), pointer_(rects) {}

    Kind kind() const { return kind_; }
    uint32_t number() const { return number_; }
    // The pointer of any pointer kind (the caller has checked the kind).
    void* pointer() const { return const_cast<void*>(pointer_); }
    TextureLoadCallback callback() const { return callback_; }

private:
    Kind kind_ = Kind::None;
    uint32_t number_ = 0;
    const void* pointer_ = nullptr;
    TextureLoadCallback callback_ = nullptr;
};

struct TextureLoadParams {
    const char* fileName = nullptr;
    plat::File* file = nullptr;
    const void* memory = nullptr;
    ImageSource* source = nullptr;
    uint32_t byteLimit = 0xFFFFFFFF;
    uint32_t* bytesUsed = nullptr;
    uint32_t flags = 0;
    uint32_t* surfaceWidth = nullptr;
    uint32_t* surfaceHeight = nullptr;
    uint32_t* imageWidth = nullptr;
    uint32_t* imageHeight = nullptr;
    ImageSource** decodedImage = nullptr;
    plat::Surface* givenSurface = nullptr;
    bool givenSurfaces = false; // the rectangles' textures are given
    TextureLoadCallback callback = nullptr;
    void* callbackContext = nullptr;
    uint32_t rectCount = 0;
    TextureRect* rects = nullptr;
    bool levelsGiven = false; // m or n was given
    uint32_t levelsToSkip = 0;
    uint32_t largestSide = 0x1000000;
    uint32_t* alphaBits = nullptr;

    // Fills the record from the letters and their arguments; false on a fault
    // or without a source (the caller reports error 2).
    bool Parse(const char* letters, const TextureLoadArg* args, size_t count);
};
