// Surface creation: the rules a surface description must follow, where the
// surface lands, and the implicit flip and mip chains.
#include <algorithm>
#include <new>

#include "platform/d3d/display_context.h"
#include "platform/d3d/enumeration.h"
#include "platform/d3d/pixel_format.h"
#include "platform/d3d/surface.h"

namespace plat {
namespace {

constexpr uint32_t kMaxSurfaceSide = 16384;
constexpr uint32_t kMaxBackBuffers = 3;

uint32_t FullMipChain(uint32_t width, uint32_t height) {
    uint32_t levels = 1;
    for (uint32_t side = std::max(width, height); side > 1; side /= 2) ++levels;
    return levels;
}

struct Plan {
    uint32_t width = 0, height = 0;
    PixelFormat format;
    uint32_t levels = 1;      // surfaces in the chain
    bool flipChain = false;
};

HResult PlanPrimary(const DisplayContext& context, const SurfaceDesc& desc, Plan* plan) {
    const uint32_t caps = desc.caps.caps;
    if (desc.flags & (kDdsdWidth | kDdsdHeight | kDdsdPixelFormat)) return kDdErrInvalidParams;
    if (caps & (kDdsCapsSystemMemory | kDdsCapsTexture | kDdsCapsZBuffer)) return kDdErrInvalidCaps;
    if (context.primaryExists) return kDdErrPrimarySurfaceAlreadyExists;
    plan->width = context.mode.width;
    plan->height = context.mode.height;
    plan->format = DisplayFormat(context.mode.bitDepth);
    if (caps & kDdsCapsFlip) {
        if (!(caps & kDdsCapsComplex) || !(desc.flags & kDdsdBackBufferCount) || desc.backBufferCount == 0 ||
            desc.backBufferCount > kMaxBackBuffers)
            return kDdErrInvalidParams;
        constexpr uint32_t kExclusiveFullscreen = kDdsclExclusive | kDdsclFullscreen;
        if ((context.cooperativeFlags & kExclusiveFullscreen) != kExclusiveFullscreen) return kDdErrNoExclusiveMode;
        plan->levels = desc.backBufferCount + 1;
        plan->flipChain = true;
    }
    return kDdOk;
}

HResult PlanOther(const DisplayContext& context, const SurfaceDesc& desc, bool managed, Plan* plan) {
    const uint32_t caps = desc.caps.caps;
    if ((desc.flags & (kDdsdWidth | kDdsdHeight)) != (kDdsdWidth | kDdsdHeight)) return kDdErrInvalidParams;
    if (desc.width == 0 || desc.height == 0 || desc.width > kMaxSurfaceSide || desc.height > kMaxSurfaceSide)
        return kDdErrInvalidParams;
    if (caps & kDdsCapsFlip) return kDdErrInvalidCaps;
    plan->width = desc.width;
    plan->height = desc.height;
    plan->format = (desc.flags & kDdsdPixelFormat) ? desc.pixelFormat : DisplayFormat(context.mode.bitDepth);
    const FormatKind kind = KindOf(plan->format);
    if (kind == FormatKind::Unsupported || (kind == FormatKind::ZBuffer) != bool(caps & kDdsCapsZBuffer))
        return kDdErrInvalidPixelFormat;
    const bool inSystemMemory = (caps & kDdsCapsSystemMemory) && !managed;
    if ((kind == FormatKind::Dxt1 || kind == FormatKind::Dxt3) && !inSystemMemory) return kDdErrInvalidPixelFormat;
    if (caps & kDdsCapsTexture) {
        const uint32_t maxSide = context.Facts().limits.maxTextureSize;
        if (desc.width > maxSide || desc.height > maxSide) return kDdErrInvalidParams;
        if (!inSystemMemory && !IsTextureFormat(plan->format)) return kDdErrInvalidPixelFormat;
    }
    const uint32_t asked = (desc.flags & kDdsdMipMapCount) ? desc.mipMapCount : 0;
    if (caps & kDdsCapsMipMap) {
        if ((caps & (kDdsCapsTexture | kDdsCapsComplex)) != (kDdsCapsTexture | kDdsCapsComplex))
            return kDdErrInvalidCaps;
        const uint32_t full = FullMipChain(desc.width, desc.height);
        if (asked > full) return kDdErrInvalidParams;
        plan->levels = asked ? asked : full;
    } else if (asked > 1) {
        return kDdErrInvalidCaps;
    }
    return kDdOk;
}

} // namespace

HResult Surface::Create(const std::shared_ptr<DisplayContext>& context, const SurfaceDesc& desc, Surface** out) {
    if (!out || !(desc.flags & kDdsdCaps)) return kDdErrInvalidParams;
    const uint32_t caps = desc.caps.caps;
    const bool managed = desc.caps.caps2 & kDdsCaps2TextureManage;
    if ((caps & kDdsCapsSystemMemory) && (caps & kDdsCapsVideoMemory)) return kDdErrInvalidCaps;
    if (managed && (!(caps & kDdsCapsTexture) || (caps & (kDdsCapsSystemMemory | kDdsCapsVideoMemory))))
        return kDdErrInvalidCaps;
    const Memory memory = managed ? Memory::Managed : (caps & kDdsCapsSystemMemory) ? Memory::System : Memory::Video;

    CriticalSectionLock hold(context->lock);
    Plan plan;
    const bool primary = caps & kDdsCapsPrimarySurface;
    const HResult planned = primary ? PlanPrimary(*context, desc, &plan) : PlanOther(*context, desc, managed, &plan);
    if (Failed(planned)) return planned;

    struct Level {
        uint32_t width, height;
        int32_t pitch;
        size_t bytes;
    };
    std::vector<Level> levels;
    uint64_t total = 0;
    for (uint32_t i = 0; i < plan.levels; ++i) {
        const bool mip = !plan.flipChain;
        Level level{mip ? std::max(plan.width >> i, 1u) : plan.width, mip ? std::max(plan.height >> i, 1u) : plan.height,
                    0, 0};
        if (!SurfaceLayout(plan.format, level.width, level.height, &level.pitch, &level.bytes))
            return kDdErrInvalidPixelFormat;
        total += level.bytes;
        levels.push_back(level);
    }
    if (memory == Memory::Video && context->videoBytesUsed + total > context->Facts().videoMemoryBytes)
        return kDdErrOutOfVideoMemory;

    // Where the surface landed shows in its caps.
    SurfaceCaps landed = desc.caps;
    if (memory == Memory::Video) landed.caps |= kDdsCapsVideoMemory | kDdsCapsLocalVidMem;
    if (memory == Memory::Managed) landed.caps |= kDdsCapsLocalVidMem;
    if (primary) landed.caps |= kDdsCapsFrontBuffer;

    std::vector<Surface*> chain;
    try {
        for (uint32_t i = 0; i < plan.levels; ++i) {
            SurfaceCaps memberCaps = landed;
            if (i > 0 && plan.flipChain) {
                memberCaps.caps &= ~(kDdsCapsPrimarySurface | kDdsCapsFrontBuffer);
                if (i == 1) memberCaps.caps |= kDdsCapsBackBuffer;
            }
            if (i > 0 && !plan.flipChain) memberCaps.caps2 |= kDdsCaps2MipMapSubLevel;
            const Level& l = levels[i];
            chain.push_back(new Surface(context, memberCaps, l.width, l.height, plan.format, l.pitch, l.bytes, memory));
        }
        context->surfaces.reserve(context->surfaces.size() + chain.size());
    } catch (const std::bad_alloc&) {
        // Nothing was counted or registered yet: the partial chain just goes.
        for (Surface* s : chain) {
            s->dead_ = true;
            s->Release();
        }
        return kDdErrOutOfMemory;
    }
    for (uint32_t i = 0; i < chain.size(); ++i) {
        Surface* s = chain[i];
        s->chain_ = plan.flipChain ? Chain::Flip : plan.levels > 1 ? Chain::MipMap : Chain::None;
        s->chainIndex_ = i;
        s->root_ = chain.front();
        context->surfaces.push_back(s);
    }
    chain.front()->members_.assign(chain.begin() + 1, chain.end());
    if (memory != Memory::System) context->videoBytesUsed += total;
    if (primary) context->primaryExists = true;
    *out = chain.front();
    return kDdOk;
}

} // namespace plat
