#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include "Awapi/model/model_file.h"
#include "Awapi/model/model_node.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/object.h"
#include "Awapi/render_item.h"
#include "Awapi/shape_instance.h"
#include "core/clock.h"
#include "platform/d3d/d3dmath.h"
#include "tests/awapi/model_fixture.h"

namespace {

constexpr uint32_t kReferenceKey = 0x80000000; // the frame's flags word: a relative sequence's reference
constexpr uint32_t T0 = 1000;

// "Body" walks along x (sequence 0: 0 -> 1 unit at half the loop, back to 0),
// rises along y (sequence 1: 2 -> 4 units), leans along z as a relative
// sequence (2) and has a key of no duration (3); its child "Turret" rests.
class PlaybackTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        ParentChunk* body = AddNode(*AddHierarchy(*tree, "robot"), "Body");
        AddSequence(*body, 0, 1000, {{0, 0, {0, 0, 0}}, {1, 32768, {1000, 0, 0}}});
        AddSequence(*body, 1, 1000, {{0, 0, {0, 2000, 0}}, {1, 32768, {0, 4000, 0}}});
        AddSequence(*body, 2, 1000, {{0, 0, {0, 0, 0}, {0, 0, 0, 1}, kReferenceKey}, {1, 32768, {0, 0, 1000}}});
        AddSequence(*body, 3, 1000, {{0, 0, {0, 0, 0}}, {1, 0, {500, 0, 0}}});
        ParentChunk* turret = AddNode(*body, "Turret");
        for (int32_t n = 0; n < 4; ++n) AddSequence(*turret, n, 1000, {{0, 0, {0, -400, 0}}});
        file = AwModelFile::FromTree(std::move(tree));
        model = file->LoadHierarchy("robot");
        ASSERT_NE(nullptr, model);
        object = new AwObject(*model, false);
        body_ = object->Root;
        half = (*model->Sequences)[0]->Frames.back().Time;
        tps = static_cast<uint32_t>(CurrentTicksPerSecond());
    }
    void TearDown() override {
        object->Release();
        model->ReleaseUse();
        file.reset();
        ModelTest::TearDown();
    }

    // The body's position at a time (its local matrix's translation).
    Vector3 BodyAt(uint32_t time) {
        Matrix34 m;
        body_->GetLocalMatrix(m, static_cast<int32_t>(time));
        return Vector3(m.m[3], m.m[7], m.m[11]);
    }
    // Draws the tree's matrices at a time, ending tracks that ended.
    void ComputeAt(uint32_t time) {
        plat::Matrix world = plat::IdentityMatrix();
        body_->ComputeWorldMatrix(world, static_cast<int32_t>(time));
    }
    AwSequencePlayer& Player(int i = 0) { return **object->Players.At(i); }

    std::unique_ptr<AwModelFile> file;
    AwModel* model = nullptr;
    AwObject* object = nullptr;
    AwShapeInstance* body_ = nullptr;
    uint32_t half = 0; // ticks to the walk's second key
    uint32_t tps = 0;
};

void ExpectNear(const Vector3& expected, const Vector3& actual, const char* what) {
    EXPECT_NEAR(expected.x, actual.x, 0.01f) << what;
    EXPECT_NEAR(expected.y, actual.y, 0.01f) << what;
    EXPECT_NEAR(expected.z, actual.z, 0.01f) << what;
}

TEST_F(PlaybackTest, AnObjectMirrorsTheModelAndRestsOnItsFirstKeys) {
    EXPECT_EQ("Body", object->Description);
    ASSERT_EQ(1, body_->Children.Count());
    EXPECT_EQ("Turret", *body_->Children.Front()->Name);
    EXPECT_FLOAT_EQ(-0.4f, body_->Children.Front()->Position().y);
    EXPECT_EQ(model->Sequences.get(), body_->Sequences); // shared, not copied
    EXPECT_TRUE(object->HasSequence(3));
    EXPECT_FALSE(object->HasSequence(4));
    EXPECT_FALSE(object->PlaySequence(4, kUnitSpeed, -1, T0, nullptr, 0, false));
    EXPECT_TRUE(object->TestSequenceFlag4(2));
    EXPECT_FALSE(object->TestSequenceFlag4(0));
}

