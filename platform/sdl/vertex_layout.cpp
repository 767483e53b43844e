#include "platform/sdl/vertex_layout.h"

#include "platform/d3d/d3d_types.h"

namespace plat {

VertexLayout LayoutOf(uint32_t fvf) {
    VertexLayout l;
    l.pretransformed = (fvf & kFvfPositionMask) == kFvfXyzRhw;
    uint32_t offset = l.pretransformed ? 16 : 12;
    if (fvf & kFvfNormal) l.normal = int32_t(offset), offset += 12;
    if (fvf & kFvfDiffuse) l.diffuse = int32_t(offset), offset += 4;
    if (fvf & kFvfSpecular) l.specular = int32_t(offset), offset += 4;
    l.texCoordSets = (fvf & kFvfTexCountMask) >> kFvfTexCountShift;
    for (uint32_t i = 0; i < l.texCoordSets && i < l.texCoords.size(); ++i) l.texCoords[i] = offset, offset += 8;
    l.stride = offset;
    return l;
}

} // namespace plat
