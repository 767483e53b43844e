#pragma once
// The walking step that the server's units and the client's predicted units
// share, so that both copies of a walker take the same path.

#include "core/maths.h"
#include "core/matrix.h"

// A point's squared distance with the vertical difference weighted by 0.01.
Real TvWeightedDistanceSquared(const Vector3& a, const Vector3& b);

// One step of `step` metres toward `destination` in x and z: first the part of
// the turn that the walker's turning circle (radius squared `turnRadiusSquared`)
// cannot take on the way, on the spot; then the rest of the turn budget
// `turnBudget` (angle units) along the arc, walking its chord; then straight
// on. Answers true when the step reaches the destination, placing the walker
// on it in x and z.
bool TvTurnAndArcStep(Vector3& position, Quaternion& orientation, const Vector3& destination, Real step,
                      Real turnBudget, Real turnRadiusSquared);
