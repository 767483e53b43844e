#pragma once
// a x b / c in 64 bits, rounded half away from zero, as animation timing
// scales ticks by 16.16 speeds. A divisor of 0 (a speed or duration of 0)
// gives 0: no movement.

#include <cstdint>

#include "core/numeric.h"

inline int32_t AwMulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return 0;
    const int64_t q = MulDivRounded(a, b, c);
    if (q > INT32_MAX || q < INT32_MIN) return q > 0 ? INT32_MAX : INT32_MIN;
    return static_cast<int32_t>(q);
}