TEST_F(PlaybackTest, SpeedScalesThePositionRate) {
    for (int32_t speed : {kUnitSpeed, 2 * kUnitSpeed}) {
        object->StopSequences(1, -1);
        uint8_t done = 7;
        ASSERT_TRUE(object->PlaySequence(0, speed, -1, T0, &done, 0, false));
        EXPECT_EQ(0, done);
        EXPECT_EQ(0u, Player().EndTime) << "endless";
        EXPECT_EQ(kPlayerRemoveWhenDone | kPlayerOwned, Player().Flags);
        EXPECT_EQ(tps, Player().Length);
        EXPECT_TRUE(object->IsPlayingSequence(0));
        // q ticks in, the position is q x the speed: x = that / the key's time.
        const uint32_t q = half / 4;
        const float expected = static_cast<float>(q * static_cast<uint32_t>(speed / kUnitSpeed)) / static_cast<float>(half);
        EXPECT_NEAR(expected, BodyAt(T0 + q).x, 1e-3f) << speed;
        EXPECT_EQ(0.0f, BodyAt(T0).x);
    }
    // Two loops of a second end two seconds after the start.
    ASSERT_TRUE(object->PlaySequence(0, kUnitSpeed, 2, T0, nullptr, 0, false));
    EXPECT_EQ(T0 + 2 * tps, Player().EndTime);
}

TEST_F(PlaybackTest, ALoopCountEndsThePlayerAfterThatManyLengths) {
    // Sequence 0 made 500 ticks long on both nodes: two loops from 1,000 end at 2,000.
    (*model->Sequences)[0]->Length = 500;
    (*model->Children[0]->Sequences)[0]->Length = 500;
    struct Case {
        uint32_t flags;
        bool removed;
    };
    for (const Case c : {Case{0, true}, Case{kPlayerHold, false}}) {
        object->StopSequences(1, -1);
        uint8_t done = 7;
        ASSERT_TRUE(object->PlaySequence(0, kUnitSpeed, 2, 1000, &done, c.flags, false));
        AwSequencePlayer* player = &Player();
        EXPECT_EQ(500u, player->Length);
        EXPECT_EQ(2000u, player->EndTime);
        object->AdvanceSequences(2000, 0);
        EXPECT_EQ(0, done) << "not after its end yet";
        object->AdvanceSequences(2001, 0);
        EXPECT_EQ(1, done) << c.flags;
        if (c.removed) {
            EXPECT_TRUE(object->Players.IsEmpty()) << "finished and unreferenced";
            EXPECT_TRUE(body_->Tracks.IsEmpty());
        } else {
            ASSERT_EQ(1, object->Players.Count()) << "held on its end pose";
            EXPECT_FALSE(player->Finished);
            EXPECT_EQ(1, player->References);
        }
    }
}

TEST_F(PlaybackTest, MissingSequenceNumbersStartNothingAndKeepWhatRuns) {
    object->AddSequence(1, kUnitSpeed, -1, T0, nullptr, 0, false, 5);
    ASSERT_EQ(1, object->Players.Count());
    AwSequencePlayer* running = &Player();
    for (int32_t n : {-1, 4, 127, INT32_MAX, INT32_MIN}) {
        uint32_t end = 99;
        uint8_t done = 7;
        EXPECT_FALSE(object->HasSequence(n)) << n;
        EXPECT_FALSE(object->TestSequenceFlag4(n)) << n;
        EXPECT_FALSE(object->PlaySequence(n, kUnitSpeed, -1, T0, &done, kPlayerBlend, true)) << n;
        EXPECT_FALSE(object->PlaySequenceRange(n, kUnitSpeed, 0, kUnitSpeed, T0, &end, &done, 0, true)) << n;
        object->AddSequence(n, kUnitSpeed, -1, T0, &done, 0, true, 5);
        EXPECT_EQ(7, done) << n;
        EXPECT_EQ(99u, end) << n;
        EXPECT_FALSE(object->IsPlayingSequence(n)) << n;
        ASSERT_EQ(1, object->Players.Count()) << n;
        EXPECT_EQ(running, &Player()) << "the key's player stays";
        EXPECT_EQ(1, running->References) << n;
        EXPECT_EQ(1, body_->Tracks.Count()) << n;
    }
}

