#include <gtest/gtest.h>

#include <cmath>

#include "core/matrix.h"

namespace {

void ExpectNear(const Vector3& v, Real x, Real y, Real z, Real tolerance = 1e-6f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

void ExpectNear(const Quaternion& q, const Quaternion& e, Real tolerance) {
    EXPECT_NEAR(q.x, e.x, tolerance);
    EXPECT_NEAR(q.y, e.y, tolerance);
    EXPECT_NEAR(q.z, e.z, tolerance);
    EXPECT_NEAR(q.w, e.w, tolerance);
}

void ExpectEqual(const Matrix34& a, const Matrix34& b) {
    for (int i = 0; i < 12; ++i) EXPECT_EQ(a.m[i], b.m[i]) << "element " << i;
}

// A rotation of angle units about a unit axis, as a quaternion.
Quaternion AxisAngle(Real ax, Real ay, Real az, double angleUnits) {
    const double half = angleUnits * M_PI / 4096.0;
    const Real s = static_cast<Real>(std::sin(half));
    return {ax * s, ay * s, az * s, static_cast<Real>(std::cos(half))};
}

// A matrix with a rotation, a scale and a translation, all different.
Matrix34 Sample(Real angle, const Vector3& scale, const Vector3& offset) {
    Matrix34 r, s, out;
    r.MakeRotationY(angle);
    s.MakeScale(scale);
    r.Multiply(out, s);
    out.SetTranslation(offset);
    return out;
}

} // namespace

TEST(Matrix34, ZeroAndIdentityConstruction) {
    const Matrix34 zero(0), identity(1);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(zero.m[i], 0.0f);
        EXPECT_EQ(identity.m[i], (i == 0 || i == 5 || i == 10) ? 1.0f : 0.0f);
    }
    ExpectEqual(IdentityMatrix, identity);
}

TEST(Matrix34, AxisRotationsTurnOneAxisIntoTheNext) {
    struct Case {
        void (Matrix34::*make)(Real);
        Vector3 from;
        Vector3 to;
    };
    const Case cases[] = {
        {&Matrix34::MakeRotationX, {0, 1, 0}, {0, 0, 1}},
        {&Matrix34::MakeRotationY, {0, 0, 1}, {1, 0, 0}},
        {&Matrix34::MakeRotationZ, {1, 0, 0}, {0, 1, 0}},
    };
    for (const Case& c : cases) {
        Matrix34 m(0);
        m.m[3] = 7; // Make... clears the translation
        (m.*c.make)(1024.0f);
        Vector3 out;
        m.TransformPoint(out, c.from);
        ExpectNear(out, c.to.x, c.to.y, c.to.z, 0.0f);
        EXPECT_EQ(m.m[3], 0.0f);
    }
}

TEST(Matrix34, RotationAnglesFloorAndWrapToATurn) {
    struct Case {
        Real angle;
        Real sameAs;
    };
    const Case cases[] = {
        {4096.0f, 0.0f}, {-4096.0f, 0.0f}, {8192.0f, 0.0f}, // whole turns are the identity
        {1023.9f, 1023.0f},                                 // floored, not rounded
        {-0.5f, 4095.0f},                                   // floored toward minus infinity
        {5120.0f, 1024.0f},
        {NAN, 0.0f},
    };
    for (const Case& c : cases) {
        Matrix34 a, b;
        a.MakeRotationZ(c.angle);
        b.MakeRotationZ(c.sameAs);
        ExpectEqual(a, b);
    }
    Matrix34 whole;
    whole.MakeRotationZ(4096.0f);
    ExpectEqual(whole, IdentityMatrix);
}

