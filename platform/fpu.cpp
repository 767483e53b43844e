#include "platform/fpu.h"

#include <cfenv>

namespace plat {

// Optimized code keeps computing in the mode set here only because the
// project is compiled with Clang's strict floating-point model, which treats
// every float operation as reading the mode: GCC would fold, reuse or move
// operations across these calls (cmake/TavrinOptions.cmake, README "Set-up").
void SetGameFpuMode() { std::fesetround(FE_DOWNWARD); }

bool IsGameFpuMode() { return std::fegetround() == FE_DOWNWARD; }

NearestRoundingScope::NearestRoundingScope() { std::fesetround(FE_TONEAREST); }

NearestRoundingScope::~NearestRoundingScope() { SetGameFpuMode(); }

} // namespace plat
