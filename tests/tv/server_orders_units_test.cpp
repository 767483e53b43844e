// Orders for units and bots reaching the server's actors: who may give
// them, which actors take them, and what each changes. Handlers run on the
// test thread as the server thread runs them.

#include <vector>

#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server_state.h"
#include "Tv/server/session_players.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_bot.h"
#include "tests/support/fake_direct_play.h"
#include "tests/tv/server_orders_fixture.h"
#include "tests/tv/sim_bot_fixture.h"

namespace {

class ServerOrdersUnits : public BotTest {
protected:
    void SetUp() override {
        BotTest::SetUp();
        MakeFloor(10, 10);
        SimulationRunning = true;
        unit = MakeUnit(1, {3, 0, 3});
        bot = MakeBot(1, {7, 0, 3}, MakeGunner("gunner"));
        enemy = MakeBot(2, {11, 0, 11}, MakeGunner("enemy"));
        ASSERT_TRUE(unit && bot && enemy);
    }
    void TearDown() override {
        ServerDirectPlay = nullptr;
        BotTest::TearDown();
    }

    // Multiplayer with two players: the first plays team 1, the second team 3.
    plat::DpId TwoPlayers() {
        MakeSession(2);
        ServerDirectPlay = session;
        return TvGetPlayer(0)->Id;
    }

