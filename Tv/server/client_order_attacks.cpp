#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/client_order_access.h"
#include "Tv/server/client_order_handlers.h"
#include "Tv/server/message_types.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_bot.h"

namespace {

constexpr int32_t kLastAmmoType = 18;

bool IsAlternative(int32_t type) {
    return type == MSG_ATTACK_POINT_ALT || type == MSG_ATTACK_ACTOR_ALT || type == MSG_QUEUE_ATTACK_POINT_ALT ||
           type == MSG_QUEUE_ATTACK_ACTOR_ALT;
}

const char* AttackPoint(ServerBot& bot, ClientRecordReader& in) {
    const float time = in.F32();
    const Vector3 point = in.Point();
    const int32_t type = in.Type();
    switch (type) {
    case MSG_ATTACK_POINT:
    case MSG_ATTACK_POINT_ALT:
        bot.AttackPoint(point, time, 0, IsAlternative(type));
        bot.ClearOrders();
        break;
    case MSG_QUEUE_ATTACK_POINT:
    case MSG_QUEUE_ATTACK_POINT_ALT: bot.QueueAttackPoint(point, IsAlternative(type)); break;
    case MSG_LAUNCH_DECOY: bot.LaunchDecoy(point); break;
    default: break;
    }
    return nullptr;
}

const char* AttackActor(ServerBot& bot, ClientRecordReader& in) {
    const float time = in.F32();
    const int32_t targetId = in.I32();
    const int32_t type = in.Type();
    if (type == MSG_ATTACK_ACTOR || type == MSG_ATTACK_ACTOR_ALT) {
        bot.AttackTarget(TvFindActor(targetId), time, 0, IsAlternative(type));
        bot.ClearOrders();
    } else {
        bot.QueueAttackTarget(targetId, IsAlternative(type));
    }
    return nullptr;
}

const char* CeaseFire(ServerBot& bot, ClientRecordReader& in) {
    bot.StopAttacking(in.F32());
    return nullptr;
}

const char* SelectAmmo(ServerBot& bot, ClientRecordReader& in) {
    const int32_t ammoType = in.I32();
    if (ammoType < 0 || ammoType > kLastAmmoType) return "ammunition type out of range";
    if (in.Type() == MSG_SELECT_AMMO)
        bot.SetAmmoType(ammoType);
    else
        bot.QueueSetAmmo(ammoType);
    return nullptr;
}

} // namespace

DrainStep HandleAttackPoint(plat::DpId sender, const uint8_t* record, uint32_t size) {
    return RunBotOrder(sender, record, size, AttackPoint);
}

DrainStep HandleAttackActor(plat::DpId sender, const uint8_t* record, uint32_t size) {
    return RunBotOrder(sender, record, size, AttackActor);
}

DrainStep HandleCeaseFire(plat::DpId sender, const uint8_t* record, uint32_t size) {
    return RunBotOrder(sender, record, size, CeaseFire);
}

DrainStep HandleSelectAmmo(plat::DpId sender, const uint8_t* record, uint32_t size) {
    return RunBotOrder(sender, record, size, SelectAmmo);
}
