#include <gtest/gtest.h>

#include "Awapi/VertBuff/shared_buffers.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/camera.h"
#include "Awapi/picking.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/direct3d.h"
#include "platform/d3d/vertex_buffer.h"
#include "tests/awapi/scene_fixture.h"

using namespace plat;

namespace {

struct Counter : AwPickCallback {
    int hits = 0;
    void OnPick() override { ++hits; }
};

// A probe at a pixel of the 640 x 480 screen.
AwPickProbe ProbeAt(float x, float y, bool precise) {
    AwPickProbe probe;
    probe.fractionX = x / 640.0f;
    probe.fractionY = y / 480.0f;
    probe.precise = precise;
    probe.UpdatePixelPosition();
    return probe;
}

// The corners of a box in the bounding box's order.
void BoxCorners(const Vector3& lo, const Vector3& hi, D3dVector out[8]) {
    const D3dVector c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z},
                            {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}};
    for (int i = 0; i < 8; ++i) out[i] = c[i];
}

class PickingTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        AwPickingEnabled = true;
    }

    // Projects the box through the device as a drawn box would be.
    bool Project(const Vector3& lo, const Vector3& hi, ScreenVertex out[8]) {
        VertexBufferDesc desc;
        desc.caps = kVbCapsSystemMemory;
        desc.fvf = kFvfXyz;
        desc.numVertices = 8;
        VertexBuffer* source = nullptr;
        if (Failed(AwDevice.Direct3D->CreateVertexBuffer(desc, &source, 0))) return false;
        void* data = nullptr;
        source->Lock(0, &data, nullptr);
        BoxCorners(lo, hi, static_cast<D3dVector*>(data));
        source->Unlock();
        const bool ok = AwProjectBoxCorners(source, 0, out);
        source->Release();
        return ok;
    }
};

} // namespace

TEST_F(PickingTest, NearestBoxUnderThePointWins) {
    ScreenVertex nearBox[8], farBox[8];
    ASSERT_TRUE(Project(Vector3(-1, -1, 0), Vector3(1, 1, 2), nearBox));
    ASSERT_TRUE(Project(Vector3(-2, -2, 20), Vector3(2, 2, 22), farBox));
    AwPickProbe centre = ProbeAt(320, 240, false);
    AwPickProbe corner = ProbeAt(5, 5, false);
    Counter counter;
    centre.callback = &counter;
    AwPickProbeList::PushBack(&centre);
    AwPickProbeList::PushBack(&corner);
    AwPickTestBoxFaces(farBox);
    const float farDepth = centre.nearestDepth;
    EXPECT_LT(farDepth, kNoPickDepth);
    AwPickTestBoxFaces(nearBox);
    EXPECT_LT(centre.nearestDepth, farDepth);
    const float nearDepth = centre.nearestDepth;
    AwPickTestBoxFaces(farBox); // drawn again later: the nearer hit stays
    EXPECT_FLOAT_EQ(centre.nearestDepth, nearDepth);
    EXPECT_GT(counter.hits, 0);
    EXPECT_EQ(corner.nearestDepth, kNoPickDepth);
    EXPECT_TRUE(centre.TestBox(nearBox));
    EXPECT_FALSE(corner.TestBox(nearBox));
}

TEST_F(PickingTest, DisabledPickingChangesNoProbe) {
    ScreenVertex box[8];
    ASSERT_TRUE(Project(Vector3(-1, -1, 0), Vector3(1, 1, 2), box));
    AwPickProbe centre = ProbeAt(320, 240, false);
    AwPickProbeList::PushBack(&centre);
    AwPickingEnabled = false;
    AwPickTestBoxFaces(box);
    AwCollectPickCandidates(box);
    EXPECT_EQ(centre.nearestDepth, kNoPickDepth);
    EXPECT_TRUE(AwPickCandidates.IsEmpty());
}

TEST_F(PickingTest, BoxStraddlingTheNearPlaneMakesEveryProbeACandidate) {
    ScreenVertex box[8];
    ASSERT_TRUE(Project(Vector3(-1, -1, -9.5f), Vector3(1, 1, 0), box));
    AwPickProbe corner = ProbeAt(5, 5, false);
    AwPickProbeList::PushBack(&corner);
    AwCollectPickCandidates(box);
    EXPECT_TRUE(AwPickCandidates.Contains(&corner));
    ASSERT_TRUE(Project(Vector3(-1, -1, 0), Vector3(1, 1, 2), box));
    AwCollectPickCandidates(box);
    EXPECT_FALSE(AwPickCandidates.Contains(&corner));
}

TEST(PickPolygon, EdgesWindingAndNearestTriangle) {
    // Wound the way the device draws (clockwise on screen).
    const ScreenVertex a[3] = {{0, 0, 0.5f, 1}, {10, 0, 0.5f, 1}, {0, 10, 0.5f, 1}};
    const ScreenVertex reversed[3] = {a[0], a[2], a[1]};
    const ScreenVertex nearer[3] = {{0, 0, 0.2f, 1}, {10, 0, 0.2f, 1}, {0, 10, 0.2f, 1}};
    struct Case {
        float x, y;
        bool inside;
    };
    const Case cases[] = {{1, 1, true}, {5, 0, true}, {0, 5, true}, {5, 5, true}, {6, 6, false}, {-1, 1, false}};
    for (const Case& c : cases) {
        AwPickProbe probe;
        probe.pixelX = c.x;
        probe.pixelY = c.y;
        EXPECT_EQ(probe.TestPolygon(a, 3, 0.5f), c.inside) << c.x << "," << c.y;
        EXPECT_FALSE(probe.TestPolygon(reversed, 3, 0.5f) && !(c.x == 0 || c.y == 0 || c.x + c.y == 10));
    }
    // Precise: the nearer triangle wins whatever the order.
    for (bool nearFirst : {false, true}) {
        AwPickProbe probe;
        probe.precise = true;
        probe.pixelX = probe.pixelY = 2;
        AwPickCandidates.PushBack(&probe);
        const Vector3 centreNear(1, 1, 1), centreFar(9, 9, 9);
        if (nearFirst) AwPickTestTriangle(nearer, centreNear);
        AwPickTestTriangle(a, centreFar);
        if (!nearFirst) AwPickTestTriangle(nearer, centreNear);
        EXPECT_FLOAT_EQ(probe.nearestDepth, 0.2f);
        EXPECT_TRUE(probe.hitThisFrame);
        EXPECT_FLOAT_EQ(probe.hitPosition.x, 1.0f);
        AwPickCandidates.Clear();
    }
}
