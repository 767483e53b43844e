#include "Tv/sim/lob_elevation.h"

#include <algorithm>
#include <cmath>

#include "Tv/sim/server_bot.h"

bool TvFlatterLobElevation(const Vector3& aim, Real speed, Real& elevation) {
    const Real h2 = aim.x * aim.x + aim.z * aim.z;
    if (!(h2 > 0) || !(speed > 0)) return false;
    const Real d = aim.y;
    const Real v2 = speed * speed;
    const Real s = FastSqrt(std::max(0.0f, v2 * v2 + 2 * Gravity * d * v2 - Gravity * Gravity * h2));
    // x = 2 h2 / T^2 for the flatter path's flight time T.
    const Real x = h2 * (v2 + Gravity * d + s) / (h2 + d * d);
    if (!(x > 0)) return false;
    const Real e = std::atan((d - Gravity * h2 / x) / FastSqrt(h2)) * AngleUnitsPerRadian;
    if (!std::isfinite(e)) return false;
    elevation = e;
    return true;
}
