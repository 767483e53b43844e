// The player's attack orders for a bot (slots 73 to 79), sent to the server
// not guaranteed, and the shown orders of the bot's kinds (slots 93 to 95).
#include "Tv/client/client_bot.h"
#include "Tv/client/weapons.h"
#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/message_types.h"
#include "core/clock.h"

bool AlternateFireHeld = false;

namespace {

// The order's record: the bot, the GameClock time and what it aims at.
template <class Aim> void SendBotOrder(int32_t type, const ClientBot& bot, Aim aim) {
    ClientRecord record(type);
    record.I32(bot.Id).F32(GameClock.GetSeconds());
    aim(record);
    TvSendClientRecord(record);
}

void SendPointOrder(int32_t type, const ClientBot& bot, const Vector3& point) {
    SendBotOrder(type, bot, [&](ClientRecord& record) { record.Point(point); });
}

void SendObjectOrder(int32_t type, const ClientBot& bot, const ClientObject* target) {
    SendBotOrder(type, bot, [&](ClientRecord& record) { record.I32(target ? target->Id : -1); });
}

} // namespace

void ClientBot::SendAttackObject(ClientObject* target) {
    const bool alternate = AlternateFireHeld;
    ShownOrders.Clear();
    SendObjectOrder(alternate ? MSG_ATTACK_ACTOR_ALT : MSG_ATTACK_ACTOR, *this, target);
    SetShotSpeed(alternate, false);
}

void ClientBot::SendAttackPoint(const Vector3& point) {
    const bool alternate = AlternateFireHeld;
    ShownOrders.Clear();
    SendPointOrder(alternate ? MSG_ATTACK_POINT_ALT : MSG_ATTACK_POINT, *this, point);
    SetShotSpeed(alternate, false);
}

void ClientBot::SendCeaseFire() {
    SendBotOrder(MSG_CEASE_FIRE, *this, [](ClientRecord&) {});
}

void ClientBot::SendQueuedAttackPoint(const Vector3& point) {
    const bool alternate = AlternateFireHeld;
    UnitHookC(point, alternate);
    SendPointOrder(alternate ? MSG_QUEUE_ATTACK_POINT_ALT : MSG_QUEUE_ATTACK_POINT, *this, point);
}

void ClientBot::SendQueuedAttackObject(ClientObject* target) {
    const bool alternate = AlternateFireHeld;
    UnitHookD(target ? target->Id : -1, alternate);
    SendObjectOrder(alternate ? MSG_QUEUE_ATTACK_ACTOR_ALT : MSG_QUEUE_ATTACK_ACTOR, *this, target);
}

void ClientBot::SendLaunchDecoy(const Vector3& point) {
    ShownOrders.Clear();
    SendPointOrder(MSG_LAUNCH_DECOY, *this, point);
}

void ClientBot::QueueSelectAmmo(int32_t ammoType) {
    ShownOrder order;
    order.Type = kShownSelectAmmo;
    order.Key = ammoType;
    ShownOrders.Append(order);
}

void ClientBot::UnitHookC(const Vector3& point, bool alternate) {
    ShownOrder order;
    order.Type = kShownAttackPoint;
    order.Position = point;
    order.LastValue = alternate;
    ShownOrders.Append(order);
}

void ClientBot::UnitHookD(int32_t targetId, bool alternate) {
    ShownOrder order;
    order.Type = kShownAttackTarget;
    order.TargetId = targetId;
    order.LastValue = alternate;
    ShownOrders.Append(order);
}
