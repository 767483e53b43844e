#include "platform/d3d/surface.h"

#include <algorithm>
#include <functional>

#include "platform/d3d/clipper.h"
#include "platform/d3d/display_context.h"
#include "platform/d3d/gamma_control.h"
#include "platform/d3d/palette.h"
#include "platform/d3d/pixel_format.h"

namespace plat {
namespace {

// Holds several surface locks, taken in address order so that two threads
// locking the same surfaces can never wait on each other.
class SurfaceLocks {
public:
    explicit SurfaceLocks(std::vector<CriticalSection*> locks) : locks_(std::move(locks)) {
        std::sort(locks_.begin(), locks_.end(), std::less<CriticalSection*>());
        locks_.erase(std::unique(locks_.begin(), locks_.end()), locks_.end());
        for (CriticalSection* cs : locks_) cs->Enter();
    }
    ~SurfaceLocks() {
        for (auto it = locks_.rbegin(); it != locks_.rend(); ++it) (*it)->Leave();
    }
    SurfaceLocks(const SurfaceLocks&) = delete;
    SurfaceLocks& operator=(const SurfaceLocks&) = delete;

private:
    std::vector<CriticalSection*> locks_;
};

bool IsEmpty(const Rect& r) { return r.left >= r.right || r.top >= r.bottom; }

bool Inside(const Rect& r, uint32_t width, uint32_t height) {
    return r.left >= 0 && r.top >= 0 && uint32_t(r.right) <= width && uint32_t(r.bottom) <= height;
}

Rect WholeOf(uint32_t width, uint32_t height) { return {0, 0, int32_t(width), int32_t(height)}; }

constexpr uint32_t kLockFlags = kDdLockWait | kDdLockReadOnly | kDdLockWriteOnly | kDdLockNoSysLock |
                                kDdLockNoOverwrite | kDdLockDiscardContents | kDdLockDoNotWait;
constexpr uint32_t kBltFlags = kDdBltAsync | kDdBltColorFill | kDdBltWait | kDdBltDoNotWait;
constexpr uint32_t kFlipFlags = kDdFlipWait | kDdFlipNoVSync | kDdFlipDoNotWait;

} // namespace

Surface::Surface(std::shared_ptr<DisplayContext> context, const SurfaceCaps& caps, uint32_t width, uint32_t height,
                 const PixelFormat& format, int32_t pitch, size_t bytes, Memory memory)
    : context_(std::move(context)), caps_(caps), width_(width), height_(height), format_(format), pitch_(pitch),
      bytes_(bytes), memory_(memory), pixels_(bytes) {}

Surface::~Surface() {
    std::vector<Surface*> released;
    {
        CriticalSectionLock hold(context_->lock);
        auto& live = context_->surfaces;
        live.erase(std::remove(live.begin(), live.end(), this), live.end());
        if (!dead_ && memory_ != Memory::System) context_->videoBytesUsed -= bytes_;
        if (root_ == this && (caps_.caps & kDdsCapsPrimarySurface)) context_->primaryExists = false;
        for (Surface* member : members_) member->Orphan();
        released = members_;
    }
    for (Surface* member : released) member->Release();
    for (ComObject* held : std::initializer_list<ComObject*>{zBuffer_, palette_, clipper_})
        if (held) held->Release();
}

bool Surface::IsDisplaySurface() const {
    return caps_.caps & (kDdsCapsPrimarySurface | kDdsCaps3dDevice | kDdsCapsFlip | kDdsCapsBackBuffer);
}

bool Surface::IsCompressed() const {
    const FormatKind kind = KindOf(format_);
    return kind == FormatKind::Dxt1 || kind == FormatKind::Dxt3;
}

PixelView Surface::View() { return {pixels_.data(), pitch_, width_, height_, format_}; }

std::vector<Surface*> Surface::ChainMembers() const {
    if (!root_) return {const_cast<Surface*>(this)};
    std::vector<Surface*> ring{root_};
    ring.insert(ring.end(), root_->members_.begin(), root_->members_.end());
    return ring;
}

void Surface::Orphan() {
    CriticalSectionLock hold(cs_);
    dead_ = true;
    root_ = nullptr;
    if (memory_ != Memory::System) context_->videoBytesUsed -= bytes_;
    // A lock still open keeps the memory until this surface itself goes.
    if (!locked_) std::vector<uint8_t>().swap(pixels_);
}

void Surface::RestoreIfLost() {
    CriticalSectionLock hold(cs_);
    if (!lost_ || dead_) return;
    lost_ = false;
    std::fill(pixels_.begin(), pixels_.end(), uint8_t{0});
    version_.store(NextContentVersion(), std::memory_order_release);
}

HResult Surface::CheckUsable() const {
    if (dead_) return kDdErrInvalidObject;
    if (lost_) return kDdErrSurfaceLost;
    if (locked_) return kDdErrSurfaceBusy;
    return kDdOk;
}

void Surface::FillDesc(SurfaceDesc* desc) const {
    *desc = SurfaceDesc{};
    desc->flags = kDdsdCaps | kDdsdWidth | kDdsdHeight | kDdsdPixelFormat;
    desc->width = width_;
    desc->height = height_;
    desc->pixelFormat = format_;
    desc->caps = caps_;
    if (IsCompressed()) {
        desc->flags |= kDdsdLinearSize;
        desc->linearSize = static_cast<uint32_t>(bytes_);
    } else {
        desc->flags |= kDdsdPitch;
        desc->pitch = pitch_;
    }
    const size_t chainLength = ChainMembers().size();
    if (chain_ == Chain::MipMap) {
        desc->flags |= kDdsdMipMapCount;
        desc->mipMapCount = static_cast<uint32_t>(chainLength - chainIndex_);
    } else if (chain_ == Chain::Flip && chainIndex_ == 0) {
        desc->flags |= kDdsdBackBufferCount;
        desc->backBufferCount = static_cast<uint32_t>(chainLength - 1);
    }
    CriticalSectionLock hold(cs_);
    if (hasColorKey_) {
        desc->flags |= kDdsdCkSrcBlt;
        desc->ckSrcBlt = colorKey_;
    }
}

HResult Surface::Lock(const Rect* rect, SurfaceDesc* desc, uint32_t flags) {
    if (!desc || (flags & ~kLockFlags)) return kDdErrInvalidParams;
    const Rect area = rect ? *rect : WholeOf(width_, height_);
    if (IsEmpty(area) || !Inside(area, width_, height_)) return kDdErrInvalidRect;
    const uint32_t bits = IsCompressed() ? 0 : BitsPerPixel(format_);
    if (IsCompressed()) {
        const auto blockEdge = [](int32_t v, uint32_t end) { return v % 4 == 0 || uint32_t(v) == end; };
        if (area.left % 4 || area.top % 4 || !blockEdge(area.right, width_) || !blockEdge(area.bottom, height_))
            return kDdErrInvalidRect;
    } else if (area.left * bits % 8) {
        return kDdErrInvalidRect; // a palettized row starting inside a byte
    }
    {
        CriticalSectionLock chainHold(context_->lock);
        CriticalSectionLock hold(cs_);
        if (const HResult usable = CheckUsable(); Failed(usable)) return usable;
        // Before the surface counts as locked, so the backend can still read
        // its image back into memory (ReadPixels re-enters these locks).
        if (IsDisplaySurface()) context_->backend->SurfaceAccess(*this, !(flags & kDdLockReadOnly));
        locked_ = true;
        lockedReadOnly_ = flags & kDdLockReadOnly;
        FillDesc(desc);
    }
    const size_t offset = IsCompressed()
        ? size_t(area.top / 4) * pitch_ + size_t(area.left / 4) * (KindOf(format_) == FormatKind::Dxt1 ? 8 : 16)
        : size_t(area.top) * pitch_ + size_t(area.left) * bits / 8;
    desc->surface = pixels_.data() + offset;
    desc->flags |= kDdsdLpSurface;
    return kDdOk;
}

HResult Surface::Unlock(const Rect*) {
    bool written;
    {
        CriticalSectionLock hold(cs_);
        if (!locked_) return dead_ ? kDdErrInvalidObject : kDdErrNotLocked;
        locked_ = false;
        if (dead_) {
            std::vector<uint8_t>().swap(pixels_);
            return kDdOk;
        }
        written = !lockedReadOnly_;
        if (written) version_.store(NextContentVersion(), std::memory_order_release);
    }
    if (IsDisplaySurface()) context_->backend->SurfaceUnlocked(*this, written);
    return kDdOk;
}

HResult Surface::GetSurfaceDesc(SurfaceDesc* desc) const {
    if (!desc) return kDdErrInvalidParams;
    CriticalSectionLock chainHold(context_->lock);
    if (dead_) return kDdErrInvalidObject;
    FillDesc(desc);
    return kDdOk;
}

HResult Surface::GetAttachedSurface(const SurfaceCaps& want, Surface** out) {
    if (!out || (want.caps == 0 && want.caps2 == 0)) return kDdErrInvalidParams;
    CriticalSectionLock chainHold(context_->lock);
    if (dead_) return kDdErrInvalidObject;
    const std::vector<Surface*> ring = ChainMembers();
    std::vector<Surface*> candidates;
    if (chain_ == Chain::Flip && ring.size() > 1) candidates.push_back(ring[(chainIndex_ + 1) % ring.size()]);
    if (chain_ == Chain::MipMap && chainIndex_ + 1 < ring.size()) candidates.push_back(ring[chainIndex_ + 1]);
    if (zBuffer_) candidates.push_back(zBuffer_);
    for (Surface* s : candidates) {
        if ((s->caps_.caps & want.caps) == want.caps && (s->caps_.caps2 & want.caps2) == want.caps2 &&
            s->TryAddRef()) {
            *out = s;
            return kDdOk;
        }
    }
    return kDdErrNotFound;
}

HResult Surface::AddAttachedSurface(Surface* zBuffer) {
    if (!zBuffer) return kDdErrInvalidParams;
    CriticalSectionLock chainHold(context_->lock);
    if (dead_ || zBuffer->dead_) return kDdErrInvalidObject;
    if (zBuffer->context_ != context_ || !(zBuffer->caps_.caps & kDdsCapsZBuffer) ||
        !(caps_.caps & kDdsCaps3dDevice) || zBuffer->width_ != width_ || zBuffer->height_ != height_)
        return kDdErrCannotAttachSurface;
    if (zBuffer_) return kDdErrSurfaceAlreadyAttached;
    zBuffer->AddRef();
    zBuffer_ = zBuffer;
    return kDdOk;
}

HResult Surface::DeleteAttachedSurface(uint32_t flags, Surface* zBuffer) {
    if (flags != 0) return kDdErrInvalidParams;
    Surface* detached = nullptr;
    {
        CriticalSectionLock chainHold(context_->lock);
        if (!zBuffer_ || (zBuffer && zBuffer != zBuffer_)) return kDdErrSurfaceNotAttached;
        detached = zBuffer_;
        zBuffer_ = nullptr;
    }
    detached->Release();
    return kDdOk;
}

HResult Surface::SetPalette(Palette* palette) {
    if (KindOf(format_) != FormatKind::Palettized) return kDdErrNotPalettized;
    if (palette && palette->Bits() != BitsPerPixel(format_)) return kDdErrInvalidPixelFormat;
    Palette* old = nullptr;
    {
        CriticalSectionLock hold(cs_);
        if (dead_) return kDdErrInvalidObject;
        if (palette) palette->AddRef();
        old = palette_;
        palette_ = palette;
    }
    if (old) old->Release();
    return kDdOk;
}

HResult Surface::SetColorKey(uint32_t flags, const ColorKey* key) {
    if (flags != kDdckeySrcBlt) return kDdErrInvalidParams;
    CriticalSectionLock hold(cs_);
    if (dead_) return kDdErrInvalidObject;
    hasColorKey_ = key != nullptr;
    colorKey_ = key ? *key : ColorKey{};
    return kDdOk;
}

HResult Surface::GetColorKey(uint32_t flags, ColorKey* key) const {
    if (flags != kDdckeySrcBlt || !key) return kDdErrInvalidParams;
    CriticalSectionLock hold(cs_);
    if (dead_) return kDdErrInvalidObject;
    if (!hasColorKey_) return kDdErrNoColorKey;
    *key = colorKey_;
    return kDdOk;
}

HResult Surface::SetClipper(Clipper* clipper) {
    Clipper* old = nullptr;
    {
        CriticalSectionLock hold(cs_);
        if (dead_) return kDdErrInvalidObject;
        if (clipper) clipper->AddRef();
        old = clipper_;
        clipper_ = clipper;
    }
    if (old) old->Release();
    return kDdOk;
}

HResult Surface::Blt(const Rect* destRect, Surface* source, const Rect* sourceRect, uint32_t flags,
                     const BltFx* fx) {
    const bool fill = flags & kDdBltColorFill;
    if ((flags & ~kBltFlags) || (fill ? !fx : !source)) return kDdErrInvalidParams;
    if (!fill && source->context_ != context_) return kDdErrInvalidParams;
    if (KindOf(format_) != FormatKind::Rgb) return kDdErrUnsupported;
    if (!fill) {
        const FormatKind kind = KindOf(source->format_);
        if (kind != FormatKind::Rgb && kind != FormatKind::Dxt1 && kind != FormatKind::Dxt3) return kDdErrUnsupported;
    }
    const Rect whole = WholeOf(width_, height_);
    const Rect dst = destRect ? *destRect : whole;
    const Rect src = fill ? Rect{} : sourceRect ? *sourceRect : WholeOf(source->width_, source->height_);
    if (IsEmpty(dst) || (!fill && (IsEmpty(src) || !Inside(src, source->width_, source->height_))))
        return kDdErrInvalidRect;

    SurfaceLocks hold({&cs_, fill ? &cs_ : &source->cs_});
    if (const HResult usable = CheckUsable(); Failed(usable)) return usable;
    if (!fill) {
        if (const HResult usable = source->CheckUsable(); Failed(usable)) return usable;
    }
    if (!clipper_ && !Inside(dst, width_, height_)) return kDdErrInvalidRect;
    DeviceBackend& backend = *context_->backend;
    if (!fill && source->IsDisplaySurface()) backend.SurfaceAccess(*source, false);
    if (IsDisplaySurface()) backend.SurfaceAccess(*this, true);
    if (fill) {
        const Rect cut{std::max(dst.left, 0), std::max(dst.top, 0), std::min(dst.right, whole.right),
                       std::min(dst.bottom, whole.bottom)};
        if (!IsEmpty(cut)) FillPixels(View(), cut, fx->fillColor);
    } else if (!((caps_.caps & kDdsCapsPrimarySurface) && backend.PresentBlt(*source, src, dst))) {
        CopyPixels(View(), dst, whole, source->View(), src);
    }
    version_.store(NextContentVersion(), std::memory_order_release);
    return kDdOk;
}

HResult Surface::Flip(Surface* target, uint32_t flags) {
    if (target || (flags & ~kFlipFlags)) return kDdErrInvalidParams;
    {
        CriticalSectionLock chainHold(context_->lock);
        if (dead_) return kDdErrInvalidObject;
        if (chain_ != Chain::Flip || root_ != this) return kDdErrNotFlippable;
        const std::vector<Surface*> ring = ChainMembers();
        std::vector<CriticalSection*> locks;
        for (Surface* s : ring) locks.push_back(&s->cs_);
        SurfaceLocks hold(std::move(locks));
        for (Surface* s : ring)
            if (const HResult usable = s->CheckUsable(); Failed(usable)) return usable;
        // The front takes the first back buffer's image, each back buffer the
        // next one's; content versions travel with the images they describe.
        const uint64_t frontVersion = ring[0]->ContentVersion();
        for (size_t i = 0; i + 1 < ring.size(); ++i) {
            ring[i]->pixels_.swap(ring[i + 1]->pixels_);
            ring[i]->version_.store(ring[i + 1]->ContentVersion(), std::memory_order_release);
        }
        ring.back()->version_.store(frontVersion, std::memory_order_release);
    }
    context_->backend->PresentFlip(*this);
    return kDdOk;
}

HResult Surface::GetBltStatus(uint32_t flags) const {
    if (flags != kDdgbsCanBlt && flags != kDdgbsIsBltDone) return kDdErrInvalidParams;
    return IsLost();
}

HResult Surface::GetFlipStatus(uint32_t flags) const {
    if (flags != kDdgfsCanFlip && flags != kDdgfsIsFlipDone) return kDdErrInvalidParams;
    if (!(caps_.caps & kDdsCapsFlip)) return kDdErrNotFlippable;
    return IsLost();
}

HResult Surface::IsLost() const {
    CriticalSectionLock hold(cs_);
    if (dead_) return kDdErrInvalidObject;
    return lost_ ? kDdErrSurfaceLost : kDdOk;
}

HResult Surface::Restore() {
    CriticalSectionLock chainHold(context_->lock);
    if (dead_) return kDdErrInvalidObject;
    for (Surface* s : ChainMembers()) s->RestoreIfLost();
    return kDdOk;
}

HResult Surface::QueryGammaControl(GammaControl** out) {
    if (!out) return kDdErrInvalidParams;
    if (!(caps_.caps & kDdsCapsPrimarySurface) || !context_->Facts().gammaRamp) return kDdErrNoInterface;
    *out = new GammaControl(context_);
    return kDdOk;
}

bool Surface::ReadPixels(const std::function<void(const PixelView&)>& use) {
    CriticalSectionLock hold(cs_);
    if (Failed(CheckUsable())) return false;
    use(View());
    return true;
}

void Surface::LoseAll(DisplayContext& context) {
    CriticalSectionLock chainHold(context.lock);
    for (Surface* s : context.surfaces) {
        if (s->memory_ != Memory::Video) continue;
        CriticalSectionLock hold(s->cs_);
        if (!s->dead_) s->lost_ = true;
    }
}

void Surface::RestoreAll(DisplayContext& context) {
    CriticalSectionLock chainHold(context.lock);
    for (Surface* s : context.surfaces) s->RestoreIfLost();
}

} // namespace plat
