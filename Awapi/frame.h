#pragma once
// Transform frames: the placement of a thing in its parent's space, a
// position and a rotation (three integer angles of 4,096 per turn, or a
// quaternion, whichever was given last), with the local matrix and its
// inverse built on request and cached. Setters mark stale only what they
// change. The scaled frame adds a per-axis scale, ignored while the
// unit-scale flag is set.
//
// A frame is used by one thread at a time; frames share no storage.

#include <cstdint>

#include "core/maths.h"
#include "core/matrix.h"
#include "core/refcounted.h"

namespace frame_flags {
constexpr uint32_t kMatrix = 0x1;
constexpr uint32_t kInverse = 0x2;
constexpr uint32_t kRotation = 0x4;
constexpr uint32_t kTranslation = 0x8;
constexpr uint32_t kScaleMatrix = 0x10;
constexpr uint32_t kScaled = 0x20;
constexpr uint32_t kInverseScale = 0x40;
constexpr uint32_t kScaledInverse = 0x80;
constexpr uint32_t kOriginGiven = 0x100;
constexpr uint32_t kPositionGiven = 0x200;
constexpr uint32_t kAnglesGiven = 0x400;
constexpr uint32_t kQuaternionGiven = 0x800;
constexpr uint32_t kScaleGiven = 0x3000;
constexpr uint32_t kUnitScale = 0x80000000;
} // namespace frame_flags

class AwFrame {
public:
    AwFrame() = default;
    virtual ~AwFrame() = default;
    AwFrame(const AwFrame&) = delete;
    AwFrame& operator=(const AwFrame&) = delete;

    // The local (frame-to-parent) matrix; the pointer stays valid, its value until the next setter.
    virtual const Matrix34* GetMatrix();
    virtual const Matrix34* GetInverseMatrix();

    void SetPosition(const float& x, const float& y, const float& z);
    void SetPositionVector(const Vector3& position);
    // The origin is kept but never enters the matrix.
    void SetOrigin(const float& x, const float& y, const float& z);
    void SetOriginVector(const Vector3& origin);
    void SetAngles(const int32_t& a, const int32_t& b, const int32_t& c);
    void SetQuaternion(const Quaternion& q);

    const Vector3& Position() const { return position_; }
    uint32_t Flags() const { return flags_; }

protected:
    void BuildInverse();

    Vector3 origin_{0, 0, 0};
    int32_t angles_[3] = {0, 0, 0};
    Quaternion quaternion_{0, 0, 0, 1};
    Matrix34 matrix_{1};
    Matrix34 inverse_{1};
    uint32_t flags_ = frame_flags::kUnitScale;
    Vector3 position_{0, 0, 0};
};

// A reference-counted frame with a per-axis scale (the base of placed objects).
class AwScaledFrame : public AwFrame, public RefCounted {
public:
    // Local x scale: the scale acts first. Equal to the local matrix while the unit-scale flag is set.
    const Matrix34* GetMatrix() override;
    const Matrix34* GetInverseMatrix() override;

    // The reciprocals are taken once here, with the table reciprocal.
    void SetScale(const Vector3& scale);
    // Lets the scale count; cached scaled matrices stay until the next SetScale.
    void ClearFlagBit31() { flags_ &= ~frame_flags::kUnitScale; }

    const Vector3& Scale() const { return scale_; }

private:
    Vector3 scale_{1, 1, 1};
    Vector3 reciprocalScale_{1, 1, 1};
    Matrix34 scaleMatrix_{1}, inverseScaleMatrix_{1}, scaled_{1}, scaledInverse_{1};
};
