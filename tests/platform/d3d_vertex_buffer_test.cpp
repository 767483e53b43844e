#include <cstring>
#include <vector>

#include "platform/d3d/d3dmath.h"
#include "tests/platform/d3d_fixture.h"

using namespace plat;

namespace {

class VertexBufferTest : public D3dTest {
protected:
    void SetUp() override {
        D3dTest::SetUp();
        MakeDevice();
    }
    Ref<VertexBuffer> Make(uint32_t fvf, uint32_t count, uint32_t caps = kVbCapsSystemMemory) {
        Ref<VertexBuffer> vb;
        EXPECT_EQ(d3d->CreateVertexBuffer({caps, fvf, count}, vb.Out(), 0), kDdOk);
        return vb;
    }
    void Write(VertexBuffer* vb, const std::vector<D3dVector>& points) {
        void* data = nullptr;
        ASSERT_EQ(vb->Lock(kDdLockWait | kDdLockWriteOnly | kDdLockDiscardContents, &data, nullptr), kDdOk);
        std::memcpy(data, points.data(), points.size() * sizeof(D3dVector));
        ASSERT_EQ(vb->Unlock(), kDdOk);
    }
};

// x, y, z, rhw as a pre-transformed vertex holds them.
struct Transformed {
    float x, y, z, rhw;
    friend bool operator==(const Transformed&, const Transformed&) = default;
};

std::ostream& operator<<(std::ostream& os, const Transformed& v) {
    return os << "(" << v.x << ", " << v.y << ", " << v.z << ", " << v.rhw << ")";
}

TEST_F(VertexBufferTest, ProcessVerticesMapsKnownPointsThroughTransformsAndViewport) {
    // Near 1, far 2: z/w runs from 0 at the near plane to 1 at the far one.
    Matrix projection;
    projection.m[0][0] = projection.m[1][1] = 1;
    projection.m[2][2] = 2;
    projection.m[2][3] = 1;
    projection.m[3][2] = -2;
    Matrix raised = IdentityMatrix();
    raised.m[3][2] = 1; // the world moves one unit away

    struct Case {
        const char* name;
        Viewport7 viewport;
        Matrix world;
        D3dVector point;
        Transformed expected;
    };
    const Viewport7 full{0, 0, 640, 480, 0, 1}, reversed{0, 0, 640, 480, 1, 0}, inset{100, 50, 200, 100, 0.25f, 0.75f};
    const std::vector<Case> cases = {
        {"centre of the far plane", full, IdentityMatrix(), {0, 0, 2}, {320, 240, 1, 0.5f}},
        {"corner of the near plane", full, IdentityMatrix(), {1, 1, 1}, {640, 0, 0, 1}},
        {"off-centre far point", full, IdentityMatrix(), {-0.5f, 0.5f, 2}, {240, 180, 1, 0.5f}},
        {"reversed range, far", reversed, IdentityMatrix(), {0, 0, 2}, {320, 240, 0, 0.5f}},
        {"reversed range, near", reversed, IdentityMatrix(), {1, 1, 1}, {640, 0, 1, 1}},
        {"inset viewport", inset, IdentityMatrix(), {1, 1, 1}, {300, 50, 0.25f, 1}},
        {"inset viewport, far", inset, IdentityMatrix(), {-1, -1, 2}, {150, 125, 0.75f, 0.5f}},
        {"world transform applies", full, raised, {0, 0, 1}, {320, 240, 1, 0.5f}},
    };
    Ref<VertexBuffer> source = Make(kFvfXyz, 4, kVbCapsSystemMemory | kVbCapsWriteOnly);
    Ref<VertexBuffer> screen = Make(kFvfXyzRhw, 8, kVbCapsSystemMemory | kVbCapsDoNotClip);
    ASSERT_EQ(device->SetTransform(kTransformProjection, projection), kDdOk);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(device->SetViewport(c.viewport), kDdOk);
        ASSERT_EQ(device->SetTransform(kTransformWorld, c.world), kDdOk);
        Write(source.get(), {{9, 9, 9}, c.point});
        ASSERT_EQ(screen->ProcessVertices(kVopTransform, 3, 1, source.get(), 1, device.get(), 0), kDdOk);
        Transformed out{};
        ASSERT_EQ(screen->UseVertices(3, 1, [&](const uint8_t* v) { std::memcpy(&out, v, sizeof out); }), kDdOk);
        EXPECT_EQ(out, c.expected);
    }
}

