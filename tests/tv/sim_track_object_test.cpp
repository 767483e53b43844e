// Track objects: runs along the curve and back, turns, pauses and loops, the
// riders a lift carries, its floor cut off from the level while it moves, its
// explosion, and the track field of the create message for actors spawned on it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "Awapi/mesh_part.h"
#include "Awapi/shape.h"
#include "Awapi/vertex_buffer_pool.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/message_types.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_track_object.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/track_members.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "platform/d3d/d3d_types.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr uint32_t kLiftClass = 0x2000;
constexpr uint32_t kLandingClass = 0x4000;
const Vector3 kTrack[4] = {{3, 0, 1}, {4, -1, 1}, {6, -1, 1}, {7, 0, 1}};

// Two landings of the level, x 0 to 2 and x 8 to 10 (z 0 to 2), with a gap
// between that a 2 m lift spans: at the start of its track it touches the
// first landing, at the far end the second.
class TrackObjectTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        GeometryLayout level;
        level.FloorQuad(0, 0, 2, 2, 0).flags = kLandingClass;
        level.FloorQuad(8, 0, 10, 2, 0).flags = kLandingClass;
        // Far away: it stretches the level's grid to cells of 2 m, of a size a lift's links reach across.
        level.FloorQuad(190, 0, 196, 2, 0);
        MakeLevel(level);
        nearLanding = FloorAt(1, 1);
        farLanding = FloorAt(9, 1);
    }

    // A breakable definition of AI core 8 whose model is a 2 m square floor of the lift's class, or no model.
    ObjectDefinition* MakeLiftDefinition(bool withFloor = true) {
        ObjectDefinition* definition = MakeBreakableDefinition("lift", 8);
        if (!withFloor) return definition;
        GeometryLayout floor;
        floor.FloorQuad(-1, -1, 1, 1, 0).flags = kLiftClass;
        ShapeTree tree = MakeGeometryTree(floor);
        definition->shape = tree->Slots[0];
        definition->shape->AddUse();
        return definition;
    }
    ObjectDefinition* MakeBreakableDefinition(const char* name, int32_t aiCore) {
        ObjectDefinition* definition = MakeDefinition(name, aiCore);
        auto record = std::make_unique<FragDataRecord>();
        record->replace = true; // by nothing: removed
        definition->destruction = std::move(record);
        return definition;
    }
    // A started track object along kTrack, moved by the offset.
    ServerTrackObject* MakeTrackObject(bool carriesRiders = true, bool withFloor = true, const Vector3& offset = {}) {
        const int32_t id =
            TvCreateServerActor(0, MakeLiftDefinition(withFloor), kTrack[0] + offset, Quaternion{0, 0, 0, 1});
        ServerObject* actor = TvFindActor(id);
        EXPECT_TRUE(actor && actor->IsTrackObject());
        actor->Start(Now(), NowSeconds());
        auto* track = static_cast<ServerTrackObject*>(actor);
        Vector3 points[4];
        for (int i = 0; i < 4; ++i) points[i] = kTrack[i] + offset;
        track->SetTrack(points, HeadingQuaternion(1024), carriesRiders);
        return track;
    }
    // A plain actor that breaks when exploded, standing at the point.
    ServerObject* MakeBreakable(const Vector3& at, bool movesOnLifts) {
        ObjectDefinition* definition = MakeBreakableDefinition("crate", 1);
        ServerObject* actor = TvFindActor(TvCreateServerActor(1, definition, at, Quaternion{0, 0, 0, 1}));
        actor->MovesOnLifts = movesOnLifts;
        actor->Start(Now(), NowSeconds());
        return actor;
    }
    // The lift's one floor polygon.
    CollisionPolygon& LiftFloor(const ServerTrackObject& track) const { return track.Mesh->Polygon(0); }
    // Steps the world in tenths of a second for that long.
    void StepFor(Real seconds) {
        for (int i = FloorToInt(seconds * 10.0f + 0.5f); i > 0; --i) Step(0.1f);
    }
    // Steps in tenths of a second until the run ends (at most 30 s); the seconds it took.
    Real SecondsUntilStopped(const ServerTrackObject& track) {
        Real seconds = 0;
        while (track.Running && seconds < 30.0f) {
            Step(0.1f);
            seconds += 0.1f;
        }
        return seconds;
    }
    static void ExpectSame(const Vector3& a, const Vector3& b) {
        EXPECT_EQ(a.x, b.x);
        EXPECT_EQ(a.y, b.y);
        EXPECT_EQ(a.z, b.z);
    }
    static void ExpectNear(const Vector3& a, const Vector3& b, Real tolerance = 1e-3f) {
        EXPECT_NEAR(a.x, b.x, tolerance);
        EXPECT_NEAR(a.y, b.y, tolerance);
        EXPECT_NEAR(a.z, b.z, tolerance);
    }

    CollisionPolygon* nearLanding = nullptr;
    CollisionPolygon* farLanding = nullptr;
};

