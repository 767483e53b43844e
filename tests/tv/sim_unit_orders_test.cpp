// The unit's order queue: what each queue operation leaves in it, how the
// front order is carried out by the update, and the completion messages.
#include <gtest/gtest.h>

#include <vector>

#include "Tv/defs/objectdefinition.h"
#include "Tv/server/shell_state.h"
#include "Tv/sim/server_unit.h"
#include "tests/tv/sim_crouch_model.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr int32_t kMsgHoldReleased = 102;
constexpr int32_t kMsgOrderDone = 134;

std::vector<int32_t> Types(const ServerUnit& unit) {
    std::vector<int32_t> types;
    for (const UnitOrder* order : unit.Orders) types.push_back(order->Type);
    return types;
}

using Queue = std::vector<int32_t>;

class UnitOrdersTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(4, 4);
        unit = MakeUnit(1, {3, 0, 3});
        ASSERT_NE(nullptr, unit);
        recorder.Clear(); // the owner's notice of joining
    }

    // Fills the queue with orders of these kinds (item orders for key 5).
    void Fill(const Queue& kinds) {
        for (int32_t kind : kinds) {
            switch (kind) {
            case kOrderMove: unit->QueueMove(FloorAt(7, 7), -1); break;
            case kOrderUse: unit->QueueUseItem(5); break;
            case kOrderCrouch: unit->QueueCrouch(); break;
            case kOrderHold: {
                auto* hold = new UnitOrder;
                hold->Type = kOrderHold;
                unit->Orders.PushBack(hold);
                break;
            }
            default: FAIL() << "kind " << kind;
            }
        }
    }

    ServerUnit* unit = nullptr;
};

TEST_F(UnitOrdersTest, EquipQueuedAgainCancelsItAndAThirdTimeEquipsAgain) {
    unit->QueueEquipItem(1, 5);
    unit->QueueEquipItem(1, 5);
    EXPECT_EQ((Queue{kOrderEquip, kOrderRemove}), Types(*unit));
    unit->QueueEquipItem(0, 9); // another item does not count
    unit->QueueEquipItem(1, 5);
    EXPECT_EQ((Queue{kOrderEquip, kOrderRemove, kOrderEquip, kOrderEquip}), Types(*unit));
    const UnitOrder& last = *unit->Orders.Back();
    EXPECT_EQ(5, last.ItemKey);
    EXPECT_EQ(1, last.Role);
}

TEST_F(UnitOrdersTest, AHoldGoesInFrontOnlyOfAQueueWithoutOne) {
    unit->PushHoldOrder();
    EXPECT_TRUE(unit->Orders.IsEmpty()) << "an empty queue stays empty";

    unit->QueueMove(FloorAt(7, 7), -1);
    unit->WalkTo({7, 0, 7}, false);
    unit->PushHoldOrder();
    EXPECT_EQ((Queue{kOrderHold, kOrderMove}), Types(*unit));
    EXPECT_FALSE(unit->IsMoving());
    EXPECT_EQ(unit->Position.x, unit->Orders.Front()->Position.x);

    unit->PushHoldOrder();
    EXPECT_EQ((Queue{kOrderHold, kOrderMove}), Types(*unit)) << "one hold at the front is enough";
}

TEST_F(UnitOrdersTest, DroppingUndoesTheLastOrderThatIsNotAHold) {
    const struct {
        Queue before, after;
    } cases[] = {
        {{kOrderHold, kOrderMove, kOrderUse}, {kOrderHold, kOrderMove}},
        {{kOrderMove, kOrderHold}, {kOrderHold}},
        {{kOrderHold}, {kOrderHold}},
    };
    for (const auto& c : cases) {
        unit->ClearOrders();
        Fill(c.before);
        const Real lastCommand = unit->LastCommandTime;
        recorder.Clear();
        unit->DropQueuedOrders();
        EXPECT_EQ(c.after, Types(*unit));
        EXPECT_EQ(lastCommand, unit->LastCommandTime) << "the unit is not stopped";
        EXPECT_TRUE(recorder.Messages().empty());
    }
}

TEST_F(UnitOrdersTest, DroppingFromAnEmptyQueueStopsTheUnit) {
    AdvanceSeconds(2);
    unit->WalkTo({7, 0, 7}, false);
    unit->DropQueuedOrders();
    EXPECT_FALSE(unit->IsMoving());
    EXPECT_GT(unit->LastCommandTime, 0.0f);
}

TEST_F(UnitOrdersTest, PoppingAnnouncesEvenAnEmptyQueue) {
    unit->PopOrder();
    const auto done = SentFor(kMsgOrderDone, unit->Id);
    ASSERT_EQ(1u, done.size());
    EXPECT_EQ(8u, done[0].bytes.size());
    EXPECT_TRUE(unit->Orders.IsEmpty());
    EXPECT_EQ(1u, recorder.Messages().size()) << "nothing else";
}

TEST_F(UnitOrdersTest, PoppingAHoldReleasesTheQueueOnlyWhenAHoldIsInFront) {
    unit->QueueUseItem(5);
    unit->PopHoldOrder();
    EXPECT_EQ((Queue{kOrderUse}), Types(*unit));
    EXPECT_TRUE(recorder.Messages().empty());

    unit->PushHoldOrder();
    unit->PopHoldOrder();
    EXPECT_EQ((Queue{kOrderUse}), Types(*unit));
    EXPECT_EQ((std::vector<int32_t>{kMsgOrderDone, kMsgHoldReleased}),
              TypesFor(unit->Id, {kMsgOrderDone, kMsgHoldReleased}));
    ASSERT_EQ(1u, SentFor(kMsgHoldReleased, unit->Id).size());
    EXPECT_EQ(8u, SentFor(kMsgHoldReleased, unit->Id)[0].bytes.size());
}

