#pragma once
// Game messages of the armed bot and of a unit's damage and death (beside
// actor_messages.h). Each starts with the type and the actor's id.

#include <cstdint>

#include "core/bytes.h"

constexpr int32_t kMsgBotAttackOutOfRange = 30; // 16: id, seconds, target id
constexpr int32_t kMsgUnitDestroyed = 61;       // 56: id, motion state (a unit that explodes)
constexpr int32_t kMsgBotAttackPoint = 63;      // 24: id, seconds, point
constexpr int32_t kMsgBotLobPoint = 64;         // 24: id, seconds, point
constexpr int32_t kMsgBotAttackTarget = 65;     // 16: id, seconds, target id
constexpr int32_t kMsgBotLobTarget = 66;        // 16: id, seconds, target id
constexpr int32_t kMsgBotShotBlocked = 67;      // 8: id
constexpr int32_t kMsgBotStopAttacking = 68;    // 12: id, seconds
constexpr int32_t kMsgBotOneShotDone = 69;      // 8: id
constexpr int32_t kMsgUnitDied = 72;            // 56: id, motion state
constexpr int32_t kMsgBotBeamStarted = 81;      // 16: id, start, due
constexpr int32_t kMsgAiAlarmClear = 98;        // 8: id
constexpr int32_t kMsgBotAmmoType = 130;        // 12: id, ammo type
constexpr int32_t kMsgBotWeapon = 131;          // 12: id, weapon type
constexpr int32_t kMsgUnitSevered = 139;        // 16: id, new object id, sever point
constexpr int32_t kMsgBotDecoy = 146;           // 20: id, point
constexpr int32_t kMsgUnitDisabled = 151;       // 8: id
constexpr int32_t kMsgItemGone = 166;           // 12: id, item key (a worn shield or armour item used up)
constexpr int32_t kMsgShieldItemCount = 167;    // 16: id, item key, count left
constexpr int32_t kMsgArmourItemCount = 168;    // 16: id, item key, count left
constexpr int32_t kMsgTeamScores = 155;         // 8: scoring team

// The sound cue a player hears when a target is out of the gun's reach.
constexpr uint8_t kCueOutOfReach = 40;

// Message 155: a point for the team (a lead kill, a captured flag, a president home).
inline ByteWriter TeamScoresMessage(int32_t team) {
    ByteWriter message;
    message.I32(kMsgTeamScores);
    message.I32(team);
    return message;
}