TEST_F(TrackObjectTest, ARunTakesTenSecondsEndsExactlyOnTheFarEndAndTheNextRunGoesBack) {
    ServerTrackObject* track = MakeTrackObject(false);
    EXPECT_EQ(track->GetTrackSpeed(), 0.1f);
    track->RunTrack();
    StepFor(5.0f);
    EXPECT_TRUE(track->Running);
    ExpectNear(track->Position, track->CurvePoint(0.5f));
    ExpectNear(track->Position, {5, -0.75f, 1});
    EXPECT_NEAR(SecondsUntilStopped(*track), 5.0f, 0.15f);
    ExpectSame(track->Position, kTrack[3]);
    EXPECT_EQ(track->Reversed, 1);
    EXPECT_NEAR(track->Orientation.y, HeadingQuaternion(1024).y, 1e-3f);

    track->RunTrack();
    EXPECT_NEAR(SecondsUntilStopped(*track), 10.0f, 0.15f);
    ExpectSame(track->Position, kTrack[0]);
    EXPECT_EQ(track->Reversed, 0);
    EXPECT_EQ(TypesFor(track->Id, {kMsgTrackRunForward, kMsgTrackRunBackward}),
              (std::vector<int32_t>{kMsgTrackRunForward, kMsgTrackRunBackward}));
    const std::vector<RecordedMessage> started = SentFor(kMsgTrackRunForward, track->Id);
    EXPECT_EQ(started[0].bytes.size(), 12u);
    EXPECT_EQ(MessageInt(started[0].bytes, 8), 0);
}

TEST_F(TrackObjectTest, GoToEndRunsTowardTheEndAndTurnsARunMidWayWithoutAJump) {
    ServerTrackObject* track = MakeTrackObject(false);
    track->GoToEnd(0);
    EXPECT_FALSE(track->Running) << "already at the start";
    track->GoToEnd(1);
    EXPECT_TRUE(track->Running);
    StepFor(3.0f);
    track->GoToEnd(1);
    EXPECT_EQ(recorder.CountSent(kMsgTrackTurned), 0) << "already heading there";

    const Vector3 before = track->Position;
    ExpectNear(before, track->CurvePoint(0.3f));
    track->GoToEnd(0);
    EXPECT_EQ(SentFor(kMsgTrackTurned, track->Id).size(), 1u);
    EXPECT_EQ(track->Reversed, 1);
    Step(0.1f);
    ExpectNear(track->Position, track->CurvePoint(0.29f));
    EXPECT_NEAR(SecondsUntilStopped(*track), 2.9f, 0.15f);
    ExpectSame(track->Position, kTrack[0]);
    EXPECT_EQ(track->Reversed, 0);
}

TEST_F(TrackObjectTest, ASpeedNotAboveZeroIsRefused) {
    ServerTrackObject* track = MakeTrackObject(false);
    for (Real speed : {0.0f, -0.5f, -0.0f, std::numeric_limits<Real>::quiet_NaN()}) {
        EXPECT_FALSE(track->SetTrackSpeed(speed)) << speed;
        EXPECT_EQ(track->GetTrackSpeed(), 0.1f);
    }
    ASSERT_TRUE(track->SetTrackSpeed(0.5f));
    track->RunTrack();
    EXPECT_NEAR(SecondsUntilStopped(*track), 2.0f, 0.15f);
    ExpectSame(track->Position, kTrack[3]);
}

