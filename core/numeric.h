#pragma once
// Float-to-integer conversion as the game's floating-point mode gives it: the
// conversions of the simulation and the renderer floor (also for negative
// values). A plain C++ cast truncates, so every converting site uses these.

#include <cmath>
#include <cstdint>

// floor(x) as a 32-bit integer; INT32_MIN for NaN or a value out of range
// (the x87 "integer indefinite" the original conversions produced).
inline int32_t FloorToInt(double x) {
    if (!(x >= -2147483648.0 && x < 2147483648.0)) return INT32_MIN;
    return static_cast<int32_t>(std::floor(x));
}

// floor(x) as a 64-bit integer; INT64_MIN for NaN or a value out of range.
inline int64_t FloorToInt64(double x) {
    if (!(x >= -9223372036854775808.0 && x < 9223372036854775808.0)) return INT64_MIN;
    return static_cast<int64_t>(std::floor(x));
}

// The sign bit of a float: -0.0 counts as negative.
inline bool SignBit(float x) { return std::signbit(x); }
