#include "image/texture_build.h"

#include <algorithm>
#include <vector>

#include "image/image_source.h"
#include "image/texture_error.h"
#include "image/texture_loader_state.h"
#include "image/texture_params.h"
#include "platform/d3d/directdraw.h"
#include "platform/d3d/palette.h"
#include "platform/d3d/surface.h"

namespace {

using plat::HResult;
using plat::Surface;

constexpr uint32_t kMaxStoredLevels = 32;
constexpr uint32_t kMatchedCaps = plat::kDdsCapsMipMap | plat::kDdsCapsVideoMemory | plat::kDdsCapsTexture |
                                  plat::kDdsCapsSystemMemory | plat::kDdsCapsComplex;
constexpr uint32_t kDescribed = plat::kDdsdCaps | plat::kDdsdHeight | plat::kDdsdWidth | plat::kDdsdPixelFormat;

void Release(Surface*& surface) {
    if (surface) surface->Release();
    surface = nullptr;
}

// Bits per pixel as a surface match sees them: palette bits, four-character
// codes as 16, else the RGB bit count.
uint32_t DepthOf(const plat::PixelFormat& f) {
    if (f.flags & plat::kDdpfPaletteIndexed8) return 8;
    if (f.flags & plat::kDdpfPaletteIndexed4) return 4;
    if (f.flags & plat::kDdpfPaletteIndexed2) return 2;
    if (f.flags & plat::kDdpfPaletteIndexed1) return 1;
    if (f.flags & plat::kDdpfFourCc) return 16;
    return f.rgbBitCount;
}

// One texture being made: the whole image, or one rectangle of it.
struct TextureTarget {
    Surface* level = nullptr;        // the surface of the top level (one reference)
    Surface* currentLevel = nullptr; // the level being written (one reference)
    bool locked = false;
    uint8_t* bits = nullptr; // the locked level's memory
    int32_t pitch = 0;       // bytes per row, or per row of 4x4 blocks
    uint32_t lockedWidth = 0, lockedHeight = 0;
    Surface* finalSurface = nullptr; // the managed texture a staged level becomes (one reference)
    uint32_t fittedWidth = 0, fittedHeight = 0;
    uint32_t plannedCaps = 0;
    uint32_t* widthOut = nullptr;
    uint32_t* heightOut = nullptr;
    Surface* given = nullptr;
    Surface* result = nullptr; // one reference, handed to the caller
    uint32_t top = 0, left = 0, bottom = 0, right = 0; // pixels of the current level
    uint32_t clippedWidth = 0, clippedHeight = 0;     // the rectangle's part inside the image
    uint32_t levelWidth = 0, levelHeight = 0;
    TextureRect* rect = nullptr;
    bool skipped = false; // left as it is
};

class TextureBuilder {
public:
    TextureBuilder(ImageSource& source, const TextureLoadParams& params) : source_(source), params_(params) {}
    Surface* Build();

private:
    bool Ok() const { return TextureLoadError == kTextureOk; }
    bool Fail(uint32_t code) {
        TextureFail(code);
        return false;
    }
    bool DeviceCall(HResult result) {
        if (plat::Succeeded(result)) return true;
        TextureFailDevice(result);
        return false;
    }
    bool Staged() const {
        return (flags_ & kTexStaged) || TextureLoader.current.FourCc() != TextureLoader.candidate.FourCc();
    }

    bool ChooseLevels();
    bool SelectNextLevel();
    bool CheckLevel();
    bool PlanTargets();
    bool AddRectTarget(TextureRect& rect);
    bool CreateSurfaces();
    bool CreateTargetSurface(TextureTarget& t);
    bool GivenSurfaceMatches(const TextureTarget& t, Surface* surface, uint32_t caps, uint32_t depth);
    bool ReadLevels();
    bool WriteRow(TextureTarget& t, uint32_t y, void* row, const void* alpha, const uint8_t* palette);
    bool Lock(TextureTarget& t);
    bool Unlock(TextureTarget& t);
    bool SetPalettes(bool finalSurfaces);
    bool AdvanceTargets();
    bool Finish();
    bool Stage(TextureTarget& t);
    Surface* Results();
    // Releases every surface the build holds; a failed build also clears the size outputs.
    void Cleanup(bool failed);

