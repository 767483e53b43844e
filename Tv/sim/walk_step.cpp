#include "Tv/sim/walk_step.h"

#include <cmath>

#include "core/numeric.h"

namespace {

Real TableSine(Real angle) { return SineOf(FloorToInt(angle)); }
Real TableCosine(Real angle) { return CosineOf(FloorToInt(angle)); }

} // namespace

Real TvWeightedDistanceSquared(const Vector3& a, const Vector3& b) {
    const Real dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return dx * dx + dz * dz + 0.01f * dy * dy;
}

bool TvTurnAndArcStep(Vector3& position, Quaternion& orientation, const Vector3& destination, Real step,
                      Real turnBudget, Real turnRadiusSquared) {
    const Real yaw = 2.0f * std::atan2(orientation.y, orientation.w) * AngleUnitsPerRadian;
    const Real dx = destination.x - position.x;
    const Real dz = destination.z - position.z;
    const Real desired = std::atan2(dx, dz) * AngleUnitsPerRadian;
    Real delta = desired - yaw;
    if (delta > 2048.0f)
        delta -= AngleFullTurn;
    else if (delta < -2048.0f)
        delta += AngleFullTurn;
    const Real a = std::fabs(delta);
    const bool left = SignBit(delta);
    const Real d2 = dx * dx + dz * dz;

    // Turning on the spot: the part of the turn the turning circle cannot take
    // on the way (a destination inside the circle needs it all first).
    Real spin = 0;
    const Real c = 1.0f - d2 * FastReciprocal(2.0f * turnRadiusSquared);
    if (c > -1.0f) {
        const Real h = 0.5f * MathTables.ArcCosine[2048 + FloorToInt(c * 2048.0f)];
        if (a > h) spin = a - h;
    }
    if (spin > turnBudget) {
        spin = turnBudget;
        step = 0;
    } else {
        step = step * (turnBudget - spin) * FastReciprocal(turnBudget);
    }

    // Along the arc: the rest of the turn, walking the arc's chord.
    const Real m = turnBudget - spin;
    const Real arc = a <= m ? delta : (left ? -m : m);
    const Real part = std::fabs(arc) * FastReciprocal(m) * step;
    const Real spun = left ? -spin : spin;
    const Real half = arc * 0.5f;
    const Real mid = yaw + spun + half;
    const Real chord = 2.0f * (part * FastReciprocal(arc * RadiansPerAngleUnit)) * TableSine(half);
    position.x += chord * TableSine(mid);
    position.z += chord * TableCosine(mid);

    const Real heading = yaw + spun + arc;
    orientation = Quaternion{0, TableSine(heading * 0.5f), 0, TableCosine(heading * 0.5f)};

    // Straight on for the rest of the step, unless that reaches the destination.
    const Real rest = step - part;
    if (rest * rest <= TvWeightedDistanceSquared(position, destination)) {
        const Quaternion& o = orientation;
        const Vector3 forward(2.0f * (o.w * o.y + o.z * o.x), 2.0f * (o.z * o.y - o.w * o.x),
                              1.0f - 2.0f * (o.x * o.x + o.y * o.y));
        position = position + forward * rest;
        return false;
    }
    position.x = destination.x;
    position.z = destination.z;
    return true;
}
