#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/level_geometry.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/mesh_part.h"
#include "Awapi/model/dummy_object.h"
#include "Awapi/model/model_file.h"
#include "Awapi/model/model_node.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "core/clock.h"
#include "tests/awapi/model_fixture.h"

namespace {

using SampleModelTest = ModelTest;

std::string Sample(const char* name) { return std::string(TAVRIN_DATA_DIR) + "/Qifs/" + name; }

TEST_F(SampleModelTest, TheBoxIsTexturedWithItsCrate) {
    auto file = AwModelFile::Open(Sample("Box.qif"));
    ASSERT_NE(nullptr, file) << "build the sample_data target first";
    ASSERT_EQ(2u, file->Textures().size());
    AwShape* box = file->LoadShape("box", nullptr, nullptr, kConvertMergeQuads);
    ASSERT_NE(nullptr, box);
    ASSERT_EQ(1, box->Parts.Count());
    EXPECT_EQ(TextureManager.Find("crate.bmp"), box->Parts.Front()->Texture);
    EXPECT_EQ(36u, box->Parts.Front()->IndexCount);
    EXPECT_EQ(6u, box->Geometry->Quads.size());
    box->ReleaseUse();
    TextureManager.Find("crate.bmp")->KeepCount = 0;
}

TEST_F(SampleModelTest, TheRobotHasThreeNodesAndTwoSequencesWithFrameSounds) {
    auto file = AwModelFile::Open(Sample("Robot.qif"));
    ASSERT_NE(nullptr, file);
    AwModel* robot = file->LoadHierarchy("ROBOT");
    ASSERT_NE(nullptr, robot);
    file.reset(); // the model owns what it uses
    EXPECT_TRUE(robot->HasBounds);
    EXPECT_TRUE(robot->HasSequence(0));
    EXPECT_TRUE(robot->HasSequence(1));
    EXPECT_FALSE((*robot->Sequences)[1]->Sounds.empty());
    ASSERT_NE(nullptr, robot->FindNode("Turret"));
    EXPECT_TRUE(robot->FindNode("Turret")->HasSequence(1));
    Vector3 muzzle;
    EXPECT_TRUE(robot->GetNodePosition(muzzle, "Muzzle"));
    EXPECT_NE(nullptr, robot->Shapes[0]);
    EXPECT_EQ((std::vector<std::string>{"step.wav", "step.wav", "servo.wav"}), sound.loaded);
    robot->ReleaseUse();
}

// Items are attached at these parts of a fitted robot.
TEST_F(SampleModelTest, TheRobotHasArmsAndMountPointsForItems) {
    auto file = AwModelFile::Open(Sample("Robot.qif"));
    ASSERT_NE(nullptr, file);
    AwModel* robot = file->LoadHierarchy("Robot");
    ASSERT_NE(nullptr, robot);
    file.reset();
    for (const char* part : {"Upper Arm Right", "Upper Arm Left", "slota", "slotb", "slotc"}) {
        const AwModel* node = robot->FindNode(part);
        ASSERT_NE(nullptr, node) << part;
        EXPECT_TRUE(node->HasSequence(0) && node->HasSequence(1)) << part;
    }
    robot->ReleaseUse();
}

// What units and bots play: fire, gun pitch, torso yaw, turning, the two
// stances and two idles, and the two hotspots their shots alternate between.
TEST_F(SampleModelTest, TheRobotPlaysWhatUnitsAndBotsPlayAndHasTwoHotspots) {
    auto file = AwModelFile::Open(Sample("Robot.qif"));
    ASSERT_NE(nullptr, file);
    AwModel* robot = file->LoadHierarchy("Robot");
    ASSERT_NE(nullptr, robot);
    file.reset();
    for (int32_t n : {2, 5, 12, 13, 19, 20, 21, 22}) EXPECT_TRUE(robot->HasSequence(n)) << n;
    Vector3 muzzle, alternate;
    ASSERT_TRUE(robot->GetNodePosition(muzzle, "Muzzle"));
    ASSERT_TRUE(robot->GetNodePosition(alternate, "AltMuzzle"));
    EXPECT_NE(muzzle.x, alternate.x);
    robot->ReleaseUse();
}

TEST_F(SampleModelTest, TheRobotsFirstSequenceTurnsItsTurretAsItsKeysSay) {
    auto file = AwModelFile::Open(Sample("Robot.qif"));
    ASSERT_NE(nullptr, file);
    AwModel* robot = file->LoadHierarchy("ROBOT");
    ASSERT_NE(nullptr, robot);
    auto* object = new AwObject(*robot, true);
    EXPECT_TRUE(object->HasBox);
    AwShapeInstance* turret = object->Root->FindByName("Turret");
    ASSERT_NE(nullptr, turret);
    ASSERT_TRUE(object->PlaySequence(0, kUnitSpeed, -1, 0, nullptr, 0, false));

    // The turret's keys: no turn at 0 and 1.5 radians about y a second later;
    // the two-second loop then turns it back. The body sinks 0.02 in that second.
    const auto tps = static_cast<uint32_t>(CurrentTicksPerSecond());
    const AwAnimSequence& keys = *(*robot->FindNode("Turret")->Sequences)[0];
    ASSERT_EQ(2u, keys.Frames.size());
    EXPECT_EQ(2 * tps, keys.Length);
    EXPECT_NEAR(tps, keys.Frames[1].Time, 1.0);
    struct Sample {
        uint32_t at;
        float turn, bodyY;
    };
    const Sample samples[] = {{0, 0, 0},
                              {tps / 2, 0.75f, -0.01f},
                              {tps, 1.5f, -0.02f},
                              {3 * tps / 2, 0.75f, -0.01f},
                              {2 * tps + 1, 0, 0}};
    for (const Sample& s : samples) {
        ++FrameCounter; // a new frame: the drawing computes the matrices afresh
        object->Draw(static_cast<int32_t>(s.at), 0, kDrawNoCull, nullptr);
        const plat::Matrix& world = turret->WorldMatrix;
        EXPECT_NEAR(std::cos(s.turn), world.m[0][0], 2e-3f) << "tick " << s.at;
        EXPECT_NEAR(std::cos(s.turn), world.m[2][2], 2e-3f) << "tick " << s.at;
        EXPECT_NEAR(std::sin(s.turn), std::fabs(world.m[0][2]), 2e-3f) << "tick " << s.at;
        EXPECT_NEAR(s.bodyY - 0.4f, world.m[3][1], 1e-3f) << "tick " << s.at;
    }
    EXPECT_TRUE(object->IsPlayingSequence(0));
    object->Release();
    robot->ReleaseUse();
}

TEST_F(SampleModelTest, TheLevelHasGeometryAndDummies) {
    auto file = AwModelFile::Open(Sample("Level.qif"));
    ASSERT_NE(nullptr, file);
    AwShape* level = file->LoadShape("Level", nullptr, nullptr, kConvertMergeQuads);
    ASSERT_NE(nullptr, level);
    // The slab without its top, 381 floor tiles (none in the lift's hole),
    // four wall boxes, the ramp and the platform; the lift's four landings.
    EXPECT_EQ(417u, level->Geometry->Quads.size());
    EXPECT_EQ(4, std::count_if(level->Geometry->Quads.begin(), level->Geometry->Quads.end(),
                               [](const GeometryQuad& q) { return q.Flags == 0x4000; }));
    level->ReleaseUse();
    std::vector<AwDummyObject> dummies;
    AwLoadDummies(dummies, *file, Vector3(0, 0, 0));
    // With the capture-the-flag dummies, a target post, four exits and eighteen president places.
    ASSERT_EQ(34u, dummies.size());
    EXPECT_EQ("PlayerStart", dummies[0].Name);
    EXPECT_FLOAT_EQ(-10.0f, dummies[0].Position.x);
    EXPECT_EQ("reach to win", dummies[1].Text);
    EXPECT_EQ("exita", dummies[12].Name);
    EXPECT_EQ("dumpresa", dummies[16].Name);
    EXPECT_EQ("dumpresr", dummies[33].Name);
}

// A popup or turret lies in pose 19 and rises by sequence 20 into pose 0; its
// gun aims on channels 5 and 12 and turns with 13.
TEST_F(SampleModelTest, TheEmplacementRisesAndAims) {
    auto file = AwModelFile::Open(Sample("Emplacement.qif"));
    ASSERT_NE(nullptr, file);
    AwModel* emplacement = file->LoadHierarchy("Emplacement");
    ASSERT_NE(nullptr, emplacement);
    file.reset();
    for (int32_t sequence : {0, 5, 12, 13, 19, 20}) EXPECT_TRUE(emplacement->HasSequence(sequence)) << sequence;
    const AwAnimSequence& raised = *(*emplacement->Sequences)[0];
    const AwAnimSequence& lowered = *(*emplacement->Sequences)[19];
    EXPECT_FLOAT_EQ(-0.44f, (raised.BoundsFirst.y + raised.BoundsSecond.y) / 2);
    EXPECT_FLOAT_EQ(-0.05f, (lowered.BoundsFirst.y + lowered.BoundsSecond.y) / 2);
    Vector3 muzzle;
    EXPECT_TRUE(emplacement->GetNodePosition(muzzle, "Muzzle"));

    // The rise plays once and says when it has ended.
    auto* object = new AwObject(*emplacement, true);
    uint8_t risen = 0;
    ASSERT_TRUE(object->PlaySequence(20, kUnitSpeed, 1, 0, &risen, 0, false));
    const auto tps = static_cast<uint32_t>(CurrentTicksPerSecond());
    for (uint32_t at : {tps / 2, 2 * tps}) {
        ++FrameCounter;
        object->Draw(static_cast<int32_t>(at), 0, kDrawNoCull, nullptr);
        EXPECT_EQ(at > tps, risen != 0) << "tick " << at;
    }
    object->Release();
    emplacement->ReleaseUse();
}

// The lift's floor tiles carry its polygon class; its sides and bottom do not.
TEST_F(SampleModelTest, TheLiftsFloorCarriesItsClass) {
    auto file = AwModelFile::Open(Sample("Lift.qif"));
    ASSERT_NE(nullptr, file);
    AwShape* lift = file->LoadShape("LiftPlatform", nullptr, nullptr, kConvertMergeQuads);
    ASSERT_NE(nullptr, lift);
    ASSERT_EQ(9u, lift->Geometry->Quads.size());
    int32_t floor = 0;
    for (const GeometryQuad& q : lift->Geometry->Quads) {
        const bool up = q.Normal.y < -0.5f;
        EXPECT_EQ(up ? 0x2000u : 0u, q.Flags);
        floor += up ? 1 : 0;
    }
    EXPECT_EQ(4, floor);
    lift->ReleaseUse();
}

} // namespace
