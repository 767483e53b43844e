#pragma once
// 3x4 affine matrices and rotation quaternions.
//
// Matrix34 applies to column vectors: p' = R p + t, with rows
// (m[4r], m[4r+1], m[4r+2], m[4r+3]), columns 0-2 the rotation/scale block R
// and column 3 the translation t. Direct3D's 4x4 row-vector matrices
// (D[row][column], translation in row 3) meet it only through FromD3DMatrix
// and TransformPointD3D.
//
// Rotations take float angles of 4,096 units per turn, converted to a table
// index with the thread's rounding (toward minus infinity) and wrapped to
// 0..4095; sines and cosines come from MathTables. No trigonometric call,
// division or square root is made here.

#include <cstdint>

#include "core/maths.h"

struct Quaternion {
    Real x, y, z, w;
};

class Matrix34 {
public:
    Real m[12];

    Matrix34() = default; // leaves the elements unset
    // All zero; the identity when k is 1.
    constexpr explicit Matrix34(int k) : m{} {
        if (k == 1) m[0] = m[5] = m[10] = 1.0f;
    }

    // m[4r+c] = D[c][r]: the transpose of D's first three columns.
    void FromD3DMatrix(const Real (&d)[4][4]);

    // dst = this x src (src applied first); dst may be this or src.
    void Multiply(Matrix34& dst, const Matrix34& src) const;
    // dst = R p + t; dst may be p.
    void TransformPoint(Vector3& dst, const Vector3& p) const;
    // dst = R v; dst may be v.
    void TransformVector(Vector3& dst, const Vector3& v) const;

    // Identity block, translation p.
    void MakeTranslation(const Vector3& p);
    // Block diag(s), translation 0.
    void MakeScale(const Vector3& s);
    // Block diag(s); translation kept.
    void SetScale(const Vector3& s);
    // Translation p; block kept.
    void SetTranslation(const Vector3& p);
    // Block copied from other; translation p.
    void FromRotationAndPoint(const Matrix34& other, const Vector3& p);

    // Make...: rotation block, translation 0. Set...: rotation block, translation kept.
    void MakeRotationX(Real angle);
    void MakeRotationY(Real angle);
    void MakeRotationZ(Real angle);
    void SetRotationX(Real angle);
    void SetRotationY(Real angle);
    void SetRotationZ(Real angle);
    void MakeFromQuaternion(const Quaternion& q);
    void SetRotationFromQuaternion(const Quaternion& q);

private:
    void SetBlock(Real r00, Real r01, Real r02, Real r10, Real r11, Real r12, Real r20, Real r21, Real r22);
    void ClearTranslation() { m[3] = m[7] = m[11] = 0.0f; }
};
static_assert(sizeof(Matrix34) == 48);

// The identity, for callers that want no transform.
inline constexpr Matrix34 IdentityMatrix{1};

// dst = (p, 1) x D in Direct3D's row-vector convention; dst may be p.
void TransformPointD3D(Vector3& dst, const Vector3& p, const Real (&d)[4][4]);

// The rotated Z axis: the third column of the rotation of q.
void QuaternionZAxis(Vector3& dst, const Quaternion& q);
// The Hamilton product a b: the rotation b, then a.
Quaternion QuaternionMultiply(const Quaternion& a, const Quaternion& b);

// What QuaternionSlerp prepares once per pair of keys for QuaternionInterpolate.
struct SlerpRecord {
    static constexpr uint32_t kSpherical = 1;
    static constexpr uint32_t kLinear = 2;

    struct Spherical {
        Real angle;         // the angle between the quaternions, in angle units
        int32_t angleIndex; // the same as an integer
        Real invSin;        // 1 / sin(angle)
        Real signedInvSin;  // the same, negated when the second quaternion must be negated
    };
    union {
        Spherical spherical; // mode kSpherical
        Quaternion target;   // mode kLinear: the second quaternion, sign adjusted
    };
    uint32_t mode;
};
static_assert(sizeof(SlerpRecord) == 20);

// Prepares the interpolation from q0 to q1 the short way round: table slerp
// for quaternions at least the arc cosine of 0.9 apart, a linear blend (not
// normalised) for closer ones.
void QuaternionSlerp(const Quaternion& q0, const Quaternion& q1, SlerpRecord& record);
// dst = the interpolation at weight t (0 gives q0) with the record that
// QuaternionSlerp prepared for q0 and q1; dst may be q0 or q1.
void QuaternionInterpolate(const Quaternion& q0, const Quaternion& q1, Real t, const SlerpRecord& record,
                           Quaternion& dst);
