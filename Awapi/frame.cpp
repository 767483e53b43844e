#include "Awapi/frame.h"

using namespace frame_flags;

namespace {
constexpr uint32_t kAllMatrices = 0xFF;
} // namespace

void AwFrame::SetPosition(const float& x, const float& y, const float& z) { SetPositionVector(Vector3(x, y, z)); }

void AwFrame::SetPositionVector(const Vector3& position) {
    position_ = position;
    flags_ = (flags_ & ~(kAllMatrices | kOriginGiven)) | kPositionGiven;
}

void AwFrame::SetOrigin(const float& x, const float& y, const float& z) { SetOriginVector(Vector3(x, y, z)); }

void AwFrame::SetOriginVector(const Vector3& origin) {
    origin_ = origin;
    flags_ = (flags_ & ~(kAllMatrices | kPositionGiven)) | kOriginGiven;
}

void AwFrame::SetAngles(const int32_t& a, const int32_t& b, const int32_t& c) {
    angles_[0] = a;
    angles_[1] = b;
    angles_[2] = c;
    flags_ = (flags_ & ~(kAllMatrices & ~kTranslation) & ~kQuaternionGiven) | kAnglesGiven;
}

void AwFrame::SetQuaternion(const Quaternion& q) {
    quaternion_ = q;
    flags_ = (flags_ & ~(kAllMatrices & ~kTranslation) & ~kAnglesGiven) | kQuaternionGiven;
}

const Matrix34* AwFrame::GetMatrix() {
    if (flags_ & kMatrix) return &matrix_;
    if (!(flags_ & kRotation)) {
        if (flags_ & kQuaternionGiven) {
            matrix_.SetRotationFromQuaternion(quaternion_);
        } else {
            // Ry(a) x Rx(b) x Rz(c): turned about Z first, then X, then Y.
            Matrix34 x, z;
            matrix_.MakeRotationY(static_cast<Real>(angles_[0]));
            x.MakeRotationX(static_cast<Real>(angles_[1]));
            z.MakeRotationZ(static_cast<Real>(angles_[2]));
            matrix_.Multiply(matrix_, x);
            matrix_.Multiply(matrix_, z);
            flags_ &= ~kTranslation;
        }
        flags_ |= kRotation;
    }
    if (!(flags_ & kTranslation)) {
        matrix_.SetTranslation(position_);
        flags_ |= kPositionGiven | kTranslation;
    }
    flags_ |= kMatrix;
    return &matrix_;
}

void AwFrame::BuildInverse() {
    if (!(flags_ & kMatrix)) GetMatrix();
    const Real* m = matrix_.m;
    Real* r = inverse_.m;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) r[row * 4 + col] = m[col * 4 + row];
    for (int row = 0; row < 3; ++row)
        r[row * 4 + 3] = -(r[row * 4] * m[3] + r[row * 4 + 1] * m[7] + r[row * 4 + 2] * m[11]);
    flags_ |= kInverse;
}

const Matrix34* AwFrame::GetInverseMatrix() {
    if (!(flags_ & kInverse)) BuildInverse();
    return &inverse_;
}

void AwScaledFrame::SetScale(const Vector3& scale) {
    scale_ = scale;
    reciprocalScale_ = Vector3(FastReciprocal(scale.x), FastReciprocal(scale.y), FastReciprocal(scale.z));
    flags_ = (flags_ & ~(kScaleMatrix | kScaled | kInverseScale | kScaledInverse)) | kScaleGiven;
}

const Matrix34* AwScaledFrame::GetMatrix() {
    if (flags_ & kScaled) return &scaled_;
    AwFrame::GetMatrix();
    if (flags_ & kUnitScale) {
        scaled_ = matrix_;
    } else {
        if (!(flags_ & kScaleMatrix)) scaleMatrix_.MakeScale(scale_);
        matrix_.Multiply(scaled_, scaleMatrix_);
    }
    flags_ |= kScaleMatrix | kScaled;
    return &scaled_;
}

const Matrix34* AwScaledFrame::GetInverseMatrix() {
    if (flags_ & kScaledInverse) return &scaledInverse_;
    if (!(flags_ & kInverse)) BuildInverse();
    if (flags_ & kUnitScale) {
        scaledInverse_ = inverse_;
    } else {
        if (!(flags_ & kInverseScale)) inverseScaleMatrix_.MakeScale(reciprocalScale_);
        inverseScaleMatrix_.Multiply(scaledInverse_, inverse_);
    }
    flags_ |= kInverseScale | kScaledInverse;
    return &scaledInverse_;
}