TEST_F(VertexBufferTest, ProcessVerticesRefusesWhatItCannotDo) {
    Ref<VertexBuffer> source = Make(kFvfXyz, 4), screen = Make(kFvfXyzRhw, 4), other = Make(kFvfXyz, 4);
    EXPECT_EQ(screen->ProcessVertices(kVopTransform, 2, 3, source.get(), 0, device.get(), 0), kDdErrInvalidParams);
    EXPECT_EQ(screen->ProcessVertices(kVopTransform, 0, 2, source.get(), 3, device.get(), 0), kDdErrInvalidParams);
    EXPECT_EQ(other->ProcessVertices(kVopTransform, 0, 2, source.get(), 0, device.get(), 0), kDdErrInvalidParams)
        << "the destination must hold pre-transformed vertices";
    EXPECT_EQ(screen->ProcessVertices(0x400, 0, 2, source.get(), 0, device.get(), 0), kDdErrInvalidParams)
        << "lighting is not offered";
    void* data = nullptr;
    ASSERT_EQ(source->Lock(0, &data, nullptr), kDdOk);
    EXPECT_EQ(screen->ProcessVertices(kVopTransform, 0, 2, source.get(), 0, device.get(), 0), kD3dErrVertexBufferLocked);
    ASSERT_EQ(source->Unlock(), kDdOk);
    ASSERT_EQ(screen->Optimize(device.get(), 0), kDdOk);
    EXPECT_EQ(screen->ProcessVertices(kVopTransform, 0, 2, source.get(), 0, device.get(), 0),
              kD3dErrVertexBufferOptimized);
}

TEST_F(VertexBufferTest, LockUnlockAndOptimizeFollowTheBuffersState) {
    Ref<VertexBuffer> vb = Make(0x1C4, 2048, kVbCapsWriteOnly | kVbCapsDoNotClip);
    void* data = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(vb->Lock(0x821, &data, &size), kDdOk);
    EXPECT_EQ(size, 2048u * 32u);
    EXPECT_EQ(vb->Lock(0x821, &data, &size), kD3dErrVertexBufferLocked);
    EXPECT_EQ(vb->Optimize(device.get(), 0), kD3dErrVertexBufferLocked);
    ASSERT_EQ(vb->Unlock(), kDdOk);
    EXPECT_EQ(vb->Unlock(), kD3dErrVertexBufferUnlockFailed);
    ASSERT_EQ(vb->Optimize(device.get(), 0), kDdOk);
    EXPECT_EQ(vb->Optimize(device.get(), 0), kD3dErrVertexBufferOptimized); // 0x8876080C
    EXPECT_EQ(uint32_t(kD3dErrVertexBufferOptimized), 0x8876080Cu);
    EXPECT_EQ(vb->Lock(0x821, &data, nullptr), kD3dErrVertexBufferOptimized);
}

TEST_F(VertexBufferTest, CreationTakesTheFormatsInUseAndRefusesOthers) {
    struct Case {
        uint32_t fvf;
        uint32_t stride; // 0: refused
    };
    const Case cases[] = {
        {0x002, 12}, {0x004, 16}, {0x112, 32}, {0x142, 24}, {0x152, 36}, {0x1C4, 32},
        {0x014, 0},  // a normal on pre-transformed vertices
        {0x006, 0},  // two positions
        {0x040, 0},  // no position
        {0x10002, 0}, // texture coordinates other than pairs
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "fvf 0x" << c.fvf);
        Ref<VertexBuffer> vb;
        const HResult r = d3d->CreateVertexBuffer({kVbCapsSystemMemory, c.fvf, 3}, vb.Out(), 0);
        if (c.stride == 0) {
            EXPECT_EQ(r, kDdErrInvalidParams);
            continue;
        }
        ASSERT_EQ(r, kDdOk);
        EXPECT_EQ(vb->Stride(), c.stride);
    }
    Ref<VertexBuffer> vb;
    EXPECT_EQ(d3d->CreateVertexBuffer({kVbCapsSystemMemory, kFvfXyz, 0}, vb.Out(), 0), kDdErrInvalidParams);
    EXPECT_EQ(d3d->CreateVertexBuffer({kVbCapsSystemMemory, kFvfXyz, 70000}, vb.Out(), 0), kDdErrInvalidParams);
    EXPECT_EQ(d3d->CreateVertexBuffer({kVbCapsOptimized, kFvfXyz, 3}, vb.Out(), 0), kDdErrInvalidParams);
}

} // namespace