TEST_F(UnitOrdersTest, AMoveOrderSetsThePathAndTheTargetAndAnOlderOneOnlyTheTarget) {
    CollisionPolygon* goal = FloorAt(7, 7);
    unit->QueueMove(goal, 42);
    const UnitOrder& order = *unit->Orders.Front();
    EXPECT_EQ(goal->GetReferencePoint().x, order.Position.x);
    unit->RunFrontOrder(5);
    EXPECT_EQ(goal, unit->GoalPolygon);
    EXPECT_EQ(PS_COMPLETE, unit->PathState);
    EXPECT_EQ(5.0f, unit->LastCommandTime);
    EXPECT_EQ(5.0f, unit->MoveStartTime);
    EXPECT_EQ(42, unit->TargetId);
    EXPECT_TRUE(unit->Orders.IsEmpty());
    EXPECT_EQ(1u, SentFor(kMsgOrderDone, unit->Id).size());

    unit->SetPathState(PS_NONE);
    unit->GoalPolygon = nullptr;
    unit->QueueMove(goal, 43);
    unit->RunFrontOrder(4); // stamped before the last command
    EXPECT_EQ(nullptr, unit->GoalPolygon);
    EXPECT_EQ(PS_NONE, unit->PathState);
    EXPECT_EQ(5.0f, unit->LastCommandTime);
    EXPECT_EQ(43, unit->TargetId);
    EXPECT_TRUE(unit->Orders.IsEmpty());
    EXPECT_EQ(2u, SentFor(kMsgOrderDone, unit->Id).size());
}

TEST_F(UnitOrdersTest, AMoveOrderMetWhileCrouchedCostsOnePass) {
    ObjectDefinition* croucher = MakeWalker("croucher");
    croucher->model = CrouchingModel();
    ServerUnit* crouched = MakeUnit(1, {5, 0, 5}, croucher);
    ASSERT_NE(nullptr, crouched);
    crouched->ToggleCrouch();
    ASSERT_EQ(1, crouched->Crouched);

    crouched->QueueMove(FloorAt(1, 1), -1);
    ThinkUnit(*crouched, 0.1f);
    EXPECT_EQ(0, crouched->Crouched) << "it stands up first";
    EXPECT_EQ((Queue{kOrderMove}), Types(*crouched));
    EXPECT_EQ(PS_NONE, crouched->PathState);
    ThinkUnit(*crouched, 0.1f);
    EXPECT_TRUE(crouched->Orders.IsEmpty());
    EXPECT_EQ(PS_COMPLETE, crouched->PathState);
    EXPECT_EQ(FloorAt(1, 1), crouched->GoalPolygon);
}

TEST_F(UnitOrdersTest, TheOrderStepWaitsForARestingUnitAndAnUnpausedGame) {
    const struct {
        const char* name;
        void (*set)(ServerUnit&);
    } blockers[] = {
        {"paused", [](ServerUnit&) { GamePaused = 1; }},
        {"yielding", [](ServerUnit& u) { u.Yielding = 1; }},
        {"collecting", [](ServerUnit& u) { u.Collecting = 1; }},
        {"laying a mine", [](ServerUnit& u) { u.ItemActionActive = 1; }},
        {"hold in front", [](ServerUnit& u) { u.PushHoldOrder(); }},
    };
    for (const auto& b : blockers) {
        ServerUnit* u = MakeUnit(1, {5, 0, 5});
        ASSERT_NE(nullptr, u);
        u->QueueUseItem(5);
        b.set(*u);
        ThinkUnit(*u, 0.1f);
        EXPECT_EQ(kOrderUse, u->Orders.Back()->Type) << b.name;
        EXPECT_EQ(0u, SentFor(kMsgOrderDone, u->Id).size()) << b.name;
        GamePaused = 0;
        u->Remove(true);
    }
    unit->QueueUseItem(5);
    ThinkUnit(*unit, 0.1f);
    EXPECT_TRUE(unit->Orders.IsEmpty()) << "an item order pops, without effect until items exist";
    EXPECT_EQ(1u, SentFor(kMsgOrderDone, unit->Id).size());
}

TEST_F(UnitOrdersTest, AGiveOrderHeadsForTheReceiverOrPopsWithoutOne) {
    ServerUnit* receiver = MakeUnit(1, {7, 0, 7});
    ASSERT_NE(nullptr, receiver);
    unit->QueueGiveItem(5, 999, 2); // nobody has id 999
    unit->RunFrontOrder(1);
    EXPECT_TRUE(unit->Orders.IsEmpty());
    EXPECT_EQ(nullptr, unit->AiTarget);
    EXPECT_EQ(PS_NONE, unit->PathState);
    EXPECT_EQ(-1, unit->GiveCount);

    unit->QueueGiveItem(5, receiver->Id, 2);
    unit->RunFrontOrder(1);
    EXPECT_EQ(receiver, unit->AiTarget);
    EXPECT_EQ(5, unit->TargetId) << "the item's key";
    EXPECT_EQ(2, unit->GiveCount);
    EXPECT_EQ(receiver->GetFloorPolygon(), unit->GoalPolygon);
    EXPECT_EQ(PS_COMPLETE, unit->PathState);
    EXPECT_EQ(2u, SentFor(kMsgOrderDone, unit->Id).size());
    unit->ReleaseReferences();
}

TEST_F(UnitOrdersTest, ClearingCancelsEveryOrder) {
    Fill({kOrderMove, kOrderUse, kOrderHold});
    unit->ClearOrders();
    EXPECT_TRUE(unit->Orders.IsEmpty());
    EXPECT_FALSE(unit->HasOrders());
    EXPECT_EQ(1, unit->OrdersCancelled);
}

} // namespace
