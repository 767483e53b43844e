#include "platform/d3d/process_vertices.h"

#include "platform/d3d/d3dmath.h"
#include "platform/d3d/device_state.h"

namespace plat {

Matrix CombinedTransform(const DeviceState& state) {
    return MatrixMultiply(MatrixMultiply(state.transforms[kTransformWorld], state.transforms[kTransformView]),
                          state.transforms[kTransformProjection]);
}

ScreenVertex ProjectToScreen(const Matrix& m, const Viewport7& vp, const D3dVector& p) {
    const float cx = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
    const float cy = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
    const float cz = p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2];
    const float cw = p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3];
    const float rhw = 1.0f / cw;
    const float halfWidth = static_cast<float>(vp.width) * 0.5f;
    const float halfHeight = static_cast<float>(vp.height) * 0.5f;
    return {static_cast<float>(vp.x) + (1.0f + cx * rhw) * halfWidth,
            static_cast<float>(vp.y) + (1.0f - cy * rhw) * halfHeight, vp.minZ + cz * rhw * (vp.maxZ - vp.minZ), rhw};
}

} // namespace plat