TEST_F(PlaybackTest, ABlendedStartMovesFromTheCurrentPoseOverAQuarterSecondDividedByTheSpeed) {
    ASSERT_TRUE(object->PlaySequence(0, kUnitSpeed, -1, T0, nullptr, kPlayerBlend, false));
    EXPECT_EQ(T0, Player().StartTime) << "nothing to blend from";
    EXPECT_EQ(0u, Player().Flags & kPlayerBlend);
    AwSequencePlayer* walk = &Player();

    const uint32_t t1 = T0 + half / 2; // the walk is at x = 0.5
    ASSERT_TRUE(object->PlaySequence(1, 2 * kUnitSpeed, -1, t1, nullptr, kPlayerBlend, false));
    const uint32_t blend = (tps + 4) / 8; // an eighth of a second at speed 2.0
    EXPECT_EQ(t1 + blend, Player().StartTime);
    EXPECT_EQ(0, walk->References); // the list's reference went; its tracks went with the blend
    ExpectNear({0.5f, 0, 0}, BodyAt(t1), "blend start");
    ExpectNear({0.25f, 1, 0}, BodyAt(t1 + blend / 2), "halfway");
    ExpectNear({0, 2, 0}, BodyAt(t1 + blend), "sequence 1 begins");
    object->AdvanceSequences(t1 + 1, 0);
    EXPECT_EQ(1, object->Players.Count());
    EXPECT_TRUE(object->IsPlayingSequence(1));
}

TEST_F(PlaybackTest, ALayeredRelativeSequenceAddsToTheCurrentOne) {
    ASSERT_TRUE(object->PlaySequence(0, kUnitSpeed, -1, T0, nullptr, 0, false));
    ASSERT_TRUE(object->PlaySequence(2, kUnitSpeed, -1, T0, nullptr, kPlayerLayered, false));
    EXPECT_EQ(2, object->Players.Count());
    EXPECT_EQ(1, Player(0).References) << "a relative start replaces nothing";
    EXPECT_TRUE(object->IsPlayingSequence(0));
    EXPECT_TRUE(object->IsPlayingLayeredSequence(2));
    ExpectNear({0.5f, 0, 0.5f}, BodyAt(T0 + half / 2), "walk plus lean");
}

TEST_F(PlaybackTest, RangesPlayBetweenFractionsOfTheLastKey) {
    uint32_t end = 0;
    uint8_t done = 0;
    EXPECT_TRUE(object->PlaySequenceRange(0, kUnitSpeed, 100, 100, T0, &end, &done, 0, false));
    EXPECT_EQ(1, done) << "from = to";
    EXPECT_TRUE(object->Players.IsEmpty());

    done = 0;
    ASSERT_TRUE(object->PlaySequenceRange(0, kUnitSpeed, kUnitSpeed, 0, T0, &end, &done, 0, false));
    EXPECT_EQ(-kUnitSpeed, Player().Speed);
    EXPECT_EQ(T0 + half, end);
    ExpectNear({1, 0, 0}, BodyAt(T0), "from the last key");
    ExpectNear({0.5f, 0, 0}, BodyAt(T0 + half / 2), "backwards");
    ComputeAt(T0 + half + 1);
    EXPECT_EQ(1, done);
    EXPECT_TRUE(Player().Flags & kPlayerFinished);
    ExpectNear({0, 0, 0}, BodyAt(T0 + 5 * half), "stays at the target");

    // Retargeting halfway through starts from the halfway point.
    object->StopSequences(1, -1);
    ASSERT_TRUE(object->PlaySequenceRange(0, kUnitSpeed, 0, kUnitSpeed, T0, &end, nullptr, 0, false));
    const uint32_t t1 = T0 + half / 2;
    ASSERT_TRUE(object->PlaySequenceRange(0, kUnitSpeed, kUnitSpeed, 0, t1, &end, nullptr, 0, false));
    EXPECT_EQ(1, object->Players.Count());
    EXPECT_NEAR(static_cast<double>(half / 2), Player().StartPosition, 2.0);
    EXPECT_EQ(-kUnitSpeed, Player().Speed);
    EXPECT_NEAR(static_cast<double>(t1 + half / 2), end, 2.0);
    ExpectNear({0.25f, 0, 0}, BodyAt(t1 + half / 4), "on toward the new target");
}

