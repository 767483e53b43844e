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

// a x b / c rounded to the nearest integer, halves away from zero; c must not
// be 0 and the product must fit in 64 bits (any 32-bit operands do).
inline int64_t MulDivRounded(int64_t a, int64_t b, int64_t c) {
    const int64_t product = a * b;
    int64_t quotient = product / c;
    const int64_t remainder = product % c;
    if (2 * (remainder < 0 ? -remainder : remainder) >= (c < 0 ? -c : c))
        quotient += ((product < 0) != (c < 0)) ? -1 : 1;
    return quotient;
}

// a x b / c in 64-bit arithmetic, rounded as MulDivRounded, as the Windows
// MulDiv: -1 when c is 0 or the result does not fit in 32 bits.
inline int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    const int64_t quotient = MulDivRounded(a, b, c);
    if (quotient > INT32_MAX || quotient < INT32_MIN) return -1;
    return static_cast<int32_t>(quotient);
}
