#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/bounding_box.h"
#include "Awapi/camera.h"
#include "platform/d3d/d3dmath.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/process_vertices.h"
#include "platform/d3d/vertex_buffer.h"
#include "platform/threads.h"
#include "tests/awapi/scene_fixture.h"

using namespace plat;

namespace {

using BoundingBoxTest = SceneTest;

const Vector3 kLow(0, 0, 0), kHigh(1, 1, 1);

TEST_F(BoundingBoxTest, BoxesFillBatchesOfOneHundredFifty) {
    std::vector<AwBoundingBox*> boxes;
    for (int i = 0; i < 150; ++i) boxes.push_back(new AwBoundingBox(kLow, kHigh));
    ASSERT_EQ(AwBoxBatchList.Count(), 1);
    AwBoxBatch* first = AwBoxBatchList.Front();
    EXPECT_EQ(first->CornersInUse, 1200u);
    boxes.push_back(new AwBoundingBox(kLow, kHigh)); // the 151st
    ASSERT_EQ(AwBoxBatchList.Count(), 2);
    AwBoxBatch* second = AwBoxBatchList.Back();
    EXPECT_EQ(boxes.back()->Batch, second);
    boxes.push_back(new AwBoundingBox(kLow, kHigh));
    EXPECT_EQ(boxes.back()->Batch, second);
    EXPECT_EQ(boxes.back()->FirstCorner, 8u);

    // A released box of the full batch leaves room there, but the emptier batch still wins.
    delete boxes[3];
    boxes.erase(boxes.begin() + 3);
    EXPECT_EQ(first->CornersInUse, 1192u);
    boxes.push_back(new AwBoundingBox(kLow, kHigh));
    EXPECT_EQ(boxes.back()->Batch, second);
    EXPECT_EQ(second->RefCount, 3);

    // The batch's buffer holds every box's corners at its first corner.
    ASSERT_NE(second->Buffer, nullptr);
    second->Buffer->UseVertices(boxes.back()->FirstCorner, 8, [&](const uint8_t* data) {
        const auto* corners = reinterpret_cast<const Vector3*>(data);
        EXPECT_EQ(corners[5].x, 1.0f);
        EXPECT_EQ(corners[0].y, 0.0f);
    });
    for (AwBoundingBox* box : boxes) delete box;
    EXPECT_TRUE(AwBoxBatchList.IsEmpty());
}

TEST_F(BoundingBoxTest, BoxesMadeOnTwoThreadsKeepTheBatchListWhole) {
    const auto churn = [] {
        std::vector<AwBoundingBox*> boxes;
        for (int round = 0; round < 4; ++round) {
            for (int i = 0; i < 200; ++i) boxes.push_back(new AwBoundingBox(kLow, kHigh));
            for (AwBoundingBox* box : boxes) delete box;
            boxes.clear();
        }
    };
    Thread server;
    ASSERT_TRUE(server.Start(churn));
    churn();
    ASSERT_TRUE(server.Join());
    EXPECT_TRUE(AwBoxBatchList.IsEmpty());
}

TEST_F(BoundingBoxTest, CentreAndCullingRadius) {
    AwBoundingBox box(kLow, kHigh);
    EXPECT_FLOAT_EQ(box.Centre.x, 0.5f);
    EXPECT_NEAR(box.Radius, std::sqrt(3.0f) / 2, 0.002f);
    const Vector3 scale(2, 1, 1);
    EXPECT_NEAR(box.CullingRadius(&scale), std::sqrt(6.0f) / 2, 0.002f);
    EXPECT_EQ(box.Min().z, 0.0f);
    EXPECT_EQ(box.Max().z, 1.0f);
}

TEST_F(BoundingBoxTest, SphereTestAnswersThePlaneItLiesOutsideOf) {
    // Culling matrix = the camera's view: object space is world space.
    AwSetCullingMatrix(plat::IdentityMatrix(), camera->view);
    Matrix projection;
    AwDevice.Direct3DDevice->GetTransform(kTransformProjection, &projection);
    const float a = std::fabs(projection.m[0][0]);
    struct Case {
        Vector3 centre;
        float radius;
        int32_t result;
    };
    const Case cases[] = {
        {{0, 0, 0}, 1, 0},
        {{-200, 0, 0}, 1, kOutsideLeft},
        {{200, 0, 0}, 1, kOutsideRight},
        {{0, -200, 0}, 1, kOutsideBottom},
        {{0, 200, 0}, 1, kOutsideTop},
        {{0, 0, -9.5f}, 0.2f, kOutsideNear},
        {{0, 0, 200}, 1, kOutsideFar},
        {{0, 0, 95}, 10, 0},
        // Behind the camera the side tests use depth 0: off-axis by more than the radius is outside.
        {{3, 0, -20}, 1, kOutsideRight},
        // Straddling the left plane at depth 10: x = -10/a is the plane.
        {{-10 / a - 0.5f, 0, 0}, 1, 0},
        {{-10 / a - 2.0f, 0, 0}, 1, kOutsideLeft},
    };
    for (const Case& c : cases) {
        int32_t result = -1;
        AwTestSphereInFrustum(c.centre, result, c.radius);
        EXPECT_EQ(result, c.result) << c.centre.x << "," << c.centre.y << "," << c.centre.z;
    }
}

TEST_F(BoundingBoxTest, ScreenRectIsTheFloorOfTheProjectedCorners) {
    AwBoundingBox box(Vector3(-1, -1, 0), Vector3(1, 2, 1));
    AwScreenRect rect{};
    ASSERT_TRUE(box.GetScreenRect(rect));
    const Matrix transform = CombinedTransform(AwDevice.Direct3DDevice->State());
    Viewport7 viewport;
    AwDevice.Direct3DDevice->GetViewport(&viewport);
    float left = 1e9f, right = -1e9f, top = 1e9f, bottom = -1e9f;
    for (const Vector3& c : box.Corners) {
        const ScreenVertex s = ProjectToScreen(transform, viewport, D3dVector{c.x, c.y, c.z});
        left = std::min(left, s.x);
        right = std::max(right, s.x);
        top = std::min(top, s.y);
        bottom = std::max(bottom, s.y);
    }
    EXPECT_EQ(rect.left, static_cast<int32_t>(std::floor(left)));
    EXPECT_EQ(rect.right, static_cast<int32_t>(std::floor(right)));
    EXPECT_EQ(rect.top, static_cast<int32_t>(std::floor(top)));
    EXPECT_EQ(rect.bottom, static_cast<int32_t>(std::floor(bottom)));
    EXPECT_LT(rect.left, 320);
    EXPECT_GT(rect.right, 320);

    // Without a buffer (device lost) there is no rectangle.
    box.Batch->ReleaseVertexBuffer();
    AwScreenRect untouched{1, 2, 3, 4};
    EXPECT_FALSE(box.GetScreenRect(untouched));
    EXPECT_EQ(untouched.right, 3);
}

} // namespace
