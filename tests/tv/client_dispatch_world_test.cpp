// Camera, track, door, fog and airstrike messages on the client (no server thread).

#include <gtest/gtest.h>

#include <limits>

#include "Tv/client/group_orders.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/game_options.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "tests/tv/client_dispatch_fixture.h"
#include "tests/tv/flat_level.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

ByteWriter PointsRecord(int32_t type, std::initializer_list<float> floats) {
    ByteWriter w;
    w.I32(type);
    for (float f : floats) w.F32(f);
    return w;
}

class ClientDispatchWorldTest : public ClientDispatchTest {
protected:
    void TearDown() override {
        TvReleaseLevelWorld();
        ClientDispatchTest::TearDown();
    }
};

} // namespace

TEST_F(ClientDispatchWorldTest, DoorsAndTheWatchedObjectReachTheConsole) {
    ClientObject* object = MakeClientObject(8);
    Dispatch(Record(188, {4}));
    Dispatch(Record(189, {4}));
    Dispatch(Record(140, {8}));
    Dispatch(Record(140, {9})); // absent
    EXPECT_EQ(seen.doors, (std::vector<int32_t>{4, -5}));
    EXPECT_EQ(seen.watched, std::vector<ClientObject*>{object});
}

TEST_F(ClientDispatchWorldTest, CameraMessagesNeedFinitePathsAndFoundObjects) {
    Dispatch(Record(164));
    Dispatch(PointsRecord(170, {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4.0f}));
    EXPECT_EQ(seen.calls, (std::vector<std::string>{"endCutscene", "startCameraTrack", "setCameraScriptMode"}));
    ExpectDropped(PointsRecord(170, {0, 0, 0, 1, kNaN, 1, 2, 2, 2, 3, 3, 3, 4.0f}));
    ExpectDropped(PointsRecord(170, {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, -1.0f}));

    Dispatch(Record(180, {3})); // absent: the controls stay
    EXPECT_EQ(GameOptions.ControlsDisabled, 0);
    MakeClientObject(3);
    Dispatch(Record(180, {3}));
    EXPECT_EQ(seen.calls.back(), "trackCameraObject");
    EXPECT_EQ(GameOptions.ControlsDisabled, 1);
}

TEST_F(ClientDispatchWorldTest, BoardingDisablesTheControlsAndClearsTheSelection) {
    ClientObject* vehicle = MakeClientObject(3);
    TvSelectObject(vehicle);
    Dispatch(Record(181, {3}));
    EXPECT_EQ(GameOptions.ControlsDisabled, 1);
    EXPECT_EQ(TvSelectedObjectCount(), 0);
    EXPECT_TRUE(ClientSends().empty()); // nobody of the local team boards a vehicle without a floor
}

TEST_F(ClientDispatchWorldTest, GroupOrdersLeaveOutControlledObjects) {
    ClientObject* a = MakeClientObject(3);
    ClientObject* b = MakeClientObject(4);
    b->Controlled = 1;
    TvSendGroupOrder(17, -1, false, {a, b});
    TvPauseGame();
    TvSendGroupOrder(18, 9, false, {a});
    TvResumeGame();
    TvSendGroupOrder(18, 9, true, {b}); // nobody left: nothing sent
    const std::vector<RecordedMessage> sends = ClientSends();
    ASSERT_EQ(sends.size(), 2u);
    EXPECT_EQ(sends[0].bytes.size(), 24u);
    EXPECT_EQ(MessageInt(sends[0].bytes, 0), 8);
    EXPECT_EQ(MessageInt(sends[0].bytes, 8), 17);
    EXPECT_EQ(MessageInt(sends[0].bytes, 12), -1);
    EXPECT_EQ(MessageInt(sends[0].bytes, 16), 1);
    EXPECT_EQ(MessageInt(sends[0].bytes, 20), 3);
    EXPECT_EQ(MessageInt(sends[1].bytes, 0), 33); // paused: queued
}

