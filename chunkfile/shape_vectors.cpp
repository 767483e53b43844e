#include "chunkfile/shape_vectors.h"

#include <cmath>

int32_t TruncateToInt(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return INT32_MIN;
    return static_cast<int32_t>(x);
}

VectorD& VectorD::operator+=(const VectorD& o) {
    x += o.x;
    y += o.y;
    z += o.z;
    return *this;
}

VectorD& VectorD::operator-=(const VectorD& o) {
    x -= o.x;
    y -= o.y;
    z -= o.z;
    return *this;
}

double VectorD::Length() const { return std::sqrt(Dot(*this, *this)); }

bool VectorD::Normalise() {
    const double length = Length();
    if (length == 0) return false;
    *this = *this / length;
    return true;
}

VectorI VectorD::ToInt() const { return {TruncateToInt(x), TruncateToInt(y), TruncateToInt(z)}; }

Vector3 VectorD::ToVector3() const { return {static_cast<Real>(x), static_cast<Real>(y), static_cast<Real>(z)}; }

VectorD operator+(VectorD a, const VectorD& b) { return a += b; }
VectorD operator-(VectorD a, const VectorD& b) { return a -= b; }
VectorD operator*(const VectorD& v, double s) { return {v.x * s, v.y * s, v.z * s}; }
VectorD operator/(const VectorD& v, double s) { return {v.x / s, v.y / s, v.z / s}; }

VectorD Cross(const VectorD& a, const VectorD& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Dot(const VectorD& a, const VectorD& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

namespace {

int32_t WrappingAdd(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
int32_t WrappingSub(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }

} // namespace

VectorI& VectorI::operator+=(const VectorI& o) {
    x = WrappingAdd(x, o.x);
    y = WrappingAdd(y, o.y);
    z = WrappingAdd(z, o.z);
    return *this;
}

VectorI& VectorI::operator-=(const VectorI& o) {
    x = WrappingSub(x, o.x);
    y = WrappingSub(y, o.y);
    z = WrappingSub(z, o.z);
    return *this;
}

double VectorI::Length() const {
    const double dx = x, dy = y, dz = z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool VectorI::Normalise() {
    const double d = Length() / 65536.0;
    if (d == 0) return false;
    *this = *this / d;
    return true;
}

VectorI operator+(VectorI a, const VectorI& b) { return a += b; }
VectorI operator-(VectorI a, const VectorI& b) { return a -= b; }
VectorI operator*(const VectorI& v, double s) { return {TruncateToInt(v.x * s), TruncateToInt(v.y * s), TruncateToInt(v.z * s)}; }
VectorI operator/(const VectorI& v, double s) { return {TruncateToInt(v.x / s), TruncateToInt(v.y / s), TruncateToInt(v.z / s)}; }

const IntPair& Min(const IntPair& a, const IntPair& b) {
    const bool aFirst = a.first < b.first || (a.first == b.first && a.second < b.second);
    return aFirst ? a : b;
}
