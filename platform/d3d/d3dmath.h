#pragma once
// The small 4x4 matrix helpers the engine takes from the maths library of the
// original SDK. Matrices use row vectors (p' = p x M) with the translation in
// the last row.

#include "platform/d3d/d3d_types.h"

namespace plat {

struct D3dQuaternion {
    float x = 0, y = 0, z = 0, w = 1;
};

Matrix IdentityMatrix();

// a x b: out[i][j] = sum over k of a[i][k] b[k][j].
Matrix MatrixMultiply(const Matrix& a, const Matrix& b);

// The inverse of m into out; false (out untouched) when m is singular or not finite.
bool MatrixInverse(const Matrix& m, Matrix* out);

// The rotation of a unit quaternion, for row vectors.
Matrix MatrixRotationQuaternion(const D3dQuaternion& q);

// (v, 1) x m, divided by the resulting w.
D3dVector Vec3TransformCoord(const D3dVector& v, const Matrix& m);

} // namespace plat