    ServerUnit* unit = nullptr;
    ServerBot* bot = nullptr;
    ServerBot* enemy = nullptr;
};

TEST_F(ServerOrdersUnits, QueuedAttacksCarryTheAlternativeFlagExactlyFor31And32) {
    const struct {
        int32_t type;
        int32_t kind;
        int32_t flag;
    } cases[] = {{MSG_QUEUE_ATTACK_POINT, kOrderAttackPoint, 0},
                 {MSG_QUEUE_ATTACK_ACTOR, kOrderAttackTarget, 0},
                 {MSG_QUEUE_ATTACK_POINT_ALT, kOrderAttackPoint, 1},
                 {MSG_QUEUE_ATTACK_ACTOR_ALT, kOrderAttackTarget, 1}};
    for (const auto& c : cases) {
        ClientRecord record(c.type);
        record.I32(bot->Id).F32(NowSeconds());
        if (c.kind == kOrderAttackPoint)
            record.Point({5, 0, 9});
        else
            record.I32(enemy->Id);
        Dispatch(record);
        ASSERT_FALSE(bot->Orders.IsEmpty()) << c.type;
        const UnitOrder& order = *bot->Orders.Back();
        EXPECT_EQ(order.Type, c.kind) << c.type;
        EXPECT_EQ(order.AttackWord, c.flag) << c.type;
        if (c.kind == kOrderAttackTarget) {
            EXPECT_EQ(order.TargetId, enemy->Id);
        }
    }
    // An immediate attack replaces the queue; the alternative one lobs.
    Dispatch(ClientRecord(MSG_ATTACK_ACTOR_ALT).I32(bot->Id).F32(NowSeconds()).I32(enemy->Id));
    EXPECT_TRUE(bot->Orders.IsEmpty());
    EXPECT_TRUE(bot->Attacking);
    EXPECT_EQ(bot->FireTarget, enemy);
    EXPECT_EQ(bot->Lob, 1);
    Dispatch(ClientRecord(MSG_CEASE_FIRE).I32(bot->Id).F32(NowSeconds()));
    EXPECT_FALSE(bot->Attacking);
}

TEST_F(ServerOrdersUnits, AStopCancelsTheItemActionAndTheOrders) {
    unit->QueueCrouch();
    unit->ItemActionActive = 1;
    Dispatch(ClientRecord(MSG_STOP).I32(unit->Id).F32(NowSeconds()));
    EXPECT_TRUE(unit->ItemActionCancelled);
    EXPECT_TRUE(unit->Orders.IsEmpty());
}

TEST_F(ServerOrdersUnits, OrdersForTheWrongKindOfActorAreFreedUnread) {
    ServerObject* crate = TvFindActor(TvCreateServerActor(1, MakeDefinition("crate", 1), {5, 0, 5}, {0, 0, 0, 1}));
    ASSERT_TRUE(crate && !crate->IsUnit());
    const std::vector<ClientRecord> refused = {
        // bot orders for a plain unit
        std::move(ClientRecord(MSG_ATTACK_POINT).I32(unit->Id).F32(0).Point({1, 0, 1})),
        std::move(ClientRecord(MSG_QUEUE_ATTACK_ACTOR).I32(unit->Id).F32(0).I32(enemy->Id)),
        std::move(ClientRecord(MSG_SELECT_AMMO).I32(unit->Id).I32(0)),
        std::move(ClientRecord(MSG_LAUNCH_DECOY).I32(unit->Id).F32(0).Point({1, 0, 1})),
        // unit orders and direct control for an actor that is no unit
        std::move(ClientRecord(MSG_QUEUE_TOGGLE_STANCE).I32(crate->Id)),
        std::move(ClientRecord(MSG_STOP).I32(crate->Id).F32(0)),
        std::move(ClientRecord(MSG_UNIT_MOVING)
                      .I32(crate->Id)
                      .F32(0)
                      .Point({9, 0, 9})
                      .Quat({0, 0, 0, 1})
                      .F32(0)
                      .F32(0)
                      .F32(0)
                      .I32(0)),
        std::move(ClientRecord(MSG_UNIT_PLACED)
                      .I32(crate->Id)
                      .F32(0)
                      .Point({9, 0, 9})
                      .Quat({0, 0, 0, 1})
                      .F32(0)
                      .F32(0)
                      .F32(0)
                      .I32(0)),
        // a value out of range
        std::move(ClientRecord(MSG_SELECT_AMMO).I32(bot->Id).I32(19)),
        std::move(ClientRecord(MSG_QUEUE_SELECT_AMMO).I32(bot->Id).I32(-1)),
        std::move(ClientRecord(MSG_EQUIP_ITEM).I32(unit->Id).I32(1).I32(13)),
        std::move(ClientRecord(MSG_QUEUE_EQUIP_ITEM).I32(unit->Id).I32(1).I32(-1)),
        // the disturbed-creature report for anything but a background creature
        std::move(ClientRecord(MSG_REMOVE_ACTOR).I32(unit->Id)),
        std::move(ClientRecord(MSG_REMOVE_ACTOR).I32(crate->Id)),
    };
    recorder.Clear();
    const Vector3 cratePosition = crate->Position;
    const uint64_t dropped = ClientRecordDropCount();
    for (const ClientRecord& record : refused) Dispatch(record);
    EXPECT_EQ(ClientRecordDropCount(), dropped + refused.size());
    EXPECT_TRUE(recorder.Messages().empty());
    EXPECT_TRUE(unit->Orders.IsEmpty() && bot->Orders.IsEmpty());
    EXPECT_FALSE(unit->IsFiring());
    EXPECT_EQ(TvFindActor(unit->Id), unit);
    EXPECT_EQ(TvFindActor(crate->Id), crate);
    EXPECT_EQ(crate->Position.x, cratePosition.x);

    ServerObject* rat = TvFindActor(TvCreateServerActor(0, MakeDefinition("rat", 11), {5, 0, 7}, {0, 0, 0, 1}));
    ASSERT_TRUE(rat && rat->IsBackgroundCreature());
    const int32_t ratId = rat->Id;
    Dispatch(ClientRecord(MSG_REMOVE_ACTOR).I32(ratId));
    EXPECT_EQ(TvFindActor(ratId), nullptr);
}

TEST_F(ServerOrdersUnits, APlayerCommandsOnlyTheUnitsOfItsOwnTeam) {
    const plat::DpId first = TwoPlayers();
    const plat::DpId second = TvGetPlayer(1)->Id;
    const Vector3 there{9, 0, 9};
    const auto moving = [&](int32_t id) -> ClientRecord {
        return std::move(ClientRecord(MSG_UNIT_PLACED)
                             .I32(id)
                             .F32(NowSeconds())
                             .Point(there)
                             .Quat({0, 0, 0, 1})
                             .F32(0)
                             .F32(0)
                             .F32(0)
                             .I32(0));
    };
    const uint64_t dropped = ClientRecordDropCount();
    // The second player (team 3) orders team 1's units; the first orders team 2's.
    Dispatch(ClientRecord(MSG_QUEUE_TOGGLE_STANCE).I32(unit->Id), second);
    Dispatch(moving(unit->Id), second);
    Dispatch(ClientRecord(MSG_ATTACK_ACTOR).I32(enemy->Id).F32(NowSeconds()).I32(bot->Id), first);
    Dispatch(ClientRecord(MSG_GROUP_ORDER).F32(NowSeconds()).I32(0).I32(-1).Ids(std::vector<int32_t>{unit->Id}),
             second);
    Dispatch(ClientRecord(MSG_DETONATE_TEAM_MINES).I32(2), first);
    Dispatch(
        ClientRecord(MSG_UNIT_PLACED).I32(unit->Id).F32(0).Point(there).Quat({0, 0, 0, 1}).F32(0).F32(0).F32(0).I32(0),
        0x7777);
    EXPECT_EQ(ClientRecordDropCount(), dropped + 6);
    EXPECT_TRUE(unit->Orders.IsEmpty());
    EXPECT_FALSE(unit->AtRestUnderControl);
    EXPECT_NE(unit->Position.x, there.x);
    EXPECT_FALSE(enemy->Attacking);
    EXPECT_EQ(unit->PathState, PS_NONE);

    // Its own player's orders are carried out.
    Dispatch(ClientRecord(MSG_QUEUE_TOGGLE_STANCE).I32(unit->Id), first);
    Dispatch(moving(unit->Id), first);
    EXPECT_FALSE(unit->Orders.IsEmpty());
    EXPECT_TRUE(unit->AtRestUnderControl);
    EXPECT_EQ(unit->Position.x, there.x);
    EXPECT_EQ(ClientRecordDropCount(), dropped + 6);
}

TEST_F(ServerOrdersUnits, InSinglePlayerThePlayerCommandsEveryTeam) {
    Dispatch(ClientRecord(MSG_ATTACK_POINT).I32(enemy->Id).F32(NowSeconds()).Point({1, 0, 1}));
    EXPECT_TRUE(enemy->Attacking);
}

TEST_F(ServerOrdersUnits, DirectControlMovesTheUnitAndItsMoverOntoTheFloorBelow) {
    ASSERT_NE(unit->Mover, nullptr);
    CollisionPolygon* before = unit->Mover->floor;
    ASSERT_NE(before, nullptr);
    before->flags |= kPolygonUnitMarks;
    const Vector3 there{15, 0, 15};
    Dispatch(ClientRecord(MSG_UNIT_MOVING)
                 .I32(unit->Id)
                 .F32(NowSeconds())
                 .Point(there)
                 .Quat({0, 0, 0, 1})
                 .F32(0.5f)
                 .F32(0)
                 .F32(0.25f)
                 .I32(0));
    EXPECT_EQ(unit->Position.x, there.x);
    EXPECT_EQ(unit->Mover->velocity.x, 0.5f);
    EXPECT_EQ(unit->Mover->velocity.z, 0.25f);
    EXPECT_EQ(unit->Mover->floor, FloorAt(15, 15));
    EXPECT_EQ(unit->Mover->position.x, there.x);
    EXPECT_EQ(before->flags & kPolygonUnitMarks, 0u);
    EXPECT_FALSE(unit->AtRestUnderControl);
}

TEST_F(ServerOrdersUnits, ItemOrdersReachTheUnit) {
    Dispatch(ClientRecord(MSG_QUEUE_USE_ITEM).I32(unit->Id).I32(42));
    Dispatch(ClientRecord(MSG_QUEUE_EQUIP_ITEM).I32(unit->Id).I32(42).I32(3));
    Dispatch(ClientRecord(MSG_QUEUE_HEAD_FOR).I32(unit->Id).I32(bot->Id).I32(42).F32(NowSeconds()).I32(-1));
    ASSERT_EQ(unit->Orders.Count(), 3);
    EXPECT_EQ((*unit->Orders.At(1))->Role, 3);
    EXPECT_EQ((*unit->Orders.At(2))->TargetId, bot->Id);
    EXPECT_EQ((*unit->Orders.At(2))->GiveCount, -1);
    // The same equip queued again cancels it.
    Dispatch(ClientRecord(MSG_QUEUE_EQUIP_ITEM).I32(unit->Id).I32(42).I32(3));
    EXPECT_EQ(unit->Orders.Back()->Type, kOrderRemove);

    // Walking to hand an item over: the receiver becomes the follow target.
    Dispatch(ClientRecord(MSG_HEAD_FOR).I32(unit->Id).I32(bot->Id).I32(42).F32(NowSeconds() + 1).I32(2));
    EXPECT_EQ(unit->AiTarget, bot);
    EXPECT_EQ(unit->TargetId, 42);
    EXPECT_EQ(unit->GiveCount, 2);
    EXPECT_EQ(unit->GoalPolygon, bot->GetFloorPolygon());
    const uint64_t dropped = ClientRecordDropCount();
    Dispatch(ClientRecord(MSG_HEAD_FOR).I32(unit->Id).I32(bot->Id).I32(42).F32(NowSeconds() + 1).I32(-2));
    EXPECT_EQ(ClientRecordDropCount(), dropped + 1) << "a count below -1";
}

} // namespace