TEST_F(ClientDispatchWorldTest, FogRevealUnpacksKindAndDurationAndDefoggersFollowTheirObject) {
    ByteWriter reveal = PointsRecord(182, {1, 2, 3, 25.0f});
    reveal.U16(static_cast<uint16_t>(-2));
    reveal.U16(60);
    Dispatch(reveal);
    ASSERT_EQ(seen.revealers.size(), 1u);
    EXPECT_EQ(seen.revealers[0].Kind, -2);
    EXPECT_EQ(seen.revealers[0].Radius, 25.0f);
    EXPECT_EQ(seen.revealers[0].DurationTicks, FloorToInt(60.0f * CurrentTicksPerSecondFloat()));
    ByteWriter fogged = PointsRecord(182, {1, kNaN, 3, 25.0f});
    fogged.I32(1);
    ExpectDropped(fogged);

    MakeClientObject(6);
    Dispatch(Record(183, {6}));
    Dispatch(Record(184, {6}));
    Dispatch(Record(183, {7}));
    EXPECT_EQ(seen.calls, (std::vector<std::string>{"addDefogger", "removeDefogger"}));
}

TEST_F(ClientDispatchWorldTest, TrackRecordsNeedFiniteValuesAndMatchingCounts) {
    MakeClientObject(2);
    ExpectDropped(Record(173, {2, 2, 5})); // two ids announced, one sent
    ExpectDropped(Record(174, {2, -1}));
    for (float bad : {kNaN, -1.0f}) {
        ByteWriter speed = Record(171, {2});
        speed.F32(bad);
        ExpectDropped(speed);
    }
    ByteWriter loop = Record(172, {2});
    loop.F32(kNaN);
    ExpectDropped(loop);
    ByteWriter track = Record(169, {2});
    for (int i = 0; i < 12; ++i) track.F32(i == 5 ? kNaN : 1.0f);
    for (int i = 0; i < 4; ++i) track.F32(0.0f);
    track.U8(1);
    ExpectDropped(track);
    Dispatch(Record(173, {2, 2, 5, 6}));
    Dispatch(Record(175, {2}));
    EXPECT_EQ(drops.reasons.size(), 6u); // the fitting records applied
}

TEST_F(ClientDispatchWorldTest, AirstrikePlacesSpotlightsOnTheFloorUpToTheCap) {
    struct Case {
        Vector3 first, second;
        size_t spotlights;
    } const cases[] = {
        {{10, -5, 10}, {20, -5, 20}, 1}, // 100 square metres: still one
        {{0, -5, 0}, {100, -5, 100}, 4}, // 10000 / 2500
        {{0, -5, 0}, {200, -5, 200}, 16},
        {{0, -5, 0}, {2000, -5, 2000}, 64}, // 1600 asked, the cap placed (points beyond the floor miss it)
    };
    MakeFlatLevelWorld(10, 20.0f); // x and z from 0 to 200
    for (const Case& c : cases) {
        seen.spotlights.clear();
        seen.calls.clear();
        Dispatch(PointsRecord(194, {c.first.x, c.first.y, c.first.z, c.second.x, c.second.y, c.second.z}));
        EXPECT_LE(seen.spotlights.size(), c.spotlights);
        if (c.spotlights < 64) EXPECT_EQ(seen.spotlights.size(), c.spotlights);
        for (const Vector3& p : seen.spotlights) {
            EXPECT_EQ(p.y, 0.0f); // dropped to the floor
            EXPECT_GE(p.x, c.first.x);
            EXPECT_LE(p.x, c.second.x);
        }
        EXPECT_EQ(seen.calls, std::vector<std::string>{"airstrike"});
    }
    ExpectDropped(PointsRecord(194, {0, 0, kNaN, 1, 1, 1}));
    ExpectDropped(PointsRecord(194, {3e38f, 0, 0, -3e38f, 0, 1})); // a span beyond the floats
}

TEST_F(ClientDispatchWorldTest, AirstrikeWithoutALevelPlacesNoSpotlight) {
    Dispatch(PointsRecord(194, {0, 0, 0, 10, 0, 10}));
    EXPECT_TRUE(seen.spotlights.empty());
    EXPECT_EQ(seen.calls, std::vector<std::string>{"airstrike"});
}
