// Group moves (8) and queued group moves (33): the clicked polygon for the
// first unit, formation polygons near the height of those taken for the rest.

#include <cmath>
#include <set>

#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server_state.h"
#include "Tv/sim/server_unit.h"
#include "Tv/world/collision_polygon.h"
#include "tests/tv/server_orders_fixture.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr int kCells = 10;
constexpr Real kCell = 2.0f;
constexpr Real kRise = 0.4f; // per cell along x: every x neighbour lies outside the 0.25 m band

class ServerOrdersGroup : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        // A gentle slope up along x (y grows downward); level along z.
        GeometryLayout layout;
        layout.FloorGrid(kCells, kCells, 0, 0, kCell, 0);
        for (Vector3& p : layout.points) p.y = -kRise * p.x / kCell;
        MakeLevel(layout);
        SimulationRunning = true;
        // In a file along x, the leader in front.
        for (int i = 0; i < 3; ++i) units.push_back(MakeUnit(1, At(2 - i, 1)));
        for (ServerUnit* unit : units) ASSERT_NE(unit, nullptr);
    }

    Vector3 At(int i, int j) const {
        const Real x = (static_cast<Real>(i) + 0.5f) * kCell;
        return {x, -kRise * (x / kCell), (static_cast<Real>(j) + 0.5f) * kCell};
    }

    ClientRecord Order(int32_t type, int32_t polygon, int32_t target = -1) {
        std::vector<int32_t> ids;
        for (const ServerUnit* unit : units) ids.push_back(unit->Id);
        return std::move(ClientRecord(type).F32(NowSeconds()).I32(polygon).I32(target).Ids(ids));
    }

    std::vector<ServerUnit*> units;
};

TEST_F(ServerOrdersGroup, TheFirstTakesTheClickedPolygonTheOthersFreeOnesWithinTheHeightBand) {
    CollisionPolygon* clicked = FloorAt(At(6, 5).x, At(6, 5).z);
    ASSERT_NE(clicked, nullptr);
    Dispatch(Order(MSG_GROUP_ORDER, static_cast<int32_t>(clicked->polygonIndex), 77));
    EXPECT_EQ(units[0]->GoalPolygon, clicked);
    std::set<CollisionPolygon*> goals;
    Real low = clicked->GetReferencePoint().y, high = low;
    for (ServerUnit* unit : units) {
        ASSERT_NE(unit->GoalPolygon, nullptr);
        EXPECT_TRUE(goals.insert(unit->GoalPolygon).second) << "two units on one polygon";
        const Real y = unit->GoalPolygon->GetReferencePoint().y;
        EXPECT_GT(y, low - 0.25f);
        EXPECT_LT(y, high + 0.25f);
        low = std::min(low, y);
        high = std::max(high, y);
        EXPECT_EQ(unit->PathState, PS_COMPLETE);
        EXPECT_EQ(unit->TargetId, 77);
    }
}

TEST_F(ServerOrdersGroup, AQueuedGroupMoveAppendsFollowOrdersAndAnnouncesEach) {
    CollisionPolygon* clicked = FloorAt(At(6, 5).x, At(6, 5).z);
    for (ServerUnit* unit : units) unit->QueueCrouch();
    recorder.Clear();
    Dispatch(Order(MSG_GROUP_ORDER_QUEUED, static_cast<int32_t>(clicked->polygonIndex), 9));
    const std::vector<RecordedMessage> shown = recorder.Sent(MSG_FOLLOW_ORDER_ADDED);
    ASSERT_EQ(shown.size(), units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        ASSERT_EQ(units[i]->Orders.Count(), 2) << "appended after the order before it";
        const UnitOrder& order = *units[i]->Orders.Back();
        EXPECT_EQ(order.Type, kOrderMove);
        EXPECT_EQ(order.TargetId, 9);
        EXPECT_EQ(units[i]->PathState, PS_NONE) << "queued, not started";
        const std::vector<uint8_t>& m = shown[i].bytes;
        ASSERT_EQ(m.size(), 24u);
        EXPECT_EQ(MessageInt(m, 4), 0);
        EXPECT_EQ(MessageInt(m, 8), static_cast<int32_t>(order.Polygon->polygonIndex));
        EXPECT_EQ(MessageInt(m, 12), 9);
        EXPECT_EQ(MessageInt(m, 16), 0);
        EXPECT_EQ(MessageInt(m, 20), units[i]->Id);
    }
    EXPECT_EQ(units[0]->Orders.Back()->Polygon, clicked);
}

TEST_F(ServerOrdersGroup, APolygonIndexAtOrBeyondTheCountDoesNothing) {
    const int32_t count = static_cast<int32_t>(LevelWorldInstance->polygonCount);
    for (int32_t index : {count, count + 1, -1}) {
        const uint64_t dropped = ClientRecordDropCount();
        Dispatch(Order(MSG_GROUP_ORDER, index));
        Dispatch(Order(MSG_GROUP_ORDER_QUEUED, index));
        EXPECT_EQ(ClientRecordDropCount(), dropped + 2);
    }
    for (ServerUnit* unit : units) {
        EXPECT_EQ(unit->GoalPolygon, nullptr);
        EXPECT_TRUE(unit->Orders.IsEmpty());
    }
    EXPECT_EQ(recorder.CountSent(MSG_FOLLOW_ORDER_ADDED), 0);
}

TEST_F(ServerOrdersGroup, AUnitBusyWithAnItemQueuesTheMoveAndLeavesTheFormationAlone) {
    CollisionPolygon* clicked = FloorAt(At(6, 5).x, At(6, 5).z);
    units[0]->ItemActionActive = 1;
    Dispatch(Order(MSG_GROUP_ORDER, static_cast<int32_t>(clicked->polygonIndex)));
    EXPECT_TRUE(units[0]->ItemActionCancelled);
    ASSERT_EQ(units[0]->Orders.Count(), 1);
    EXPECT_EQ(units[0]->Orders.Front()->Polygon, clicked);
    EXPECT_EQ(units[1]->GoalPolygon, clicked) << "the next unit leads";
}

} // namespace