TEST_F(TrackObjectTest, APausedRunGoesOnFromWhereItStoppedAndNothingElseRestartsIt) {
    ServerTrackObject* track = MakeTrackObject(false);
    track->Looping = 1;
    track->LoopTicks = 1;
    track->Unpause();
    EXPECT_FALSE(track->Running) << "nothing to resume";
    track->RunTrack();
    StepFor(2.0f);
    track->Pause();
    const Vector3 paused = track->Position;
    track->RunTrack();
    track->GoToEnd(1);
    StepFor(5.0f);
    EXPECT_FALSE(track->Running);
    // Neither a start, a request nor the loop moved it.
    ExpectSame(track->Position, paused);

    track->Unpause();
    track->Looping = 0;
    Step(0.1f);
    ExpectNear(track->Position, track->CurvePoint(0.21f));
    EXPECT_NEAR(SecondsUntilStopped(*track), 7.9f, 0.15f);
    ExpectSame(track->Position, kTrack[3]);
    EXPECT_EQ(TypesFor(track->Id, {kMsgTrackRunForward, kMsgTrackPaused, kMsgTrackResumed}),
              (std::vector<int32_t>{kMsgTrackRunForward, kMsgTrackPaused, kMsgTrackResumed}));
}

TEST_F(TrackObjectTest, ALoopingObjectStartsAgainOnceTheLoopTimeHasPassedSinceItsLastStart) {
    ServerTrackObject* track = MakeTrackObject(false);
    track->SetTrackSpeed(0.5f);
    track->Looping = 1;
    track->LoopTicks = static_cast<int32_t>(4.0f * CurrentTicksPerSecondFloat());
    StepFor(3.0f);
    EXPECT_EQ(recorder.CountSent(kMsgTrackRunForward), 1) << "an idle looping object starts by itself";
    EXPECT_FALSE(track->Running);
    EXPECT_EQ(recorder.CountSent(kMsgTrackRunBackward), 0);
    StepFor(1.5f);
    EXPECT_EQ(recorder.CountSent(kMsgTrackRunBackward), 1) << "four seconds after the first start";
    StepFor(4.0f);
    EXPECT_EQ(recorder.CountSent(kMsgTrackRunForward), 2);
}

TEST_F(TrackObjectTest, ALiftCarriesTheUnitsStandingOnItAndLinksItsFloorOnlyWhereItStops) {
    ServerTrackObject* track = MakeTrackObject();
    ServerUnit* rider = MakeUnit(1, {3.5f, 0, 1.5f});
    ServerUnit* bystander = MakeUnit(1, {1, 0, 1});
    ASSERT_TRUE(rider && bystander);
    CollisionPolygon& floor = LiftFloor(*track);
    EXPECT_EQ(TrackObjectList.Count(), 1);

    track->RunTrack();
    const std::vector<RecordedMessage> started = SentFor(kMsgTrackRunForward, track->Id);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].bytes.size(), 16u);
    EXPECT_EQ(MessageInt(started[0].bytes, 8), 1);
    EXPECT_EQ(MessageInt(started[0].bytes, 12), rider->Id);
    EXPECT_EQ(rider->OnTrack, 1);
    EXPECT_EQ(TvTrackOfRider(rider->Id), track->Id + 1);
    EXPECT_EQ(TvTrackOfRider(bystander->Id), 0);

    StepFor(5.0f);
    ExpectNear(rider->Position, Vector3(3.5f, 0, 1.5f) + track->Position - kTrack[0]);
    EXPECT_FALSE(floor.HasNeighbour(nearLanding) || floor.HasNeighbour(farLanding)) << "cut off while it moves";
    EXPECT_EQ(LevelWorldInstance->FindFloor(track->Position + Vector3(0, 0.5f, 0)), &floor) << "the grid follows";

    SecondsUntilStopped(*track);
    ExpectSame(track->Position, kTrack[3]);
    ExpectNear(rider->Position, {7.5f, 0, 1.5f});
    ExpectSame(bystander->Position, Vector3(1, 0, 1));
    EXPECT_EQ(rider->OnTrack, 0);
    EXPECT_EQ(TvTrackOfRider(rider->Id), 0);
    EXPECT_TRUE(floor.HasNeighbour(farLanding) && farLanding->HasNeighbour(&floor));
    EXPECT_FALSE(floor.HasNeighbour(nearLanding));
    ExpectNear(floor.GetReferencePoint(), kTrack[3]);

    track->RunTrack();
    EXPECT_FALSE(floor.HasNeighbour(farLanding) || farLanding->HasNeighbour(&floor));
    SecondsUntilStopped(*track);
    EXPECT_TRUE(floor.HasNeighbour(nearLanding) && !floor.HasNeighbour(farLanding));
}

