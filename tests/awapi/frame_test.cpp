#include <gtest/gtest.h>

#include "Awapi/frame.h"
#include "core/matrix.h"

namespace {

void ExpectMatrixNear(const Matrix34& a, const Matrix34& b, float tolerance) {
    for (int i = 0; i < 12; ++i) EXPECT_NEAR(a.m[i], b.m[i], tolerance) << "element " << i;
}

class ScaledFrame : public AwScaledFrame {};

TEST(Frame, TheLastRotationGivenRules) {
    AwFrame frame;
    frame.SetPosition(1.0f, 2.0f, 3.0f);
    frame.SetQuaternion(Quaternion{0, 0, 0, 1});
    frame.SetAngles(1024, 0, 0); // a quarter turn about Y
    const Matrix34 angles = *frame.GetMatrix();
    EXPECT_NEAR(angles.m[2], 1.0f, 1e-6f);
    EXPECT_EQ(angles.m[3], 1.0f);
    frame.SetQuaternion(Quaternion{0, 0, 0, 1});
    Matrix34 unturned;
    unturned.MakeTranslation(Vector3(1, 2, 3));
    ExpectMatrixNear(*frame.GetMatrix(), unturned, 0);
    frame.SetAngles(1024, 0, 0);
    ExpectMatrixNear(*frame.GetMatrix(), angles, 0);
    // Angles wrap at a full turn.
    frame.SetAngles(4096 + 1024, 4096, -4096);
    ExpectMatrixNear(*frame.GetMatrix(), angles, 0);
}

TEST(Frame, ANewPositionChangesOnlyTheTranslation) {
    AwFrame frame;
    frame.SetAngles(100, 200, 300);
    frame.SetPosition(0.0f, 0.0f, 0.0f);
    const Matrix34 before = *frame.GetMatrix();
    const Matrix34* cached = frame.GetMatrix();
    frame.SetPositionVector(Vector3(4, 5, 6));
    const Matrix34 after = *frame.GetMatrix();
    EXPECT_EQ(cached, frame.GetMatrix());
    for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10}) EXPECT_EQ(after.m[i], before.m[i]);
    EXPECT_EQ(after.m[3], 4.0f);
    EXPECT_EQ(after.m[11], 6.0f);
    // The inverse undoes the matrix.
    Matrix34 product;
    frame.GetInverseMatrix()->Multiply(product, after);
    ExpectMatrixNear(product, Matrix34(1), 1e-5f);
}

TEST(ScaledFrameTest, ScaleCountsOnlyAfterTheUnitFlagIsCleared) {
    ScaledFrame frame;
    frame.SetAngles(512, 0, 0);
    frame.SetPosition(1.0f, 2.0f, 3.0f);
    frame.SetScale(Vector3(2, 2, 2));
    const Matrix34 plain = *frame.AwFrame::GetMatrix();
    ExpectMatrixNear(*frame.GetMatrix(), plain, 0);

    frame.ClearFlagBit31();
    frame.SetScale(Vector3(2, 2, 2));
    const Matrix34 scaled = *frame.GetMatrix();
    for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10}) EXPECT_EQ(scaled.m[i], 2 * plain.m[i]);
    for (int i : {3, 7, 11}) EXPECT_EQ(scaled.m[i], plain.m[i]);

    for (const Vector3& s : {Vector3(2, 2, 2), Vector3(0.5f, 3, -1.5f)}) {
        frame.SetScale(s);
        Matrix34 product;
        frame.GetInverseMatrix()->Multiply(product, *frame.GetMatrix());
        ExpectMatrixNear(product, Matrix34(1), 0.002f);
    }
}

} // namespace
