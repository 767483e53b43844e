#include "platform/d3d/fvf.h"

#include "platform/d3d/d3d_types.h"

namespace plat {

uint32_t FvfStride(uint32_t fvf) {
    constexpr uint32_t kKnownBits = kFvfPositionMask | kFvfNormal | kFvfDiffuse | kFvfSpecular | kFvfTexCountMask;
    const uint32_t position = fvf & kFvfPositionMask;
    const uint32_t texCount = (fvf & kFvfTexCountMask) >> kFvfTexCountShift;
    if ((fvf & ~kKnownBits) || texCount > 8) return 0;
    if (position != kFvfXyz && position != kFvfXyzRhw) return 0;
    if (position == kFvfXyzRhw && (fvf & kFvfNormal)) return 0;
    return (position == kFvfXyzRhw ? 16 : 12) + ((fvf & kFvfNormal) ? 12 : 0) + ((fvf & kFvfDiffuse) ? 4 : 0) +
           ((fvf & kFvfSpecular) ? 4 : 0) + 8 * texCount;
}

} // namespace plat
