#include "core/matrix.h"

#include "core/numeric.h"

namespace {

// A float angle's table index: floor (the thread's rounding), wrapped to a turn.
int32_t AngleIndex(Real angle) { return FloorToInt(angle) & AngleMask; }

} // namespace

void Matrix34::FromD3DMatrix(const Real (&d)[4][4]) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) m[4 * r + c] = d[c][r];
}

void Matrix34::Multiply(Matrix34& dst, const Matrix34& src) const {
    Matrix34 product;
    for (int r = 0; r < 3; ++r) {
        const Real* row = &m[4 * r];
        for (int c = 0; c < 4; ++c)
            product.m[4 * r + c] = row[0] * src.m[c] + row[1] * src.m[4 + c] + row[2] * src.m[8 + c];
        product.m[4 * r + 3] += row[3];
    }
    dst = product;
}

void Matrix34::TransformPoint(Vector3& dst, const Vector3& p) const {
    const Vector3 v = p;
    dst.x = m[0] * v.x + m[1] * v.y + m[2] * v.z + m[3];
    dst.y = m[4] * v.x + m[5] * v.y + m[6] * v.z + m[7];
    dst.z = m[8] * v.x + m[9] * v.y + m[10] * v.z + m[11];
}

void Matrix34::TransformVector(Vector3& dst, const Vector3& v) const {
    const Vector3 u = v;
    dst.x = m[0] * u.x + m[1] * u.y + m[2] * u.z;
    dst.y = m[4] * u.x + m[5] * u.y + m[6] * u.z;
    dst.z = m[8] * u.x + m[9] * u.y + m[10] * u.z;
}

void Matrix34::SetBlock(Real r00, Real r01, Real r02, Real r10, Real r11, Real r12, Real r20, Real r21, Real r22) {
    m[0] = r00, m[1] = r01, m[2] = r02;
    m[4] = r10, m[5] = r11, m[6] = r12;
    m[8] = r20, m[9] = r21, m[10] = r22;
}

void Matrix34::MakeTranslation(const Vector3& p) {
    SetBlock(1, 0, 0, 0, 1, 0, 0, 0, 1);
    SetTranslation(p);
}

void Matrix34::MakeScale(const Vector3& s) {
    SetScale(s);
    ClearTranslation();
}

void Matrix34::SetScale(const Vector3& s) { SetBlock(s.x, 0, 0, 0, s.y, 0, 0, 0, s.z); }

void Matrix34::SetTranslation(const Vector3& p) {
    m[3] = p.x;
    m[7] = p.y;
    m[11] = p.z;
}

void Matrix34::FromRotationAndPoint(const Matrix34& other, const Vector3& p) {
    const Matrix34 source = other;
    SetBlock(source.m[0], source.m[1], source.m[2], source.m[4], source.m[5], source.m[6], source.m[8], source.m[9],
             source.m[10]);
    SetTranslation(p);
}

void Matrix34::SetRotationX(Real angle) {
    const int32_t i = AngleIndex(angle);
    const Real s = SineOf(i), c = CosineOf(i);
    SetBlock(1, 0, 0, 0, c, -s, 0, s, c);
}

void Matrix34::SetRotationY(Real angle) {
    const int32_t i = AngleIndex(angle);
    const Real s = SineOf(i), c = CosineOf(i);
    SetBlock(c, 0, s, 0, 1, 0, -s, 0, c);
}

void Matrix34::SetRotationZ(Real angle) {
    const int32_t i = AngleIndex(angle);
    const Real s = SineOf(i), c = CosineOf(i);
    SetBlock(c, -s, 0, s, c, 0, 0, 0, 1);
}

void Matrix34::MakeRotationX(Real angle) {
    SetRotationX(angle);
    ClearTranslation();
}

void Matrix34::MakeRotationY(Real angle) {
    SetRotationY(angle);
    ClearTranslation();
}

void Matrix34::MakeRotationZ(Real angle) {
    SetRotationZ(angle);
    ClearTranslation();
}

void Matrix34::SetRotationFromQuaternion(const Quaternion& q) {
    const Real xx = 2 * q.x * q.x, yy = 2 * q.y * q.y, zz = 2 * q.z * q.z;
    const Real xy = 2 * q.x * q.y, xz = 2 * q.x * q.z, yz = 2 * q.y * q.z;
    const Real wx = 2 * q.w * q.x, wy = 2 * q.w * q.y, wz = 2 * q.w * q.z;
    SetBlock(1 - yy - zz, xy - wz, xz + wy, //
             xy + wz, 1 - xx - zz, yz - wx, //
             xz - wy, yz + wx, 1 - xx - yy);
}

void Matrix34::MakeFromQuaternion(const Quaternion& q) {
    SetRotationFromQuaternion(q);
    ClearTranslation();
}

void TransformPointD3D(Vector3& dst, const Vector3& p, const Real (&d)[4][4]) {
    const Vector3 v = p;
    dst.x = d[0][0] * v.x + d[1][0] * v.y + d[2][0] * v.z + d[3][0];
    dst.y = d[0][1] * v.x + d[1][1] * v.y + d[2][1] * v.z + d[3][1];
    dst.z = d[0][2] * v.x + d[1][2] * v.y + d[2][2] * v.z + d[3][2];
}

void QuaternionZAxis(Vector3& dst, const Quaternion& q) {
    dst = Vector3(2 * q.x * q.z + 2 * q.w * q.y, 2 * q.y * q.z - 2 * q.w * q.x, 1 - 2 * q.x * q.x - 2 * q.y * q.y);
}

Quaternion QuaternionMultiply(const Quaternion& a, const Quaternion& b) {
    return Quaternion{a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                      a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

void QuaternionSlerp(const Quaternion& q0, const Quaternion& q1, SlerpRecord& record) {
    // Summed in extended precision, then rounded once to float.
    const long double sum = static_cast<long double>(q0.w) * q1.w + static_cast<long double>(q0.z) * q1.z +
                            static_cast<long double>(q0.y) * q1.y + static_cast<long double>(q0.x) * q1.x;
    Real d = static_cast<Real>(sum);
    const bool negated = d < 0.0f;
    if (negated) d = -d;

    if (d < 0.9f) {
        const Real angle = MathTables.ArcCosine[2048 + FloorToInt(d * 2048.0f)];
        const int32_t angleIndex = FloorToInt(angle);
        const Real invSin = FastReciprocal(SineOf(angleIndex));
        record.spherical = {angle, angleIndex, invSin, negated ? -invSin : invSin};
        record.mode = SlerpRecord::kSpherical;
    } else {
        record.target = negated ? Quaternion{-q1.x, -q1.y, -q1.z, -q1.w} : q1;
        record.mode = SlerpRecord::kLinear;
    }
}

void QuaternionInterpolate(const Quaternion& q0, const Quaternion& q1, Real t, const SlerpRecord& record,
                           Quaternion& dst) {
    if (record.mode & SlerpRecord::kLinear) {
        const Quaternion& r = record.target;
        dst = {q0.x + t * (r.x - q0.x), q0.y + t * (r.y - q0.y), q0.z + t * (r.z - q0.z), q0.w + t * (r.w - q0.w)};
        return;
    }
    const SlerpRecord::Spherical& s = record.spherical;
    const int32_t k = FloorToInt(t * s.angle);
    const Real a = SineOf(s.angleIndex - (k & AngleMask)) * s.invSin; // k wrapped first: no overflow for any t
    const Real b = SineOf(k) * s.signedInvSin;
    dst = {a * q0.x + b * q1.x, a * q0.y + b * q1.y, a * q0.z + b * q1.z, a * q0.w + b * q1.w};
}