    ImageSource& source_;
    const TextureLoadParams& params_;
    uint32_t flags_ = 0;
    uint32_t skip_ = 0;
    uint32_t largest_ = 0;
    uint32_t stored_ = 0;
    uint32_t skipped_ = 0;
    bool keyed_ = false;
    uint32_t key_ = 0;
    std::vector<TextureTarget> targets_;
};

uint32_t EffectiveFlags(const ImageSource& source, uint32_t options) {
    constexpr uint32_t kFromOptions = kTexRestoreLost | kTexKeepIfNotLost;
    if (options & kTexFlagsFromImage) return (source.flags & ~kFromOptions) | (options & kFromOptions);
    if (options & kTexKeyFromImage) return (options & ~kTexColourKey) | (source.flags & kTexColourKey);
    return options;
}

bool TextureBuilder::SelectNextLevel() {
    source_.SelectLevel(skipped_, TextureLoader.current.PaletteEntries());
    ++skipped_;
    --stored_;
    return Ok();
}

bool TextureBuilder::ChooseLevels() {
    flags_ = EffectiveFlags(source_, params_.flags);
    skip_ = source_.levelsToSkip;
    largest_ = source_.largestSide;
    if (params_.levelsGiven) {
        skip_ = params_.levelsToSkip;
        largest_ = std::min(largest_, params_.largestSide);
    }
    if (flags_ & kTexIgnoreLevels) {
        skip_ = 0;
        largest_ = 1024;
    }
    largest_ = std::min({largest_, TextureLoader.maxWidth, TextureLoader.maxHeight});
    stored_ = source_.FurtherLevels();
    if (params_.imageWidth) *params_.imageWidth = source_.width;
    if (params_.imageHeight) *params_.imageHeight = source_.height;

    while (skipped_ < skip_ && stored_ > 0)
        if (!SelectNextLevel()) return false;
    if (!params_.rects) {
        uint32_t w = source_.width, h = source_.height;
        for (uint32_t halvings = 0; stored_ > 0 && halvings < 32 && ((w >> halvings) > largest_ || (h >> halvings) > largest_); ++halvings)
            if (!SelectNextLevel()) return false;
    } else {
        uint32_t divisor = 1;
        for (uint32_t i = 0; i < params_.rectCount && divisor < 0x80000000u; ++i) {
            const TextureRect& r = params_.rects[i];
            uint32_t w = (r.right > r.left ? r.right - r.left : 0) / divisor;
            uint32_t h = (r.bottom > r.top ? r.bottom - r.top : 0) / divisor;
            if (stored_ > 0 && (w > largest_ || h > largest_)) {
                if (!SelectNextLevel()) return false;
                divisor *= 2;
            }
        }
    }
    return CheckLevel();
}

bool TextureBuilder::CheckLevel() {
    const PixelFormat& f = TextureLoader.current;
    uint32_t colours = source_.PaletteCount();
    if (f.Palettized() && (colours == 0 || colours > f.PaletteEntries())) return Fail(kTexturePaletteMismatch);
    if (source_.width == 0 || source_.height == 0) return Fail(kTextureBadImage);
    return true;
}

bool TextureBuilder::AddRectTarget(TextureRect& r) {
    r.textureWidth = r.textureHeight = 0;
    bool outside = r.top >= source_.height || r.left >= source_.width || r.right <= r.left || r.bottom <= r.top;
    if (outside || (params_.givenSurfaces && !r.texture)) {
        if (!params_.givenSurfaces) r.texture = nullptr;
        return true;
    }
    TextureTarget t;
    t.widthOut = &r.textureWidth;
    t.heightOut = &r.textureHeight;
    t.given = params_.givenSurfaces ? r.texture : nullptr;
    if (!params_.givenSurfaces) r.texture = nullptr;
    t.rect = &r;
    t.top = r.top;
    t.left = r.left;
    t.bottom = r.bottom;
    t.right = r.right;
    if (source_.Compressed() && ((t.top | t.left | t.bottom | t.right) & 3)) return Fail(kTextureBlockRect);
    t.right = std::min(t.right, source_.width);
    t.bottom = std::min(t.bottom, source_.height);
    t.clippedWidth = t.right - t.left;
    t.clippedHeight = t.bottom - t.top;
    targets_.push_back(t);
    return true;
}

bool TextureBuilder::PlanTargets() {
    if (params_.rects) {
        for (uint32_t i = 0; i < params_.rectCount; ++i)
            if (!AddRectTarget(params_.rects[i])) return false;
    } else {
        TextureTarget t;
        t.widthOut = params_.surfaceWidth;
        t.heightOut = params_.surfaceHeight;
        t.given = params_.givenSurface;
        t.right = t.clippedWidth = source_.width;
        t.bottom = t.clippedHeight = source_.height;
        targets_.push_back(t);
    }
    if (!(flags_ & kTexMipmap)) stored_ = 0;
    else if (stored_ > kMaxStoredLevels) return Fail(kTextureBadImage);
    return true;
}

bool TextureBuilder::GivenSurfaceMatches(const TextureTarget& t, Surface* surface, uint32_t caps, uint32_t depth) {
    plat::SurfaceDesc d;
    if (!DeviceCall(surface->GetSurfaceDesc(&d))) return false;
    bool mipsMatch = (d.flags & plat::kDdsdMipMapCount) ? d.mipMapCount == stored_ + 1 : stored_ == 0;
    bool match = (d.flags & kDescribed) == kDescribed && d.width == t.fittedWidth && d.height == t.fittedHeight &&
                 (d.caps.caps & kMatchedCaps) == caps && DepthOf(d.pixelFormat) == depth && mipsMatch;
    return match || Fail(kTextureSurfaceMismatch);
}

bool TextureBuilder::CreateTargetSurface(TextureTarget& t) {
    bool wholeRect = (flags_ & kTexWholeRect) && t.rect;
    uint32_t wantedWidth = wholeRect ? t.rect->right - t.rect->left : t.clippedWidth;
    uint32_t wantedHeight = wholeRect ? t.rect->bottom - t.rect->top : t.clippedHeight;
    if (uint32_t code = TextureFitSize(t.fittedWidth, t.fittedHeight, wantedWidth, wantedHeight, flags_)) return Fail(code);
    if (t.widthOut) *t.widthOut = t.fittedWidth;
    if (t.heightOut) *t.heightOut = t.fittedHeight;

    const PixelFormat& current = TextureLoader.current;
    plat::SurfaceDesc desc;
    desc.flags = kDescribed;
    desc.width = t.fittedWidth;
    desc.height = t.fittedHeight;
    desc.pixelFormat = current.ddpf;
    uint32_t caps = plat::kDdsCapsTexture | (flags_ & kTexStaged ? plat::kDdsCapsSystemMemory : 0);
    if (current.FourCc() != TextureLoader.candidate.FourCc())
        caps = (caps & ~plat::kDdsCapsVideoMemory) | plat::kDdsCapsSystemMemory;
    if (stored_ > 0) {
        desc.flags |= plat::kDdsdMipMapCount;
        desc.mipMapCount = stored_ + 1;
        caps |= plat::kDdsCapsMipMap | plat::kDdsCapsComplex;
    }
    desc.caps.caps = t.plannedCaps = caps;

    if (t.given && (flags_ & kTexRestoreLost)) {
        HResult lost = t.given->IsLost();
        if (lost == plat::kDdErrSurfaceLost) {
            if (!DeviceCall(t.given->Restore())) return false;
        } else if (!DeviceCall(lost)) {
            return false;
        } else if (flags_ & kTexKeepIfNotLost) {
            t.skipped = true;
        }
    }
    if (t.skipped) {
        t.given->AddRef();
        t.result = t.given;
        return true;
    }
    if (t.given && !Staged()) {
        t.given->AddRef();
        t.level = t.given;
        if (!GivenSurfaceMatches(t, t.given, caps, DepthOf(current.ddpf))) return false;
    } else if (!DeviceCall(TextureLoader.directDraw->CreateSurface(desc, &t.level))) {
        return false;
    }
    t.level->AddRef();
    t.currentLevel = t.level;
    t.levelWidth = t.fittedWidth;
    t.levelHeight = t.fittedHeight;
    return true;
}

bool TextureBuilder::CreateSurfaces() {
    for (TextureTarget& t : targets_)
        if (!CreateTargetSurface(t)) return false;
    return true;
}

bool TextureBuilder::Lock(TextureTarget& t) {
    plat::SurfaceDesc d;
    if (!DeviceCall(t.currentLevel->Lock(nullptr, &d, plat::kDdLockWriteOnly | plat::kDdLockNoSysLock))) return false;
    t.locked = true;
    t.bits = d.surface;
    t.lockedWidth = d.width;
    t.lockedHeight = d.height;
    t.pitch = d.pitch;
    if (source_.Compressed()) {
        uint32_t blockBytes = TextureLoader.current.FourCc() == plat::kFourCcDxt1 ? 8 : 16;
        t.pitch = static_cast<int32_t>((d.width + 3) / 4 * blockBytes);
    }
    return true;
}

bool TextureBuilder::Unlock(TextureTarget& t) {
    if (!t.locked) return true;
    t.locked = false;
    return DeviceCall(t.currentLevel->Unlock(nullptr));
}

// Converts image row y into the target's locked level. The counts are held to
// what the locked surface and the source row really have: a stored level of
// the wrong size must not make the copy run past either.
bool TextureBuilder::WriteRow(TextureTarget& t, uint32_t y, void* row, const void* alpha, const uint8_t* palette) {
    if (!t.locked && !Lock(t)) return false;
    bool compressed = source_.Compressed();
    uint32_t surfaceRows = compressed ? (t.lockedHeight + 3) / 4 : t.lockedHeight;
    uint32_t width = std::min(t.levelWidth, t.lockedWidth);
    uint32_t count = t.left < source_.width ? std::min({t.clippedWidth, width, source_.width - t.left}) : 0;
    auto convert = [&](uint32_t surfaceRow) {
        if (surfaceRow >= surfaceRows || count == 0) return;
        uint8_t* destination = t.bits + static_cast<int64_t>(surfaceRow) * t.pitch;
        source_.ConvertRow(destination, width, row, alpha, t.left, count, palette);
    };
    uint32_t offset = y - t.top;
    convert(compressed ? offset / 4 : offset);
    if (!compressed && y == t.bottom - 1 && t.levelHeight > t.clippedHeight) convert(offset + 1);
    return true;
}

bool TextureBuilder::SetPalettes(bool finalSurfaces) {
    const PixelFormat& f = TextureLoader.current;
    if (!f.Palettized()) return true;
    plat::PaletteEntry entries[256];
    const uint8_t* colours = source_.Palette();
    uint32_t count = std::min(source_.PaletteCount(), 256u);
    for (uint32_t i = 0; i < count && colours; ++i) entries[i] = {colours[i * 3], colours[i * 3 + 1], colours[i * 3 + 2], 0};
    uint32_t caps = f.bits == 1 ? plat::kDdpCaps1Bit
                  : f.bits == 2 ? plat::kDdpCaps2Bit
                  : f.bits == 4 ? plat::kDdpCaps4Bit
                                : plat::kDdpCaps8Bit | plat::kDdpCapsAllow256;
    plat::Palette* palette = nullptr;
    if (!DeviceCall(TextureLoader.directDraw->CreatePalette(caps, entries, &palette))) return false;
    bool ok = true;
    for (TextureTarget& t : targets_) {
        Surface* surface = finalSurfaces ? (t.skipped ? nullptr : t.level) : t.currentLevel;
        if (ok && surface) ok = DeviceCall(surface->SetPalette(palette));
    }
    palette->Release();
    return ok;
}

bool TextureBuilder::AdvanceTargets() {
    plat::SurfaceCaps mip;
    mip.caps = plat::kDdsCapsTexture | plat::kDdsCapsMipMap;
    for (TextureTarget& t : targets_) {
        if (t.skipped || !t.currentLevel) continue;
        Surface* next = nullptr;
        HResult r = t.currentLevel->GetAttachedSurface(mip, &next);
        Release(t.currentLevel);
        if (r == plat::kDdErrNotFound) continue;
        if (!DeviceCall(r)) return false;
        t.currentLevel = next;
        if ((t.top | t.left) & 1) return Fail(kTextureOddMipRect);
        t.top /= 2;
        t.left /= 2;
        t.levelWidth /= 2;
        t.levelHeight /= 2;
        t.bottom = (t.bottom + 1) / 2;
        t.right = (t.right + 1) / 2;
        t.clippedWidth = (t.clippedWidth + 1) / 2;
        t.clippedHeight = (t.clippedHeight + 1) / 2;
    }
    return true;
}

bool TextureBuilder::ReadLevels() {
    bool compressed = source_.Compressed();
    for (uint32_t level = 0; level <= stored_; ++level) {
        const uint8_t* palette = source_.PaletteCount() ? source_.Palette() : nullptr;
        bool bottomUp = source_.RowsBottomUp();
        uint32_t height = source_.height;
        for (uint32_t i = 0; i < height; i += compressed ? 4 : 1) {
            uint32_t y = bottomUp ? height - 1 - i : i;
            void* row = source_.RowBuffer(y);
            const void* alpha = source_.AlphaRow(y);
            source_.ReadRow(row);
            source_.ReadAlphaRow(alpha);
            if (!Ok()) return false;
            for (TextureTarget& t : targets_) {
                if (t.skipped || !t.currentLevel) continue;
                bool inside = y >= t.top && y < t.bottom;
                if (inside ? !WriteRow(t, y, row, alpha, palette) : !Unlock(t)) return false;
            }
        }
        for (TextureTarget& t : targets_)
            if (!t.skipped && t.currentLevel && !Unlock(t)) return false;
        if (!SetPalettes(false)) return false;
        if (level == 0 && source_.colourKey && (!TextureLoader.current.HasAlpha() || (flags_ & kTexKeyWithAlpha))) {
            keyed_ = true;
            key_ = source_.ColourKeyValue();
        }
        if (level == stored_) break;
        source_.SelectLevel(level + skipped_, TextureLoader.current.PaletteEntries());
        if (!Ok() || !AdvanceTargets() || !CheckLevel()) return false;
    }
    return true;
}

bool TextureBuilder::Stage(TextureTarget& t) {
    const PixelFormat& candidate = TextureLoader.candidate;
    if (t.given) {
        t.given->AddRef();
        t.finalSurface = t.given;
        if (!GivenSurfaceMatches(t, t.given, t.plannedCaps & ~plat::kDdsCapsSystemMemory, DepthOf(candidate.ddpf)))
            return false;
    } else {
        plat::SurfaceDesc desc;
        if (!DeviceCall(t.level->GetSurfaceDesc(&desc))) return false;
        desc.flags = (desc.flags & ~(plat::kDdsdPitch | plat::kDdsdLinearSize)) | plat::kDdsdTextureStage;
        desc.pixelFormat = candidate.ddpf;
        desc.caps.caps &= ~(plat::kDdsCapsSystemMemory | plat::kDdsCapsVideoMemory | plat::kDdsCapsLocalVidMem |
                            plat::kDdsCapsNonLocalVidMem);
        desc.caps.caps2 |= plat::kDdsCaps2TextureManage | plat::kDdsCaps2DoNotPersist;
        if (!DeviceCall(TextureLoader.directDraw->CreateSurface(desc, &t.finalSurface))) return false;
    }
    if (!DeviceCall(t.finalSurface->Blt(nullptr, t.level, nullptr, plat::kDdBltWait, nullptr))) return false;
    // Further levels: failures here are only reported.
    plat::SurfaceCaps mip;
    mip.caps = plat::kDdsCapsTexture | plat::kDdsCapsMipMap;
    Surface* from = t.level;
    Surface* to = t.finalSurface;
    from->AddRef();
    to->AddRef();
    for (;;) {
        Surface* nextFrom = nullptr;
        Surface* nextTo = nullptr;
        HResult a = from->GetAttachedSurface(mip, &nextFrom);
        HResult b = to->GetAttachedSurface(mip, &nextTo);
        Release(from);
        Release(to);
        from = nextFrom;
        to = nextTo;
        if (plat::Failed(a) || plat::Failed(b)) {
            if (a != plat::kDdErrNotFound && plat::Failed(a)) TextureReportDevice(a);
            if (b != plat::kDdErrNotFound && plat::Failed(b)) TextureReportDevice(b);
            break;
        }
        HResult r = to->Blt(nullptr, from, nullptr, plat::kDdBltWait, nullptr);
        if (plat::Failed(r)) TextureReportDevice(r);
    }
    Release(from);
    Release(to);
    Release(t.level);
    t.level = t.finalSurface;
    t.finalSurface = nullptr;
    return true;
}

bool TextureBuilder::Finish() {
    for (TextureTarget& t : targets_) Release(t.currentLevel);
    bool staged = Staged();
    for (TextureTarget& t : targets_) {
        if (t.skipped) continue;
        if (staged && !Stage(t)) return false;
    }
    if (staged && !SetPalettes(true)) return false;
    bool keyable = keyed_ && TextureLoader.current.FourCc() == 0;
    for (TextureTarget& t : targets_) {
        if (t.skipped) continue;
        if (keyable) {
            plat::ColorKey key{key_, key_};
            if (!DeviceCall(t.level->SetColorKey(plat::kDdckeySrcBlt, &key))) return false;
        }
        t.result = t.level;
        t.level = nullptr;
    }
    return true;
}

Surface* TextureBuilder::Results() {
    if (!params_.rects) return targets_.front().result;
    for (TextureTarget& t : targets_) {
        if (params_.givenSurfaces) Release(t.result);
        else t.rect->texture = t.result;
        t.result = nullptr;
    }
    return nullptr;
}

void TextureBuilder::Cleanup(bool failed) {
    for (TextureTarget& t : targets_) {
        if (t.locked) t.currentLevel->Unlock(nullptr);
        t.locked = false;
        Release(t.finalSurface);
        Release(t.level);
        Release(t.currentLevel);
        Release(t.result);
        if (failed && t.widthOut) *t.widthOut = 0;
        if (failed && t.heightOut) *t.heightOut = 0;
    }
    if (failed && params_.rects)
        for (uint32_t i = 0; i < params_.rectCount; ++i) params_.rects[i].textureWidth = params_.rects[i].textureHeight = 0;
}

Surface* TextureBuilder::Build() {
    if (!ChooseLevels() || !PlanTargets()) {
        Cleanup(true);
        return nullptr;
    }
    if (uint32_t alpha = 0; params_.alphaBits) {
        const PixelFormat& f = TextureLoader.current;
        if (uint32_t code = f.FourCc()) alpha = code == plat::kFourCcDxt3 ? 8 : (f.flags & PixelFormat::kKeyFound ? 1 : 0);
        else alpha = 8 - f.loss[PixelFormat::kAlpha];
        *params_.alphaBits = alpha;
    }
    if (!CreateSurfaces()) {
        Cleanup(true);
        return nullptr;
    }
    // Every target left as it is: nothing to read, and no failure.
    if (std::none_of(targets_.begin(), targets_.end(), [](const TextureTarget& t) { return !t.skipped; })) {
        Cleanup(false);
        return nullptr;
    }
    if (!ReadLevels() || !Finish()) {
        Cleanup(true);
        return nullptr;
    }
    return Results();
}

} // namespace

plat::Surface* TextureBuild(ImageSource& source, const TextureLoadParams& params) { return TextureBuilder(source, params).Build(); }

void TextureWithdraw(plat::Surface* result, const TextureLoadParams& params) {
    if (result) result->Release();
    if (!params.rects) return;
    for (uint32_t i = 0; i < params.rectCount; ++i) {
        TextureRect& r = params.rects[i];
        if (!params.givenSurfaces && r.texture) {
            r.texture->Release();
            r.texture = nullptr;
        }
        r.textureWidth = r.textureHeight = 0;
    }
}
