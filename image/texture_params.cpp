#include "image/texture_params.h"

namespace {

// Letters already given (one bit each) while the string is parsed.
enum Given : uint32_t {
    kGivenSource = 1 << 0,
    kGivenR = 1 << 1,
    kGivenX = 1 << 2,
    kGivenN = 1 << 3,
    kGivenF = 1 << 4,
    kGivenW = 1 << 5,
    kGivenH = 1 << 6,
    kGivenOX = 1 << 7,
    kGivenOY = 1 << 8,
    kGivenB = 1 << 9,
    kGivenT = 1 << 10,
    kGivenTSurface = 1 << 11, // t before a: the form that takes a surface
    kGivenC = 1 << 12,
    kGivenA = 1 << 13,
    kGivenLevels = 1 << 14, // m or n
    kGivenAlpha = 1 << 15,
};

using Kind = TextureLoadArg::Kind;

class ArgList {
public:
    ArgList(const TextureLoadArg* args, size_t count) : args_(args), count_(count) {}
    // The next argument when it is of kind `a` or `b`; null otherwise.
    const TextureLoadArg* Next(Kind a, Kind b = Kind::None) {
        if (next_ >= count_) return nullptr;
        const TextureLoadArg* arg = &args_[next_++];
        return arg->kind() == a || (b != Kind::None && arg->kind() == b) ? arg : nullptr;
    }

private:
    const TextureLoadArg* args_;
    size_t count_;
    size_t next_ = 0;
};

} // namespace

bool TextureLoadParams::Parse(const char* letters, const TextureLoadArg* args, size_t count) {
    ArgList list(args, count);
    uint32_t given = 0;
    // Marks `bit` given unless any of `refused` already is.
    auto claim = [&given](uint32_t bit, uint32_t refused) {
        if (given & refused) return false;
        given |= bit;
        return true;
    };
    auto out = [&list](uint32_t*& field) {
        const TextureLoadArg* arg = list.Next(Kind::NumberOut);
        if (arg) field = static_cast<uint32_t*>(arg->pointer());
        return arg != nullptr;
    };
    auto number = [&list](uint32_t& field) {
        const TextureLoadArg* arg = list.Next(Kind::Number);
        if (arg) field = arg->number();
        return arg != nullptr;
    };

    bool ok = true;
    for (const char* p = letters ? letters : ""; ok && *p; ++p) {
        const TextureLoadArg* arg = nullptr;
        switch (*p) {
        case 's':
            ok = claim(kGivenSource, kGivenSource | kGivenR) && (arg = list.Next(Kind::Text));
            if (ok) fileName = static_cast<const char*>(arg->pointer());
            break;
        case 'h':
            ok = claim(kGivenSource, kGivenSource | kGivenR) && (arg = list.Next(Kind::File));
            if (ok) file = static_cast<plat::File*>(arg->pointer());
            break;
        case 'p':
            ok = claim(kGivenSource, kGivenSource | kGivenR) && (arg = list.Next(Kind::Memory, Kind::Text));
            if (ok) memory = arg->pointer();
            break;
        case 'r':
            ok = claim(kGivenR, kGivenSource | kGivenR | kGivenX | kGivenN | kGivenB) && (arg = list.Next(Kind::Source));
            if (ok) source = static_cast<ImageSource*>(arg->pointer());
            break;
        case 'x': ok = claim(kGivenX, kGivenX | kGivenR) && number(byteLimit); break;
        case 'N': ok = claim(kGivenN, kGivenN | kGivenR) && out(bytesUsed); break;
        case 'f': ok = claim(kGivenF, kGivenF) && number(flags); break;
        case 'W': ok = claim(kGivenW, kGivenW | kGivenA) && out(surfaceWidth); break;
        case 'H': ok = claim(kGivenH, kGivenH | kGivenA) && out(surfaceHeight); break;
        case 'O':
            ++p;
            if (*p == 'X') ok = claim(kGivenOX, kGivenOX) && out(imageWidth);
            else if (*p == 'Y') ok = claim(kGivenOY, kGivenOY) && out(imageHeight);
            else ok = false;
            break;
        case 'X':
        case 'Y': break;
        case 'B':
            ok = claim(kGivenB, kGivenB | kGivenR) && (arg = list.Next(Kind::SourceOut));
            if (ok) decodedImage = static_cast<ImageSource**>(arg->pointer());
            break;
        case 't':
            if (given & kGivenA) {
                ok = claim(kGivenT, kGivenT);
                givenSurfaces = ok;
            } else {
                ok = claim(kGivenT | kGivenTSurface, kGivenT) && (arg = list.Next(Kind::Surface));
                if (ok) givenSurface = static_cast<plat::Surface*>(arg->pointer());
            }
            break;
        case 'c':
            ok = claim(kGivenC, kGivenC) && (arg = list.Next(Kind::Callback));
            if (ok) callback = arg->callback();
            ok = ok && (arg = list.Next(Kind::Memory));
            if (ok) callbackContext = arg->pointer();
            break;
        case 'a':
            ok = claim(kGivenA, kGivenTSurface | kGivenA | kGivenW | kGivenH) && number(rectCount) &&
                 (arg = list.Next(Kind::Rects));
            if (ok) rects = static_cast<TextureRect*>(arg->pointer());
            break;
        case 'm':
            ok = claim(kGivenLevels, kGivenLevels) && number(levelsToSkip);
            levelsGiven = ok;
            break;
        case 'n':
            ok = claim(kGivenLevels, kGivenLevels) && number(largestSide);
            levelsGiven = ok;
            break;
        case 'A': ok = claim(kGivenAlpha, kGivenAlpha) && out(alphaBits); break;
        default: ok = false; break;
        }
        if (!*p) break; // "O" ended the string
    }
    // A memory block has no length of its own: without x nothing bounds the reads.
    if (memory && !(given & kGivenX)) ok = false;
    return ok && (given & (kGivenSource | kGivenR));
}