TEST(Matrix34, SetFormsKeepTheTranslationAndMakeFormsClearIt) {
    const Vector3 t(1, 2, 3);
    Matrix34 m;
    m.MakeTranslation(t);
    m.SetRotationX(512.0f);
    m.SetRotationY(512.0f);
    m.SetRotationZ(512.0f);
    m.SetRotationFromQuaternion(AxisAngle(0, 0, 1, 100));
    m.SetScale({2, 3, 4});
    EXPECT_EQ(m.m[3], 1.0f);
    EXPECT_EQ(m.m[7], 2.0f);
    EXPECT_EQ(m.m[11], 3.0f);
    Vector3 out;
    m.TransformPoint(out, {1, 1, 1});
    ExpectNear(out, 3, 5, 7);
    m.TransformVector(out, {1, 1, 1});
    ExpectNear(out, 2, 3, 4);

    m.MakeFromQuaternion(AxisAngle(0, 0, 1, 100));
    EXPECT_EQ(m.m[3], 0.0f);
    EXPECT_EQ(m.m[7], 0.0f);
    EXPECT_EQ(m.m[11], 0.0f);

    Matrix34 copy;
    copy.FromRotationAndPoint(m, {4, 5, 6});
    for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10}) EXPECT_EQ(copy.m[i], m.m[i]);
    EXPECT_EQ(copy.m[3], 4.0f);
    EXPECT_EQ(copy.m[11], 6.0f);
}

TEST(Matrix34, MultiplyAppliesTheRightOperandFirstAndAllowsAliasing) {
    const Matrix34 a = Sample(300.0f, {1, 2, 3}, {4, 5, 6});
    const Matrix34 b = Sample(700.0f, {2, 1, 0.5f}, {-1, 0, 2});
    const Vector3 p(0.5f, -2.0f, 3.0f);

    Matrix34 ab;
    a.Multiply(ab, b);
    Vector3 viaProduct, viaB, viaBoth;
    ab.TransformPoint(viaProduct, p);
    b.TransformPoint(viaB, p);
    a.TransformPoint(viaBoth, viaB);
    ExpectNear(viaProduct, viaBoth.x, viaBoth.y, viaBoth.z, 1e-4f);

    Matrix34 intoThis = a;
    intoThis.Multiply(intoThis, b);
    ExpectEqual(intoThis, ab);
    Matrix34 intoSource = b;
    a.Multiply(intoSource, intoSource);
    ExpectEqual(intoSource, ab);
}

TEST(Matrix34, TransformsAllowTheSourceAsDestination) {
    const Matrix34 a = Sample(300.0f, {1, 2, 3}, {4, 5, 6});
    const Vector3 p(0.5f, -2.0f, 3.0f);
    Vector3 expected, inPlace = p;
    a.TransformPoint(expected, p);
    a.TransformPoint(inPlace, inPlace);
    ExpectNear(inPlace, expected.x, expected.y, expected.z, 0.0f);
    a.TransformVector(expected, p);
    inPlace = p;
    a.TransformVector(inPlace, inPlace);
    ExpectNear(inPlace, expected.x, expected.y, expected.z, 0.0f);
}

TEST(Matrix34, Direct3DMatricesTransformTheSameAfterTransposition) {
    const Real d[4][4] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}, {10, 11, 12, 1}};
    Matrix34 m;
    m.FromD3DMatrix(d);
    EXPECT_EQ(m.m[1], 4.0f); // m[4r+c] = D[c][r]
    EXPECT_EQ(m.m[3], 10.0f);
    EXPECT_EQ(m.m[4], 2.0f);
    EXPECT_EQ(m.m[11], 12.0f);

    const Vector3 p(1, -2, 3);
    Vector3 viaMatrix, viaD3D;
    m.TransformPoint(viaMatrix, p);
    TransformPointD3D(viaD3D, p, d);
    ExpectNear(viaD3D, 1 - 8 + 21 + 10, 2 - 10 + 24 + 11, 3 - 12 + 27 + 12, 0.0f);
    ExpectNear(viaMatrix, viaD3D.x, viaD3D.y, viaD3D.z, 0.0f);

    TransformPointD3D(viaD3D, p, IdentityMatrix4);
    ExpectNear(viaD3D, p.x, p.y, p.z, 0.0f);
}

TEST(Quaternion, RotationMatrixAndZAxisMatchTheAxisRotations) {
    // A quarter turn about z as a quaternion equals the table rotation.
    Matrix34 fromQ, table;
    fromQ.MakeFromQuaternion(AxisAngle(0, 0, 1, 1024));
    table.MakeRotationZ(1024.0f);
    for (int i = 0; i < 12; ++i) EXPECT_NEAR(fromQ.m[i], table.m[i], 1e-6f) << i;

    // The z axis of any rotation is the third column of its matrix.
    const Real n = 1.0f / std::sqrt(14.0f);
    const Quaternion q = AxisAngle(1 * n, 2 * n, 3 * n, 777);
    Matrix34 m;
    m.MakeFromQuaternion(q);
    Vector3 z;
    QuaternionZAxis(z, q);
    ExpectNear(z, m.m[2], m.m[6], m.m[10], 1e-6f);

    QuaternionZAxis(z, {0, 0, 0, 1});
    ExpectNear(z, 0, 0, 1, 0.0f);
}