TEST_F(PlaybackTest, ZeroSpeedsDurationsAndKeyLengthsHoldStill) {
    struct Case {
        const char* what;
        int32_t n, speed;
        bool range;
        bool still; // else only the start pose is known
    };
    const Case cases[] = {
        {"speed 0", 0, 0, false, true},
        {"range at speed 0", 0, 0, true, true},
        {"a key of no duration", 3, kUnitSpeed, false, false},
    };
    for (const Case& c : cases) {
        object->StopSequences(1, -1);
        uint32_t end = 99;
        uint8_t done = 0;
        if (c.range)
            ASSERT_TRUE(object->PlaySequenceRange(c.n, c.speed, 0, kUnitSpeed, T0, &end, &done, 0, false));
        else
            ASSERT_TRUE(object->PlaySequence(c.n, c.speed, -1, T0, &done, 0, false));
        for (uint32_t t : {T0, T0 + half / 2, T0 + 3 * tps}) {
            const Vector3 pose = BodyAt(t);
            EXPECT_TRUE(std::isfinite(pose.x) && std::isfinite(pose.y) && std::isfinite(pose.z)) << c.what;
            if (c.still || t == T0) ExpectNear({0, 0, 0}, pose, c.what);
        }
        ComputeAt(T0 + 3 * tps);
        object->AdvanceSequences(T0 + 3 * tps, 0);
        EXPECT_EQ(0, done) << c.what << " never ends";
        if (c.range) {
            EXPECT_EQ(0u, end) << "no end time";
        }
    }
    // A blend at speed 0 has no duration: the new sequence applies at once.
    ASSERT_TRUE(object->PlaySequence(1, 0, -1, T0 + 10, nullptr, kPlayerBlend, false));
    EXPECT_EQ(T0 + 10, Player().StartTime);
    ExpectNear({0, 2, 0}, BodyAt(T0 + 10), "no blend");
}

TEST_F(PlaybackTest, StoppedAndEndedPlayersLeaveNoTracksBehind) {
    object->AddSequence(0, kUnitSpeed, -1, T0, nullptr, 0, true, 5);
    object->AddSequence(1, kUnitSpeed, -1, T0, nullptr, 0, true, 5);
    ASSERT_EQ(1, object->Players.Count()) << "the key's earlier player went";
    EXPECT_EQ(1, Player().Sequence);
    EXPECT_EQ(3, Player().References) << "the list and two holding tracks";
    object->StopSequences(2, 6);
    EXPECT_EQ(1, object->Players.Count());
    object->StopSequences(2, 5);
    EXPECT_TRUE(object->Players.IsEmpty());
    EXPECT_TRUE(body_->Tracks.IsEmpty());
    EXPECT_TRUE(body_->Children.Front()->Tracks.IsEmpty());

    // One loop without hold: the player goes with its tracks once it ends.
    ASSERT_TRUE(object->PlaySequence(0, kUnitSpeed, 1, T0, nullptr, 0, false));
    object->AdvanceSequences(T0 + tps + 1, 0);
    EXPECT_TRUE(object->Players.IsEmpty());
    EXPECT_TRUE(body_->Tracks.IsEmpty());
    ComputeAt(T0 + tps + 2);
    ExpectNear({0, 0, 0}, BodyAt(T0 + tps + 2), "back at rest");
}

TEST_F(PlaybackTest, ReplacingFromAModelMovesPrivateSequencesToItsFirstKey) {
    tree = std::make_unique<FileChunk>();
    ParentChunk* body = AddNode(*AddHierarchy(*tree, "tank"), "Body");
    ParentChunk* turret = AddNode(*body, "Turret");
    AddSequence(*turret, 0, 1000, {{0, 0, {0, -800, 0}}});
    auto tankFile = AwModelFile::FromTree(std::move(tree));
    AwModel* tank = tankFile->LoadHierarchy("tank");
    ASSERT_NE(nullptr, tank);
    ASSERT_TRUE(object->PlaySequence(0, kUnitSpeed, -1, T0, nullptr, 0, false));

    object->ReplaceSubModel(*tank->Children[0], kReplaceMoveSequences);
    AwShapeInstance* node = body_->Children.Front();
    AwAnimSequenceList* shared = model->Children[0]->Sequences.get();
    EXPECT_EQ(shared, node->ModelSequences);
    ASSERT_NE(shared, node->Sequences);
    EXPECT_FLOAT_EQ(-0.8f, node->Position().y);
    EXPECT_NEAR(-0.8f, (*node->Sequences)[1]->Frames[0].Offset.y, 1e-6f) << "moved by the offset difference";
    EXPECT_FLOAT_EQ(-0.4f, (*shared)[1]->Frames[0].Offset.y) << "the model's own list is untouched";
    EXPECT_EQ((*node->Sequences)[0].get(), node->Tracks.Front()->Sequence) << "the track follows the copy";
    tank->ReleaseUse();
}

} // namespace
