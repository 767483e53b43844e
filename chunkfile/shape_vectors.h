#pragma once
// Small value types of the shape tools: a vector of doubles, a vector of
// 32-bit integers (file coordinates) and an integer pair. Conversions to
// integers truncate toward zero; a value that no 32-bit integer holds (or a
// NaN) becomes INT32_MIN, as the x87's "integer indefinite" did.

#include <cstdint>

#include "core/maths.h"

int32_t TruncateToInt(double x);

// Sums and differences wrap around as the machine's integers do.
struct VectorI {
    int32_t x = 0, y = 0, z = 0;

    bool operator==(const VectorI&) const = default;
    VectorI& operator+=(const VectorI& o);
    VectorI& operator-=(const VectorI& o);
    double Length() const;
    // Scales to length 65,536 (16.16 fixed point); false (unchanged) for a
    // zero vector.
    bool Normalise();
};

VectorI operator+(VectorI a, const VectorI& b);
VectorI operator-(VectorI a, const VectorI& b);
VectorI operator*(const VectorI& v, double s);
VectorI operator/(const VectorI& v, double s);

struct VectorD {
    double x = 0, y = 0, z = 0;

    VectorD& operator+=(const VectorD& o);
    VectorD& operator-=(const VectorD& o);
    double Length() const;
    // Divides by the length; false (unchanged) for a zero vector.
    bool Normalise();
    VectorI ToInt() const;
    Vector3 ToVector3() const;
};

VectorD operator+(VectorD a, const VectorD& b);
VectorD operator-(VectorD a, const VectorD& b);
VectorD operator*(const VectorD& v, double s);
VectorD operator/(const VectorD& v, double s);
VectorD Cross(const VectorD& a, const VectorD& b);
double Dot(const VectorD& a, const VectorD& b);

struct IntPair {
    int32_t first = 0, second = 0;

    bool operator==(const IntPair&) const = default;
};

// The lesser of two pairs by first, then second member; `b` when they are equal.
const IntPair& Min(const IntPair& a, const IntPair& b);
