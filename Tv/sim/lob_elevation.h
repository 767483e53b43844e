#pragma once
// The flatter path of a lobbed shot (gravity 9.81, y down).

#include "core/maths.h"

// The elevation (angle units) of the flatter path at `speed` to the offset `aim`; for a point out
// of reach the discriminant is taken as 0 (the shot goes up and falls short). False, `elevation`
// untouched, when the point lies straight above or below or the shot has no speed.
bool TvFlatterLobElevation(const Vector3& aim, Real speed, Real& elevation);