TEST(Quaternion, ProductAppliesTheRightFactorFirst) {
    const Real n = 1.0f / std::sqrt(14.0f);
    const Quaternion a = AxisAngle(1 * n, 2 * n, 3 * n, 777), b = AxisAngle(0, 1, 0, 300);
    Matrix34 ma, mb, product, fromProduct;
    ma.MakeFromQuaternion(a);
    mb.MakeFromQuaternion(b);
    ma.Multiply(product, mb);
    fromProduct.MakeFromQuaternion(QuaternionMultiply(a, b));
    for (int i = 0; i < 12; ++i) EXPECT_NEAR(fromProduct.m[i], product.m[i], 1e-6f) << i;
}

TEST(Quaternion, CloseQuaternionsBlendLinearly) {
    const Quaternion q = AxisAngle(0, 1, 0, 300);
    SlerpRecord record;
    QuaternionSlerp(q, q, record);
    EXPECT_EQ(record.mode, SlerpRecord::kLinear);
    for (Real t : {0.0f, 0.3f, 1.0f}) {
        Quaternion out;
        QuaternionInterpolate(q, q, t, record, out);
        ExpectNear(out, q, 1e-7f);
    }

    // Opposite signs are the same rotation: the record flips the second one,
    // so the blend stays on q instead of passing through zero.
    const Quaternion minus{-q.x, -q.y, -q.z, -q.w};
    QuaternionSlerp(q, minus, record);
    EXPECT_EQ(record.mode, SlerpRecord::kLinear);
    ExpectNear(record.target, q, 0.0f);
    Quaternion out;
    QuaternionInterpolate(q, minus, 0.5f, record, out);
    ExpectNear(out, q, 1e-7f);

    // Linear between neighbours 100 units apart: near the true slerp, not normalised.
    const Quaternion near = AxisAngle(0, 1, 0, 400);
    QuaternionSlerp(q, near, record);
    EXPECT_EQ(record.mode, SlerpRecord::kLinear);
    QuaternionInterpolate(q, near, 0.5f, record, out);
    ExpectNear(out, AxisAngle(0, 1, 0, 350), 2e-3f);
}

TEST(Quaternion, DistantQuaternionsSlerpThroughTheTables) {
    const Quaternion q0{0, 0, 0, 1};
    const Quaternion q1 = AxisAngle(0, 0, 1, 1024); // dot 0.7071: spherical
    SlerpRecord record;
    QuaternionSlerp(q0, q1, record);
    ASSERT_EQ(record.mode, SlerpRecord::kSpherical);
    EXPECT_NEAR(record.spherical.angle, 512.0f, 1.0f); // half the rotation angle
    EXPECT_EQ(record.spherical.signedInvSin, record.spherical.invSin);

    Quaternion out;
    QuaternionInterpolate(q0, q1, 0.0f, record, out);
    ExpectNear(out, q0, 2e-3f);
    QuaternionInterpolate(q0, q1, 1.0f, record, out);
    ExpectNear(out, q1, 2e-3f);
    QuaternionInterpolate(q0, q1, 0.5f, record, out);
    ExpectNear(out, AxisAngle(0, 0, 1, 512), 2e-3f);

    // With the second quaternion negated the coefficient is, so the path is the same.
    const Quaternion minus{-q1.x, -q1.y, -q1.z, -q1.w};
    SlerpRecord negated;
    QuaternionSlerp(q0, minus, negated);
    ASSERT_EQ(negated.mode, SlerpRecord::kSpherical);
    EXPECT_EQ(negated.spherical.signedInvSin, -negated.spherical.invSin);
    QuaternionInterpolate(q0, minus, 0.5f, negated, out);
    ExpectNear(out, AxisAngle(0, 0, 1, 512), 2e-3f);

    // The destination may be an input.
    Quaternion inPlace = q0;
    QuaternionInterpolate(inPlace, q1, 0.5f, record, inPlace);
    ExpectNear(inPlace, AxisAngle(0, 0, 1, 512), 2e-3f);
}
