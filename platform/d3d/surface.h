#pragma once
// A DirectDraw 7 shaped surface kept in memory: lockable from any thread, with
// mip chains and flip chains, an attached Z-buffer, palettes, colour keys,
// clippers, converting blits and the lost state of video-memory surfaces.
//
// Complex surfaces (a flip chain, a mip chain) belong to the surface that
// was created: the others are reached with GetAttachedSurface. When the
// created surface goes, the others lose their memory; references still held
// on them then answer kDdErrInvalidObject.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/d3d/blit.h"
#include "platform/d3d/com_object.h"
#include "platform/d3d/ddraw_types.h"
#include "platform/d3d/results.h"
#include "platform/threads.h"

namespace plat {

class Clipper;
class GammaControl;
class Palette;
struct DisplayContext;

class Surface final : public ComObject {
public:
    // Lock of the whole surface (rect null) or of a rectangle; desc receives
    // the description with the pitch and the address of the rectangle's
    // first pixel. Compressed surfaces lock in whole 4x4 blocks and report
    // their linear size instead of a pitch.
    HResult Lock(const Rect* rect, SurfaceDesc* desc, uint32_t flags);
    HResult Unlock(const Rect* rect);
    HResult GetSurfaceDesc(SurfaceDesc* desc) const;

    // The next surface of the chain (back buffer, next mip level) or the
    // attached Z-buffer whose caps hold all the asked bits, with a reference
    // added; kDdErrNotFound at the end of the chain.
    HResult GetAttachedSurface(const SurfaceCaps& caps, Surface** out);
    // Attaches a Z-buffer of the same size to a 3D render target (one reference kept).
    HResult AddAttachedSurface(Surface* zBuffer);
    // Detaches it (flags must be 0).
    HResult DeleteAttachedSurface(uint32_t flags, Surface* zBuffer);

    HResult SetPalette(Palette* palette);
    // Only the source-blit colour key (kDdckeySrcBlt); a null key removes it.
    HResult SetColorKey(uint32_t flags, const ColorKey* key);
    HResult GetColorKey(uint32_t flags, ColorKey* key) const;
    HResult SetClipper(Clipper* clipper);

    // Colour fill (kDdBltColorFill, fx->fillColor a raw pixel of this format)
    // or a converting, stretching copy from an RGB, DXT1 or DXT3 source. This
    // surface must be RGB. Rectangles must lie inside their surfaces, except
    // that a destination with a clipper is cut to the surface.
    HResult Blt(const Rect* destRect, Surface* source, const Rect* sourceRect, uint32_t flags, const BltFx* fx);
    // Turns the flip chain of a primary (target must be null).
    HResult Flip(Surface* target, uint32_t flags);
    // Blits and flips finish at once: these only report a lost surface.
    HResult GetBltStatus(uint32_t flags) const;
    HResult GetFlipStatus(uint32_t flags) const;

    // kDdErrSurfaceLost after a loss until Restore, which restores the whole
    // chain and clears the pixels (their content is gone).
    HResult IsLost() const;
    HResult Restore();

    // The gamma control of a primary surface, when the display offers one.
    HResult QueryGammaControl(GammaControl** out);

    // For the layer and its backends.
    const SurfaceCaps& Caps() const { return caps_; }
    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    const PixelFormat& Format() const { return format_; }
    // Changes whenever the pixels may have changed (unlock after writing, blit, flip, restore).
    uint64_t ContentVersion() const { return version_.load(std::memory_order_acquire); }
    // Runs use with the pixels unless the surface is locked, lost or gone (then false).
    bool ReadPixels(const std::function<void(const PixelView&)>& use);

    // Creation (DirectDraw::CreateSurface): the surface the description asks
    // for, with its implicit chain.
    static HResult Create(const std::shared_ptr<DisplayContext>& context, const SurfaceDesc& desc, Surface** out);
    // The loss and restoration of every surface (DirectDraw's test hook and RestoreAllSurfaces).
    static void LoseAll(DisplayContext& context);
    static void RestoreAll(DisplayContext& context);

private:
    enum class Memory { System, Video, Managed };
    enum class Chain { None, Flip, MipMap };

    Surface(std::shared_ptr<DisplayContext> context, const SurfaceCaps& caps, uint32_t width, uint32_t height,
            const PixelFormat& format, int32_t pitch, size_t bytes, Memory memory);
    ~Surface() override;

    bool IsDisplaySurface() const;
    bool IsCompressed() const;
    PixelView View();
    void FillDesc(SurfaceDesc* desc) const;     // the context lock held
    std::vector<Surface*> ChainMembers() const; // the context lock held
    void Orphan();                              // the context lock held
    void RestoreIfLost();                       // the context lock held
    HResult CheckUsable() const;                // own lock held

    const std::shared_ptr<DisplayContext> context_;
    const SurfaceCaps caps_;
    const uint32_t width_, height_;
    const PixelFormat format_;
    const int32_t pitch_;
    const size_t bytes_;
    const Memory memory_;

    mutable CriticalSection cs_;
    std::vector<uint8_t> pixels_;
    bool locked_ = false;
    bool lockedReadOnly_ = false;
    bool lost_ = false;
    bool dead_ = false; // its chain's first surface went
    std::atomic<uint64_t> version_{NextContentVersion()};
    bool hasColorKey_ = false;
    ColorKey colorKey_;
    Palette* palette_ = nullptr;
    Clipper* clipper_ = nullptr;

    // Links, guarded by the context lock.
    Chain chain_ = Chain::None;
    Surface* root_ = this;           // the chain's first surface; null once orphaned
    uint32_t chainIndex_ = 0;
    std::vector<Surface*> members_;  // the root's chain after itself, one reference each
    Surface* zBuffer_ = nullptr;     // one reference
};

} // namespace plat
