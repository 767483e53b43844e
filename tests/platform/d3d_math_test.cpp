#include <gtest/gtest.h>

#include <cmath>

#include "platform/d3d/d3dmath.h"

using namespace plat;

namespace {

Matrix Rows(std::initializer_list<std::initializer_list<float>> rows) {
    Matrix m;
    int i = 0;
    for (const auto& row : rows) {
        int j = 0;
        for (float v : row) m.m[i][j++] = v;
        ++i;
    }
    return m;
}

void ExpectNear(const Matrix& a, const Matrix& b, float tolerance) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], tolerance) << "at " << i << "," << j;
}

TEST(D3dMath, MultiplyComposesRowVectorTransformsLeftFirst) {
    const Matrix scale = Rows({{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {0, 0, 0, 1}});
    const Matrix move = Rows({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {5, 6, 7, 1}});
    // Scale first, then move: (1, 1, 1) -> (2, 3, 4) -> (7, 9, 11).
    const D3dVector p = Vec3TransformCoord({1, 1, 1}, MatrixMultiply(scale, move));
    EXPECT_EQ(p.x, 7.0f);
    EXPECT_EQ(p.y, 9.0f);
    EXPECT_EQ(p.z, 11.0f);
    const D3dVector q = Vec3TransformCoord({1, 1, 1}, MatrixMultiply(move, scale));
    EXPECT_EQ(q.x, 12.0f);
}

TEST(D3dMath, TransformCoordDividesByW) {
    const Matrix perspective = Rows({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 2, 1}, {0, 0, -2, 0}});
    const D3dVector p = Vec3TransformCoord({4, -2, 2}, perspective);
    EXPECT_EQ(p.x, 2.0f);
    EXPECT_EQ(p.y, -1.0f);
    EXPECT_EQ(p.z, 1.0f);
}

TEST(D3dMath, InverseUndoesAGeneralMatrixAndRefusesASingularOne) {
    const Matrix m = Rows({{2, 1, 0, 0}, {0, 3, 1, 0}, {1, 0, 4, 0}, {5, -6, 7, 1}});
    Matrix inverse;
    ASSERT_TRUE(MatrixInverse(m, &inverse));
    ExpectNear(MatrixMultiply(m, inverse), IdentityMatrix(), 1e-5f);
    ExpectNear(MatrixMultiply(inverse, m), IdentityMatrix(), 1e-5f);

    const Matrix flat = Rows({{1, 2, 3, 0}, {2, 4, 6, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
    Matrix untouched = IdentityMatrix();
    EXPECT_FALSE(MatrixInverse(flat, &untouched));
    ExpectNear(untouched, IdentityMatrix(), 0.0f);
}

TEST(D3dMath, QuaternionRotationTurnsRowVectors) {
    const float h = std::sqrt(0.5f);
    // A quarter turn about y takes x to -z for row vectors.
    const Matrix aboutY = MatrixRotationQuaternion({0, h, 0, h});
    const D3dVector p = Vec3TransformCoord({1, 0, 0}, aboutY);
    EXPECT_NEAR(p.x, 0.0f, 1e-6f);
    EXPECT_NEAR(p.z, -1.0f, 1e-6f);
    // A quarter turn about z takes x to y.
    const D3dVector q = Vec3TransformCoord({1, 0, 0}, MatrixRotationQuaternion({0, 0, h, h}));
    EXPECT_NEAR(q.y, 1.0f, 1e-6f);
    EXPECT_NEAR(q.x, 0.0f, 1e-6f);
    ExpectNear(MatrixRotationQuaternion({0, 0, 0, 1}), IdentityMatrix(), 0.0f);
}

} // namespace