TEST_F(TrackObjectTest, AnActorSpawnedByARiderJoinsTheLiftAndTheCreateMessageNamesIt) {
    ServerTrackObject* track = MakeTrackObject();
    ServerUnit* rider = MakeUnit(1, {3, 0, 1});
    track->RunTrack();
    StepFor(2.0f);
    const int32_t id = TvSpawnActor(0, MakeDefinition("crate", 1), rider->Position, Quaternion{0, 0, 0, 1}, rider->Id);
    const std::vector<RecordedMessage> created = recorder.Sent(MSG_CREATE_OBJECT);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(MessageInt(created[0].bytes, 16), track->Id + 1);
    EXPECT_TRUE(track->HasRider(id));
    ServerObject* spawned = TvFindActor(id);
    const Vector3 at = spawned->Position;
    SecondsUntilStopped(*track);
    ExpectNear(spawned->Position, at + kTrack[3] - track->CurvePoint(0.2f));
}

TEST_F(TrackObjectTest, AnExplodingLiftDestroysItsRidersOrWithNoneWhateverStandsOnIt) {
    struct Case {
        bool withRider;
        bool bystanderSurvives;
    };
    // The first lift's floor stays in the world where it exploded: the second stands beside it.
    const Case cases[] = {{true, true}, {false, false}};
    for (const Case& c : cases) {
        const Vector3 offset(0, 0, c.withRider ? 0.0f : 4.0f);
        ServerTrackObject* track = MakeTrackObject(true, true, offset);
        ServerObject* rider = MakeBreakable(Vector3(3.5f, 0, 1) + offset, true);
        ServerObject* bystander = MakeBreakable(Vector3(2.5f, 0, 1) + offset, false);
        const int32_t riderId = rider->Id, bystanderId = bystander->Id, trackId = track->Id;
        if (!c.withRider) rider->Remove(false);
        ASSERT_EQ(bystander->GetFloorPolygon(), &LiftFloor(*track));
        track->RunTrack();
        Step(0.1f);
        track->Explode();
        EXPECT_EQ(TvFindActor(riderId), nullptr);
        EXPECT_EQ(TvFindActor(bystanderId) != nullptr, c.bystanderSurvives) << c.withRider;
        EXPECT_EQ(TvFindActor(trackId), nullptr);
        EXPECT_TRUE(TrackObjectList.IsEmpty());
        // Its floor stays, named by no model: the next lift's model may take the old one's address.
        const CollisionPolygon* left = LevelWorldInstance->FindFloor(Vector3(3, 0, 1) + offset);
        ASSERT_NE(left, nullptr);
        EXPECT_EQ(left->owner, nullptr);
    }
}

TEST_F(TrackObjectTest, WithoutACollisionMeshTheObjectStillMovesItselfAndItsRiders) {
    ServerTrackObject* track = MakeTrackObject(true, false);
    EXPECT_EQ(track->Mesh, nullptr);
    ServerObject* rider = MakeActor(1, {3, -1, 1});
    rider->AttachToTrack(track->Id);
    rider->AttachToTrack(track->Id);
    EXPECT_EQ(track->Riders.Count(), 1);
    track->RunTrack();
    SecondsUntilStopped(*track);
    ExpectSame(track->Position, kTrack[3]);
    ExpectNear(rider->Position, {7, -1, 1});
}

TEST_F(TrackObjectTest, SettingTheTrackTakesTheModelsPartsOutOfTheSharedBuffers) {
    ObjectDefinition* definition = MakeLiftDefinition();
    definition->shape->AddMeshPart(3, 3, plat::kFvfXyz, false);
    AwMeshPart* part = definition->shape->Parts.Back();
    part->AssignVertexBuffer(false);
    ASSERT_NE(part->SharedBuffer, nullptr);
    auto* track = static_cast<ServerTrackObject*>(
        TvFindActor(TvCreateServerActor(0, definition, kTrack[0], Quaternion{0, 0, 0, 1})));
    track->SetTrack(kTrack, Quaternion{0, 0, 0, 1}, false);
    EXPECT_EQ(part->SharedBuffer, nullptr);
    EXPECT_TRUE(AwVertexBufferList.IsEmpty());
}

} // namespace
