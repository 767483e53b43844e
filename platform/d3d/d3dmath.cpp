#include "platform/d3d/d3dmath.h"

#include <cmath>

namespace plat {

Matrix IdentityMatrix() {
    Matrix r;
    for (int i = 0; i < 4; ++i) r.m[i][i] = 1.0f;
    return r;
}

Matrix MatrixMultiply(const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

bool MatrixInverse(const Matrix& src, Matrix* out) {
    // Cofactors through the 2x2 minors of the top and bottom row pairs, in double.
    double m[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) m[i][j] = src.m[i][j];
    const double s0 = m[0][0] * m[1][1] - m[1][0] * m[0][1];
    const double s1 = m[0][0] * m[1][2] - m[1][0] * m[0][2];
    const double s2 = m[0][0] * m[1][3] - m[1][0] * m[0][3];
    const double s3 = m[0][1] * m[1][2] - m[1][1] * m[0][2];
    const double s4 = m[0][1] * m[1][3] - m[1][1] * m[0][3];
    const double s5 = m[0][2] * m[1][3] - m[1][2] * m[0][3];
    const double c5 = m[2][2] * m[3][3] - m[3][2] * m[2][3];
    const double c4 = m[2][1] * m[3][3] - m[3][1] * m[2][3];
    const double c3 = m[2][1] * m[3][2] - m[3][1] * m[2][2];
    const double c2 = m[2][0] * m[3][3] - m[3][0] * m[2][3];
    const double c1 = m[2][0] * m[3][2] - m[3][0] * m[2][2];
    const double c0 = m[2][0] * m[3][1] - m[3][0] * m[2][1];
    const double det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (det == 0.0 || !std::isfinite(det)) return false;
    const double inv = 1.0 / det;
    const double r[4][4] = {
        {(m[1][1] * c5 - m[1][2] * c4 + m[1][3] * c3) * inv, (-m[0][1] * c5 + m[0][2] * c4 - m[0][3] * c3) * inv,
         (m[3][1] * s5 - m[3][2] * s4 + m[3][3] * s3) * inv, (-m[2][1] * s5 + m[2][2] * s4 - m[2][3] * s3) * inv},
        {(-m[1][0] * c5 + m[1][2] * c2 - m[1][3] * c1) * inv, (m[0][0] * c5 - m[0][2] * c2 + m[0][3] * c1) * inv,
         (-m[3][0] * s5 + m[3][2] * s2 - m[3][3] * s1) * inv, (m[2][0] * s5 - m[2][2] * s2 + m[2][3] * s1) * inv},
        {(m[1][0] * c4 - m[1][1] * c2 + m[1][3] * c0) * inv, (-m[0][0] * c4 + m[0][1] * c2 - m[0][3] * c0) * inv,
         (m[3][0] * s4 - m[3][1] * s2 + m[3][3] * s0) * inv, (-m[2][0] * s4 + m[2][1] * s2 - m[2][3] * s0) * inv},
        {(-m[1][0] * c3 + m[1][1] * c1 - m[1][2] * c0) * inv, (m[0][0] * c3 - m[0][1] * c1 + m[0][2] * c0) * inv,
         (-m[3][0] * s3 + m[3][1] * s1 - m[3][2] * s0) * inv, (m[2][0] * s3 - m[2][1] * s1 + m[2][2] * s0) * inv},
    };
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) out->m[i][j] = static_cast<float>(r[i][j]);
    return true;
}

Matrix MatrixRotationQuaternion(const D3dQuaternion& q) {
    Matrix r = IdentityMatrix();
    r.m[0][0] = 1.0f - 2.0f * (q.y * q.y + q.z * q.z);
    r.m[0][1] = 2.0f * (q.x * q.y + q.z * q.w);
    r.m[0][2] = 2.0f * (q.x * q.z - q.y * q.w);
    r.m[1][0] = 2.0f * (q.x * q.y - q.z * q.w);
    r.m[1][1] = 1.0f - 2.0f * (q.x * q.x + q.z * q.z);
    r.m[1][2] = 2.0f * (q.y * q.z + q.x * q.w);
    r.m[2][0] = 2.0f * (q.x * q.z + q.y * q.w);
    r.m[2][1] = 2.0f * (q.y * q.z - q.x * q.w);
    r.m[2][2] = 1.0f - 2.0f * (q.x * q.x + q.y * q.y);
    return r;
}

D3dVector Vec3TransformCoord(const D3dVector& v, const Matrix& m) {
    const float x = v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + m.m[3][0];
    const float y = v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + m.m[3][1];
    const float z = v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + m.m[3][2];
    const float w = v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + m.m[3][3];
    return {x / w, y / w, z / w};
}

} // namespace plat
