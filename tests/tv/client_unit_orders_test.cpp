// The client unit's orders: the records its senders build, the orders a
// queued send shows, the shown orders the server's messages change, and the
// standing orders. Main thread only (no server thread runs).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Tv/client/client_unit.h"
#include "Tv/client/teamtable.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/message_types.h"
#include "tests/tv/client_unit_fixture.h"

namespace {

class ClientUnitOrders : public ClientUnitTest {
protected:
    std::vector<int32_t> ShownTypes(const ClientUnit& unit) {
        std::vector<int32_t> types;
        for (const ShownOrder& order : unit.ShownOrders.Entries()) types.push_back(order.Type);
        return types;
    }
    RecordedMessage LastSend() {
        std::vector<RecordedMessage> sends = ClientSends();
        return sends.empty() ? RecordedMessage{} : sends.back();
    }
};

TEST_F(ClientUnitOrders, EachSenderBuildsItsRecordAndShowsWhatItQueues) {
    const struct {
        const char* name;
        std::function<void(ClientUnit&)> send;
        int32_t type;
        size_t size;
        std::vector<int32_t> ints; // after the unit id
        std::vector<int32_t> shown;
    } cases[] = {
        {"equip", [](ClientUnit& u) { u.SendEquipItem(7, 3, false); }, MSG_EQUIP_ITEM, 16, {7, 3}, {}},
        {"queued equip",
         [](ClientUnit& u) { u.SendEquipItem(7, 3, true); },
         MSG_QUEUE_EQUIP_ITEM,
         16,
         {7, 3},
         {kShownEquip}},
        {"use", [](ClientUnit& u) { u.SendUseItem(7, false); }, MSG_USE_ITEM, 12, {7}, {}},
        {"queued use", [](ClientUnit& u) { u.SendUseItem(7, true); }, MSG_QUEUE_USE_ITEM, 12, {7}, {kShownUse}},
        {"drop", [](ClientUnit& u) { u.SendDropItem(7, false); }, MSG_DROP_ITEM, 12, {7}, {}},
        {"queued drop", [](ClientUnit& u) { u.SendDropItem(7, true); }, MSG_QUEUE_DROP_ITEM, 12, {7}, {kShownDrop}},
        {"remove", [](ClientUnit& u) { u.SendRemoveItem(7, false); }, MSG_REMOVE_ITEM, 12, {7}, {}},
        {"queued remove",
         [](ClientUnit& u) { u.SendRemoveItem(7, true); },
         MSG_QUEUE_REMOVE_ITEM,
         12,
         {7},
         {kShownRemove}},
        {"head for", [](ClientUnit& u) { u.SendHeadFor(4, 5, 6, false); }, MSG_HEAD_FOR, 24, {4, 5}, {}},
        {"queued head for",
         [](ClientUnit& u) { u.SendHeadFor(4, 5, 6, true); },
         MSG_QUEUE_HEAD_FOR,
         24,
         {4, 5},
         {kShownHeadFor}},
        {"select ammo", [](ClientUnit& u) { u.SendSelectAmmo(18, false); }, MSG_SELECT_AMMO, 12, {18}, {}},
        {"queued select ammo", [](ClientUnit& u) { u.SendSelectAmmo(18, true); }, MSG_QUEUE_SELECT_AMMO, 12, {18}, {}},
        {"stance", [](ClientUnit& u) { u.SendStanceOrder(false); }, MSG_TOGGLE_STANCE, 8, {}, {}},
        {"queued stance",
         [](ClientUnit& u) { u.SendStanceOrder(true); },
         MSG_QUEUE_TOGGLE_STANCE,
         8,
         {},
         {kShownStance}},
        {"standing order", [](ClientUnit& u) { u.SetStandingOrder(5); }, MSG_STANDING_ORDER, 12, {5}, {}},
        {"stop", [](ClientUnit& u) { u.SendStop(); }, MSG_STOP, 12, {}, {}},
        {"moving", [](ClientUnit& u) { u.SendDirectControlState(true); }, MSG_UNIT_MOVING, 56, {}, {}},
        {"placed", [](ClientUnit& u) { u.SendDirectControlState(false); }, MSG_UNIT_PLACED, 56, {}, {}},
    };
    int32_t id = 40;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClientUnit* unit = MakeUnit(id, 1, Vector3(1, 2, 3));
        const size_t before = ClientSends().size();
        c.send(*unit);
        ASSERT_EQ(ClientSends().size(), before + 1);
        const RecordedMessage sent = LastSend();
        EXPECT_EQ(sent.type, c.type);
        EXPECT_EQ(sent.bytes.size(), c.size);
        EXPECT_EQ(MessageInt(sent.bytes, 4), id);
        for (size_t i = 0; i < c.ints.size(); ++i) EXPECT_EQ(MessageInt(sent.bytes, 8 + 4 * i), c.ints[i]) << i;
        EXPECT_EQ(ShownTypes(*unit), c.shown);
        ++id;
    }
}

