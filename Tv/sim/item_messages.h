#pragma once
// Game messages about the items units carry, use, lay, hand over, drop and
// collect (beside actor_messages.h). Each starts with the type and the
// acting unit's id, except 114 and 142, which carry a cue or a notice only.

#include <cstdint>

#include "Tv/sim/actor_messages.h"
#include "core/bytes.h"
#include "core/maths.h"

constexpr int32_t kMsgUnitSequence = 79;          // 25: id, sequence, kind, seconds, repeat, flag byte
constexpr int32_t kMsgMineLayingBegun = 83;       // 16: id, start, end (GameClock seconds)
constexpr int32_t kMsgMineLayingCancelled = 84;   // 8: id
constexpr int32_t kMsgRefusalCue = 114;           // 8: cue
constexpr int32_t MSG_PICKUP_COLLECTED = 118;     // 24: id, kind, pickup definition id, item id, count
constexpr int32_t kMsgPickupCollectedQuiet = 119; // as 118, without the announcement
constexpr int32_t MSG_INVENTORY_FULL = 120;       // 12: id, kind
constexpr int32_t MSG_ITEM_EQUIPPED = 121;        // 16: id, slot, item key
constexpr int32_t kMsgItemEquippedQuiet = 122;    // as 121, without the notice
constexpr int32_t MSG_ITEM_USED = 123;            // 12: id, item key
constexpr int32_t kMsgItemUsedQuiet = 124;        // as 123, without the notice
constexpr int32_t MSG_ITEM_DROPPED = 125;         // 12: id, item key
constexpr int32_t kMsgMineLayerUsedUp = 126;      // 12: id, item key
constexpr int32_t kMsgMineLaid = 127;             // 16: id, item key, mines left
constexpr int32_t kMsgItemGiven = 129;            // 24: giver, receiver, item key, count (-1 whole), item id
constexpr int32_t kMsgPlayerMineNotice = 142;     // 8: notice string id
constexpr int32_t kMsgDisguiseBegun = 157;        // 20: id, imitated definition id, start, end
constexpr int32_t kMsgCloakBegun = 158;           // 16: id, start, end
constexpr int32_t MSG_PICKUP_COUNT = 163;         // 12: pickup id, count

// Sequence kinds of message 79: the mine layer's kneeling and standing, a pick-up.
constexpr int32_t kSequenceKindItemAction = 16;
constexpr int32_t kSequenceKindPickup = 8;

// Message 79: the unit plays a sequence (the clients play it in step).
inline ByteWriter UnitSequenceMessage(int32_t unitId, int32_t sequence, int32_t kind, Real seconds, int32_t repeat,
                                      uint8_t flag) {
    ByteWriter message = ActorMessage(kMsgUnitSequence, unitId);
    message.I32(sequence);
    message.I32(kind);
    message.F32(seconds);
    message.I32(repeat);
    message.U8(flag);
    return message;
}
