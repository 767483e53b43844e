#include <gtest/gtest.h>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/camera.h"
#include "Awapi/cursor3d.h"
#include "Awapi/draw_list.h"
#include "Awapi/model/model_file.h"
#include "Awapi/model/model_node.h"
#include "chunkfile/register_all.h"
#include "core/clock.h"
#include "platform/virtual_clock.h"
#include "Awapi/object.h"
#include "platform/d3d/device3d.h"
#include "platform/pointer.h"
#include "tests/awapi/scene_fixture.h"

namespace {

// A model node with one fan shape and bounds reaching 3 units at most.
AwModel* MakeCursorModel() {
    auto* node = new AwModel;
    node->HasBounds = true;
    node->FirstCorner = Vector3(-1, -2, -0.5f);
    node->SecondCorner = Vector3(0.5f, 3, 1);
    node->Shapes[0] = MakeFanShape(4, NullTexture);
    return node;
}

class CursorTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        node = MakeCursorModel();
    }
    void TearDown() override {
        AwReleaseCursor();
        node->ReleaseUse();
        SceneTest::TearDown();
    }
    // Whether AwUpdateCursor queues the object: a queued item holds a reference on it.
    static bool Queues(AwObject* object) {
        const int32_t before = object->RefCount;
        AwUpdateCursor();
        const bool queued = object->RefCount == before + 1;
        AwDrawList::Discard();
        return queued;
    }
    AwModel* node = nullptr;
};

TEST_F(CursorTest, PixelsPlaceTheModelInTheCursorCamerasSpace) {
    AwSetCursorModel(node);
    AwSetCursorPosition(320, 240);
    const Vector3& at = AwCursorObject()->Position();
    EXPECT_FLOAT_EQ(at.x, 0.5f);
    EXPECT_FLOAT_EQ(at.y, 0.5f);
    EXPECT_FLOAT_EQ(at.z, 0.0f);
    int32_t x = 0, y = 0;
    AwGetCursorPosition(x, y);
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 240);

    // The depth range holds the whole model: a cube of the largest extent.
    const AwCamera* camera = AwGetCursorCamera();
    EXPECT_FLOAT_EQ(camera->primaryRange.Near, -3.0f);
    EXPECT_FLOAT_EQ(camera->primaryRange.Far, 3.0f);
    EXPECT_FLOAT_EQ(AwCursorObject()->Min.x, -3.0f);
    EXPECT_FLOAT_EQ(AwCursorObject()->Max.z, 3.0f);

    // A new model keeps the pixel position.
    AwSetCursorModel(node);
    EXPECT_FLOAT_EQ(AwCursorObject()->Position().x, 0.5f);
}

TEST_F(CursorTest, TheScreenCentreStaysTheCursorsCentreAcrossModeChanges) {
    AwSetCursorModel(node);
    for (const auto& [width, height] : {std::pair{640u, 480u}, {1024u, 768u}, {640u, 480u}}) {
        ASSERT_EQ(AwSetDisplayMode(width, height, ScreenGeometry.Depth, kDisplayWindowed), 1);
        AwCentreCursor();
        EXPECT_FLOAT_EQ(AwCursorObject()->Position().x, 0.5f) << width << " x " << height;
        EXPECT_FLOAT_EQ(AwCursorObject()->Position().y, 0.5f) << width << " x " << height;
        const plat::PointerPosition pointer = plat::ReadPointer(AwDevice.Window);
        EXPECT_EQ(pointer.x, static_cast<int32_t>(width / 2)) << "the system pointer goes there too";
        EXPECT_EQ(pointer.y, static_cast<int32_t>(height / 2));
    }
}

TEST_F(CursorTest, HidesNestAndAStrayShowRemovesTheCursor) {
    AwSetCursorModel(node);
    AwObject* visible = AwCursorObject();
    AwHideCursor();
    AwHideCursor();
    AwShowCursor();
    EXPECT_EQ(AwCursorObject(), nullptr) << "hide, hide, show stays hidden";
    EXPECT_FALSE(Queues(visible));
    AwShowCursor();
    EXPECT_EQ(AwCursorObject(), visible);
    EXPECT_TRUE(Queues(visible));

    AwShowCursor();
    EXPECT_EQ(AwCursorObject(), nullptr) << "a show without a hide drops the cursor";
    EXPECT_EQ(AwCursorHideCount(), -1);
    AwSetCursorModel(node);
    AwHideCursor();
    EXPECT_EQ(AwCursorHideCount(), 1);
}

TEST_F(CursorTest, NoModelNoCursor) {
    AwSetCursorModel(node);
    AwSetCursorModel(nullptr);
    EXPECT_EQ(AwCursorObject(), nullptr);
    AwUpdateCursor(); // nothing to queue
    AwCentreCursor();
    int32_t x = 0, y = 0;
    AwGetCursorPosition(x, y);
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 240);
}

// The sample robot: sequence 0 and sequence 1 (neither relative).
class CursorSequenceTest : public CursorTest {
protected:
    void SetUp() override {
        CursorTest::SetUp();
        RegisterAllChunkClasses();
        RecalibrateClocks(0);
        auto file = AwModelFile::Open(std::string(TAVRIN_DATA_DIR) + "/Qifs/Robot.qif");
        ASSERT_NE(file, nullptr) << "build the sample_data target first";
        robot = file->LoadHierarchy("Robot");
        ASSERT_NE(robot, nullptr);
    }
    void TearDown() override {
        AwReleaseCursor();
        if (robot) robot->ReleaseUse();
        CursorTest::TearDown();
    }
    // One frame: the cursor is queued and drawn (drawing advances its players).
    void Frame() {
        AwUpdateCursor();
        AwDevice.Direct3DDevice->BeginScene();
        AwDrawList::Render();
        AwDevice.Direct3DDevice->EndScene();
        AwDevice.InScene = false;
    }
    plat::VirtualClock clock; // a step each reading, so the calibration ends
    AwModel* robot = nullptr;
};

TEST_F(CursorSequenceTest, AOneShotReturnsToTheIdleLoopAndReportsOnce) {
    AwSetCursorModel(robot);
    EXPECT_TRUE(AwSetCursorIdleSequence(0));
    EXPECT_TRUE(AwCursorObject()->IsPlayingSequence(0));

    uint8_t done = 7;
    AwPlayCursorSequence(1, &done);
    EXPECT_EQ(done, 0);
    EXPECT_TRUE(AwCursorObject()->IsPlayingSequence(1));
    EXPECT_FALSE(AwSetCursorIdleSequence(0)) << "the one-shot keeps playing";
    Frame();
    EXPECT_EQ(done, 0);

    clock.Advance(plat::VirtualClock::kMillisecond * 60000);
    Frame(); // the player ends while drawn
    Frame(); // the next update sees it
    EXPECT_EQ(done, 1);
    EXPECT_TRUE(AwCursorObject()->IsPlayingSequence(0));
    done = 0;
    Frame();
    EXPECT_EQ(done, 0) << "reported once";
}

TEST_F(CursorSequenceTest, WithoutACursorOrSequenceThereIsNothingToWaitFor) {
    uint8_t done = 0;
    AwPlayCursorSequence(1, &done);
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(AwSetCursorIdleSequence(0));
    AwSetCursorModel(robot);
    done = 0;
    AwPlayCursorSequence(9, &done);
    EXPECT_EQ(done, 1);
}

} // namespace
