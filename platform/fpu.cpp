#include "platform/fpu.h"

#include <cfenv>

namespace plat {

void SetGameFpuMode() { std::fesetround(FE_DOWNWARD); }

bool IsGameFpuMode() { return std::fegetround() == FE_DOWNWARD; }

NearestRoundingScope::NearestRoundingScope() { std::fesetround(FE_TONEAREST); }

NearestRoundingScope::~NearestRoundingScope() { SetGameFpuMode(); }

} // namespace plat
