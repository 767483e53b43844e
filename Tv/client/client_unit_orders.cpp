// The player's orders about one unit, sent to the server, and the shown copy
// of its order queue. Queued orders are shown here until the server reports
// them carried out.
#include "Tv/client/client_unit.h"
#include "Tv/client/teamtable.h"
#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/message_types.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"

namespace {

constexpr int32_t kOrderModeFirst = 4;
constexpr int32_t kOrderModeLast = 6;
constexpr int32_t kStandingToggle = 3;
constexpr int32_t kFormationLast = 2;
constexpr int32_t kNoMountSlot = -1; // a removal names no slot, so it cancels no pending equip

// {type, unit id, value}: the item and ammunition orders.
void SendUnitValue(int32_t type, int32_t unitId, int32_t value) {
    TvSendClientRecord(ClientRecord(type).I32(unitId).I32(value));
}

} // namespace

// ---- Orders to the server ----

void ClientUnit::SendEquipItem(int32_t itemKey, int32_t mountSlot, bool queued) {
    if (queued) ShownOrders.AppendEquip(itemKey, mountSlot);
    TvSendClientRecord(
        ClientRecord(queued ? MSG_QUEUE_EQUIP_ITEM : MSG_EQUIP_ITEM).I32(Id).I32(itemKey).I32(mountSlot));
}

void ClientUnit::SendUseItem(int32_t itemKey, bool queued) {
    if (queued) ShownOrders.Append(ShownOrder{.Type = kShownUse, .Key = itemKey});
    SendUnitValue(queued ? MSG_QUEUE_USE_ITEM : MSG_USE_ITEM, Id, itemKey);
}

void ClientUnit::SendDropItem(int32_t itemKey, bool queued) {
    if (queued) ShownOrders.Append(ShownOrder{.Type = kShownDrop, .Key = itemKey});
    SendUnitValue(queued ? MSG_QUEUE_DROP_ITEM : MSG_DROP_ITEM, Id, itemKey);
}

void ClientUnit::SendRemoveItem(int32_t itemKey, bool queued) {
    if (queued) ShownOrders.Append(ShownOrder{.Type = kShownRemove, .Key = itemKey, .Value = kNoMountSlot});
    SendUnitValue(queued ? MSG_QUEUE_REMOVE_ITEM : MSG_REMOVE_ITEM, Id, itemKey);
}

void ClientUnit::SendHeadFor(int32_t targetId, int32_t followValue, int32_t followMode, bool queued) {
    if (queued)
        ShownOrders.Append(
            ShownOrder{.Type = kShownHeadFor, .TargetId = followValue, .Key = targetId, .LastValue = followMode});
    TvSendClientRecord(ClientRecord(queued ? MSG_QUEUE_HEAD_FOR : MSG_HEAD_FOR)
                           .I32(Id)
                           .I32(targetId)
                           .I32(followValue)
                           .F32(GameClock.GetSeconds())
                           .I32(followMode));
}

void ClientUnit::SendStanceOrder(bool queued) {
    if (queued) ShownOrders.AppendStance(Position);
    TvSendClientRecord(ClientRecord(queued ? MSG_QUEUE_TOGGLE_STANCE : MSG_TOGGLE_STANCE).I32(Id));
}

void ClientUnit::SendStop() {
    ShownOrders.Clear();
    TvSendClientRecord(ClientRecord(MSG_STOP).I32(Id).F32(GameClock.GetSeconds()));
}

void ClientUnit::SendSelectAmmo(int32_t ammoType, bool queued) {
    if (queued) QueueSelectAmmo(ammoType);
    SendUnitValue(queued ? MSG_QUEUE_SELECT_AMMO : MSG_SELECT_AMMO, Id, ammoType);
}

void ClientUnit::SetStandingOrder(int32_t order) {
    SendUnitValue(MSG_STANDING_ORDER, Id, order);
    if (order >= 0 && order <= kFormationLast) {
        if (TeamRecord* team = TeamTable::GetTeam(Team)) team->Formation = order;
    } else if (order == kStandingToggle) {
        StandingFlag = !StandingFlag;
    } else if (order >= kOrderModeFirst && order <= kOrderModeLast) {
        OrderMode = order;
    }
}

void ClientUnit::SendDirectControlState(bool moving) {
    ClientMotionState state;
    GetControlState(state);
    state.Pose.Seconds = MoveSeconds[0] = MoveSeconds[1] = GameClock.GetSeconds();
    TvSendClientRecord(ClientRecord(moving ? MSG_UNIT_MOVING : MSG_UNIT_PLACED)
                           .I32(Id)
                           .F32(state.Pose.Seconds)
                           .Point(state.Pose.Position)
                           .Quat(state.Pose.Orientation)
                           .F32(state.Motion[0])
                           .F32(state.Motion[1])
                           .F32(state.Motion[2])
                           .I32(state.Animation));
}

// ---- The shown orders ----

void ClientUnit::ClearSelectValues() {
    ShownOrders.Clear();
    ClientObject::ClearSelectValues();
}

void ClientUnit::PushHoldOrder() {
    ShownOrders.PushHold(Position);
    Moving = 0;
}

void ClientUnit::ShowFollowOrder(CollisionPolygon* polygon, int32_t value) {
    if (!polygon) return; // the order needs a polygon's reference point
    ShownOrders.Append(ShownOrder{
        .Type = kShownMove, .TargetId = value, .Position = polygon->GetReferencePoint(), .Polygon = polygon});
}
