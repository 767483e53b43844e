#include <gtest/gtest.h>

#include "Awapi/model/model_file.h"
#include "Awapi/model/model_node.h"
#include "Awapi/shape.h"
#include "chunkfile/hierarchy_chunks.h"
#include "core/clock.h"
#include "tests/awapi/model_fixture.h"

namespace {

constexpr Quaternion kTurn{0, 0.70710677f, 0, 0.70710677f};

class ModelHierarchyTest : public ModelTest {
protected:
    AwModel* Load(const char* name = "robot") {
        file = AwModelFile::FromTree(std::move(tree));
        return file->LoadHierarchy(name);
    }
    std::unique_ptr<AwModelFile> file;
};

TEST_F(ModelHierarchyTest, SequencesSitAtTheirNumbersWithLengthsFixedByTheFirstOfEachNumber) {
    ParentChunk* top = AddHierarchy(*tree, "Robot");
    ParentChunk* body = AddNode(*top, "Body");
    AddSequence(*body, 5, 0, {{0, 0, {0, 0, 0}}});
    AddSequence(*body, 0, 2000, {{0, 0, {0, 0, 0}}, {1, 32768, {0, 0, 0}}});
    AddSequence(*body, 2, 0, {{0, 0, {0, 0, 0}}});
    AddSequence(*body, 7, 0, {});        // no frames: dropped
    for (int32_t n : {200, -1, INT32_MIN}) AddSequence(*body, n, 0, {{0, 0, {0, 0, 0}}}); // no table slot: dropped
    ParentChunk* turret = AddNode(*body, "Turret");
    AddSequence(*turret, 0, 500, {{0, 0, {0, 0, 0}}});
    AwModel* root = Load();
    ASSERT_NE(nullptr, root);

    ASSERT_NE(nullptr, root->Sequences);
    EXPECT_EQ(6u, root->Sequences->size());
    for (int32_t n = -1; n <= 7; ++n) EXPECT_EQ(n == 0 || n == 2 || n == 5, root->HasSequence(n)) << n;

    const uint32_t tps = static_cast<uint32_t>(CurrentTicksPerSecond());
    const AwAnimSequence& walk = *(*root->Sequences)[0];
    EXPECT_EQ(2 * tps, walk.Length);
    EXPECT_NEAR(tps, walk.Frames[1].Time, 1.0);
    EXPECT_EQ(tps, (*root->Sequences)[2]->Length);
    ASSERT_EQ(1u, root->Children.size());
    EXPECT_EQ(2 * tps, (*root->Children[0]->Sequences)[0]->Length); // not 500 ms
    EXPECT_EQ(6u, root->MovementPerTick.size());
    EXPECT_EQ(kDefaultDetailDistance, root->DetailDistances[9]);
    EXPECT_EQ(root->Children[0], root->FindNode("TURRET"));
    root->ReleaseUse();
}

TEST_F(ModelHierarchyTest, FramesAreSortedLinkedAndFlagged) {
    ParentChunk* node = AddNode(*AddHierarchy(*tree, "robot"), "Body");
    AddSequence(*node, 0, 0,
                {{2, 40000, {0, 0, 0}}, {0, 0, {0, 0, 0}}, {1, 20000, {1000, 0, 0}, kTurn}});
    AwModel* root = Load();
    const AwAnimSequence& s = *(*root->Sequences)[0];
    ASSERT_EQ(3u, s.Frames.size());
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(i, s.Frames[static_cast<size_t>(i)].FrameNumber);
    EXPECT_EQ(kFrameOffsetChanges | kFrameRotationChanges, s.Frames[0].Flags);
    EXPECT_EQ(kFrameOffsetChanges | kFrameRotationChanges, s.Frames[1].Flags);
    EXPECT_EQ(0u, s.Frames[2].Flags); // wraps to frame 0, which is equal
    EXPECT_EQ(static_cast<int32_t>(s.Frames[1].Time - s.Frames[0].Time), s.Frames[0].Duration);
    EXPECT_EQ(static_cast<int32_t>(s.Length - s.Frames[2].Time), s.Frames[2].Duration);
    EXPECT_FLOAT_EQ(1.0f, s.Frames[1].Offset.x);
    root->ReleaseUse();
}

TEST_F(ModelHierarchyTest, AReferenceFrameMakesTheSequenceRelative) {
    ParentChunk* node = AddNode(*AddHierarchy(*tree, "robot"), "Body");
    AddSequence(*node, 0, 0, {{0, 0, {500, 200, 0}, kTurn, 0x80000000u}});
    AwModel* root = Load();
    const AwAnimSequence& s = *(*root->Sequences)[0];
    EXPECT_EQ(7u, s.Flags);
    const AwAnimFrame& f = s.Frames[0];
    EXPECT_FLOAT_EQ(0.0f, f.Offset.x);
    EXPECT_FLOAT_EQ(0.0f, f.Offset.y);
    EXPECT_NEAR(1.0f, std::abs(f.Rotation.w), 1e-6f);
    EXPECT_NEAR(0.0f, f.Rotation.y, 1e-6f);
    EXPECT_EQ(static_cast<int32_t>(s.Length), f.Duration);
    root->ReleaseUse();
}

TEST_F(ModelHierarchyTest, FrameSoundsAreLoadedVariedAndSortedAndUnloadableOnesDropped) {
    AddIndexedSound(*tree, 5, "sounds\\step.wav", {64, 22050 * 128, 2000, 500});
    AddIndexedSound(*tree, 6, "!missing");
    ParentChunk* node = AddNode(*AddHierarchy(*tree, "robot"), "Body");
    AddSequence(*node, 0, 0,
                {{1, 30000, {0, 0, 0}, {0, 0, 0, 1}, 5u << 24}, {0, 0, {0, 0, 0}, {0, 0, 0, 1}, 5u << 24},
                 {2, 40000, {0, 0, 0}, {0, 0, 0, 1}, 6u << 24}});
    AwModel* root = Load();
    EXPECT_EQ((std::vector<std::string>{"step.wav", "step.wav", "!missing"}), sound.loaded);
    EXPECT_EQ((std::vector<int32_t>{50, 50}), sound.volumes);
    const AwAnimSequence& s = *(*root->Sequences)[0];
    ASSERT_EQ(2u, s.Sounds.size());
    EXPECT_LT(s.Sounds[0].Time, s.Sounds[1].Time);
    root->ReleaseUse();
}

TEST_F(ModelHierarchyTest, NodesShareDetailShapesAndPassCountsToThem) {
    AddObject(*tree, "Body", SquareShape());
    ParentChunk* top = AddHierarchy(*tree, "robot");
    new DetailDistancesChunk(&*tree, 10);
    AddNode(*top, "Body");
    AwModel* root = Load();
    AwShape* shape = root->Shapes[0];
    ASSERT_NE(nullptr, shape);
    for (AwShape* level : root->Shapes) EXPECT_EQ(shape, level); // levels repeat the object
    EXPECT_EQ(10, shape->UseCount.load());
    EXPECT_EQ(10000, root->DetailDistances[1]);
    root->AddHold();
    EXPECT_EQ(10, shape->HoldCount.load());
    EXPECT_TRUE(root->ReleaseUse()); // held: stays
    EXPECT_EQ(0, shape->UseCount.load());
    EXPECT_FALSE(root->ReleaseHold());
}

TEST_F(ModelHierarchyTest, NodePositionsAreCarriedThroughTheirParentsFirstKeys) {
    ParentChunk* body = AddNode(*AddHierarchy(*tree, "robot"), "Body");
    AddSequence(*body, 0, 0, {{0, 0, {1000, 0, 0}, kTurn}});
    ParentChunk* muzzle = AddNode(*body, "Muzzle");
    AddSequence(*muzzle, 0, 0, {{0, 0, {0, 0, 2000}}});
    AwModel* root = Load();
    Vector3 at;
    ASSERT_TRUE(root->GetNodePosition(at, "muzzle"));
    EXPECT_NEAR(3.0f, at.x, 1e-5f); // (0, 0, 2) turned a quarter about y, then moved by (1, 0, 0)
    EXPECT_NEAR(0.0f, at.z, 1e-5f);
    EXPECT_FALSE(root->GetNodePosition(at, "barrel"));
    EXPECT_EQ(nullptr, file->LoadHierarchy("tank"));
    root->ReleaseUse();
}

} // namespace
