#pragma once
// Game messages the server actors send about themselves (beside the server
// core's, message_types.h), and the start every one of them shares: the
// type, then the actor's id (32-bit each).

#include <cstdint>

#include "Tv/server/message_types.h"
#include "core/bytes.h"

constexpr int32_t kMsgDamageReport = 55;         // 20: id, strength, shield, armour
constexpr int32_t kMsgNanofragDamage = 56;       // 20: as 55, for a nanofrag blast
constexpr int32_t kMsgProjectileImpact = 71;     // 29: id, victim id, time, point, killed byte
constexpr int32_t kMsgUnitWalkTo = 57;           // 80: id, motion state, point walked to, final target
constexpr int32_t kMsgUnitAtRest = 59;           // 56: id, motion state
constexpr int32_t kMsgUnitStopped = 60;          // 56: id, motion state
constexpr int32_t kMsgUnitWalking = 61;          // 56: id, motion state
constexpr int32_t kMsgUnitCrouched = 76;         // 9: id, concealed byte
constexpr int32_t kMsgUnitStoodUp = 78;          // 9: id, concealed byte
constexpr int32_t kMsgActorLevel = 85;           // 12: id, level
constexpr int32_t kMsgActorStunned = 86;         // 16: id, start, end
constexpr int32_t kMsgActorStunEnded = 87;       // 8: id
constexpr int32_t kMsgActorConverted = 88;       // 20: id, team, start, end
constexpr int32_t kMsgActorConversionEnded = 89; // 8: id
constexpr int32_t kMsgUnitWalkingSpeed = 95;     // 60: id, change, motion state
constexpr int32_t kMsgHoldReleased = 102;        // 8: id
constexpr int32_t kMsgActorExploded = 107;       // 12: id, blast id (-1 none)
constexpr int32_t kMsgActorPose = 111;           // 40: id, seconds, position, orientation
constexpr int32_t kMsgActorCue = 116;            // 12: sound cue, then the actor id
constexpr int32_t kMsgPickupScriptRun = 117;     // 8: pickup id
constexpr int32_t kMsgItemTakenOff = 128;        // 12: id, item key
constexpr int32_t kMsgPickupScriptSet = 132;     // 8: pickup id
constexpr int32_t kMsgPickupTaken = 133;         // 8: pickup id
constexpr int32_t kMsgOrderDone = 134;           // 8: id
constexpr int32_t kMsgPickupScriptUsed = 140;    // 8: pickup id
constexpr int32_t kMsgPickupBack = 150;          // 8: pickup id
constexpr int32_t kMsgPlayerText = 179;          // 8 + text: unit id, text with its terminator
constexpr int32_t kMsgHeapContents = 185;        // 12: id, definition id
constexpr int32_t kMsgActorSequence = 186;       // 12: id, sequence

// The computer opponent's team: converted actors return to it.
constexpr int32_t kComputerTeam = 2;

inline ByteWriter ActorMessage(int32_t type, int32_t actorId) {
    ByteWriter message;
    message.I32(type);
    message.I32(actorId);
    return message;
}

inline ByteWriter OwnerChangedMessage(int32_t actorId, int32_t team) {
    ByteWriter message = ActorMessage(MSG_OWNER_CHANGED, actorId);
    message.I32(team);
    return message;
}