TEST_F(ClientUnitOrders, QueuedOrdersKeepTheirFieldsAndAQueuedEquipOfTheSameSlotTwiceCancels) {
    ClientUnit* unit = MakeUnit(1, 1, Vector3(1, 2, 3));
    unit->SendEquipItem(7, 3, true);
    unit->SendEquipItem(8, 3, true); // one equip of slot 3 pending: a cancel
    unit->SendEquipItem(9, 3, true); // none pending again: an equip
    unit->SendEquipItem(9, 4, true); // another slot
    unit->SendHeadFor(11, 12, 2, true);
    unit->SendStanceOrder(true);
    unit->SendStanceOrder(true); // the last one already is a stance order
    EXPECT_EQ(ShownTypes(*unit),
              (std::vector<int32_t>{kShownEquip, kShownRemove, kShownEquip, kShownEquip, kShownHeadFor, kShownStance}));
    const List<ShownOrder>& orders = unit->ShownOrders.Entries();
    auto it = orders.begin();
    EXPECT_EQ((*it).Value, 3);
    ++it;
    EXPECT_EQ((*it).Key, 8);
    EXPECT_EQ((*it).Value, 3);
    ++it;
    ++it;
    EXPECT_EQ((*it).Value, 4);
    ++it;
    EXPECT_EQ((*it).Key, 11);
    EXPECT_EQ((*it).TargetId, 12);
    EXPECT_EQ((*it).LastValue, 2);
    ++it;
    EXPECT_EQ((*it).Position.z, 3.0f) << "a stance order stands at the unit";
    EXPECT_TRUE(unit->HasOrders());

    unit->SendStop();
    EXPECT_FALSE(unit->HasOrders());
    unit->SendUseItem(1, true);
    unit->ClearSelectValues();
    EXPECT_FALSE(unit->HasOrders());
}

TEST_F(ClientUnitOrders, TheServersHoldAndDoneMessagesChangeTheShownOrdersOfUnitsOnly) {
    ClientUnit* unit = MakeUnit(1);
    ClientObject* crate = MakeClientObject(2);
    Dispatch(Record(101, {1}));
    EXPECT_TRUE(ShownTypes(*unit).empty()) << "no hold in front of nothing";
    unit->SendUseItem(5, true);
    unit->SendDropItem(5, true);
    unit->Moving = 1;
    Dispatch(Record(101, {1}));
    Dispatch(Record(101, {1}));
    EXPECT_EQ(ShownTypes(*unit), (std::vector<int32_t>{kShownHold, kShownUse, kShownDrop}));
    EXPECT_FALSE(unit->Moving);
    Dispatch(Record(102, {1}));
    Dispatch(Record(102, {1})); // the front is no hold now
    EXPECT_EQ(ShownTypes(*unit), (std::vector<int32_t>{kShownUse, kShownDrop}));
    Dispatch(Record(134, {1}));
    EXPECT_EQ(ShownTypes(*unit), std::vector<int32_t>{kShownDrop});
    Dispatch(Record(134, {1}));
    Dispatch(Record(134, {1}));
    EXPECT_TRUE(ShownTypes(*unit).empty());
    for (int32_t type : {101, 102, 134}) Dispatch(Record(type, {2}));
    EXPECT_FALSE(crate->HasOrders());
}

TEST_F(ClientUnitOrders, StandingOrdersSetTheFormationTheStandingFlagOrTheOrderMode) {
    SessionTeamCount = 4;
    TeamTable::Reset();
    ClientUnit* unit = MakeUnit(1, 1);
    const bool standing = unit->StandingFlag;
    unit->SetStandingOrder(0);
    EXPECT_EQ(TeamTable::GetTeam(1)->Formation, 0);
    unit->SetStandingOrder(3);
    EXPECT_EQ(unit->StandingFlag, !standing);
    unit->SetStandingOrder(3);
    EXPECT_EQ(unit->StandingFlag, standing);
    unit->SetStandingOrder(5);
    EXPECT_EQ(unit->OrderMode, 5);
    unit->SetStandingOrder(9); // sent, but nothing to set
    EXPECT_EQ(unit->OrderMode, 5);
    EXPECT_EQ(TeamTable::GetTeam(1)->Formation, 0);
    ClientUnit* stray = MakeUnit(2, 9); // a team outside the table
    stray->SetStandingOrder(1);
    EXPECT_EQ(ClientSends().size(), 6u);
}

TEST_F(ClientUnitOrders, DirectControlReportsTheCurrentPoseAtTheClocksTime) {
    ClientUnit* unit = MakeUnit(1, 1, Vector3(1, 2, 3));
    AdvanceSeconds(2.0);
    unit->SendDirectControlState(true);
    const RecordedMessage sent = LastSend();
    EXPECT_EQ(unit->MoveSeconds[0], unit->MoveSeconds[1]);
    EXPECT_EQ(MessageFloat(sent.bytes, 8), unit->MoveSeconds[0]);
    EXPECT_EQ(MessageFloat(sent.bytes, 12), 1.0f);
    EXPECT_EQ(MessageFloat(sent.bytes, 20), 3.0f);
    EXPECT_EQ(MessageFloat(sent.bytes, 36), 1.0f) << "orientation w";
    EXPECT_EQ(MessageInt(sent.bytes, 52), -1) << "no floor polygon";
}

} // namespace
