#include "Tv/server/senders.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/message_recorder.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server_state.h"
#include "Tv/server/session_players.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "core/random.h"

namespace {

constexpr uint32_t kRefreshAfterSends = 20;
constexpr uint32_t kThrottleLimit = 20; // minus NetDetailLevel: the count from which unguaranteed messages wait
constexpr uint32_t kDropLimit = 25;     // minus NetDetailLevel: the count from which they are dropped
constexpr uint32_t kUnguaranteedTimeoutMs = 3000;
constexpr float kCullRadius[10] = {120, 110, 100, 90, 80, 70, 60, 50, 40, 30};

uint32_t DetailLevel() {
    const int32_t level = UserMatchSettings.NetDetailLevel;
    return level < 0 ? 0 : level > 9 ? 9 : static_cast<uint32_t>(level);
}

bool Reported(plat::HResult result) {
    if (result == plat::kDpOk || result == plat::kDpErrPending) return true;
    AwReportError(result);
    return false;
}

// One message queued for the local client.
bool QueueForClient(const void* message, uint32_t size) {
    ServerToClientQueue.Push(message, size);
    return true;
}

bool SendEx(plat::DpId to, const void* message, uint32_t size, bool guaranteed) {
    const uint32_t flags = plat::kDpSendAsync | (guaranteed ? plat::kDpSendGuaranteed : 0);
    return Reported(ServerDirectPlay->SendEx(plat::kDpIdServerPlayer, to, flags, message, size, guaranteed ? 1 : 0,
                                             guaranteed ? 0 : kUnguaranteedTimeoutMs, nullptr, nullptr));
}

bool Send(plat::DpId to, const void* message, uint32_t size, bool guaranteed) {
    return Reported(
        ServerDirectPlay->Send(plat::kDpIdServerPlayer, to, guaranteed ? plat::kDpSendGuaranteed : 0, message, size));
}

// The count of messages DirectPlay holds for a player, or `fallback` when it cannot tell.
uint32_t AskQueueCount(plat::DpId id, uint32_t fallback) {
    uint32_t messages = fallback;
    Reported(
        ServerDirectPlay->GetMessageQueue(plat::kDpIdServerPlayer, id, plat::kDpMessageQueueSend, &messages, nullptr));
    return messages;
}

void RefreshCountsIfDue() {
    if (++SendCounter > kRefreshAfterSends) TvRefreshPlayerQueueCounts();
}

bool ActorOfTeamWithin(int32_t team, const Vector3& position, float radius) {
    const List<ServerObject*>* list = TeamActorListOf(team);
    if (!list) return false;
    for (const ServerObject* actor : *list) {
        const Vector3 d = actor->Position - position;
        if (Dot(d, d) < radius * radius) return true;
    }
    return false;
}

bool IsNoPosition(const Vector3& p) { return p.x == 0.0f && p.y == 0.0f && p.z == 0.0f; }

bool Broadcast(const void* message, uint32_t size, bool guaranteed, const Vector3& position) {
    if (!ServerDirectPlay) return QueueForClient(message, size);
    RefreshCountsIfDue();
    const uint32_t level = DetailLevel();
    SessionPlayerReadLock hold;
    const int32_t count = static_cast<int32_t>(TvGetPlayerCount());
    for (int32_t i = 0; i < count && i < kMaxSessionPlayers; ++i) {
        const bool inRange = IsNoPosition(position) || i == count - 1 ||
                             ActorOfTeamWithin(PlayerSlotOfIndex(i), position, kCullRadius[level]);
        if (!inRange) continue;
        const uint32_t c = ++PlayerQueueCounts[i];
        const bool send = guaranteed || c < kThrottleLimit - level || (c < kDropLimit - level && TvRandom() % 10 == 1);
        if (send) SendEx(TvGetPlayer(i)->Id, message, size, guaranteed);
    }
    return true;
}

// The one-player throttle on the count of ServerPlayerList record `index`.
bool SendToPlayer(int32_t index, const void* message, uint32_t size, bool guaranteed) {
    if (!ServerDirectPlay || index < 0 || index >= ServerPlayerList.Count() || index >= kMaxSessionPlayers)
        return false;
    RefreshCountsIfDue();
    const uint32_t c = ++PlayerQueueCounts[index];
    if (!guaranteed && c >= kThrottleLimit - DetailLevel()) return true;
    int32_t i = 0;
    for (const SessionPlayer* player : ServerPlayerList)
        if (i++ == index) return SendEx(player->Id, message, size, guaranteed);
    return false;
}

bool SendToTeamPlayer(int32_t team, const void* message, uint32_t size, bool guaranteed) {
    if (!ServerDirectPlay) return Broadcast(message, size, guaranteed, kNoPosition);
    const int32_t index = TvPlayerIndexForSlot(team);
    return index < 0 || SendToPlayer(index, message, size, guaranteed);
}

} // namespace

void TvRefreshPlayerQueueCounts() {
    if (!ServerDirectPlay) return;
    SessionPlayerReadLock hold;
    const int32_t count = static_cast<int32_t>(TvGetPlayerCount());
    for (int32_t i = 0; i < count && i < kMaxSessionPlayers; ++i)
        PlayerQueueCounts[i] = AskQueueCount(TvGetPlayer(i)->Id, PlayerQueueCounts[i]);
    SendCounter = 0;
}

bool TvBroadcast(const void* message, uint32_t size, bool guaranteed, const Vector3& position) {
    RecordMessage(MessageDirection::ServerToClient, message, size);
    return Broadcast(message, size, guaranteed, position);
}

bool TvSendToId(plat::DpId to, const void* message, uint32_t size, bool guaranteed) {
    RecordMessage(MessageDirection::ServerToClient, message, size);
    if (!ServerDirectPlay) return QueueForClient(message, size);
    return Send(to, message, size, guaranteed);
}

bool TvSendToAll(const void* message, uint32_t size, bool guaranteed) {
    return TvSendToId(plat::kDpIdAllPlayers, message, size, guaranteed);
}

bool TvSendToPlayer(int32_t index, const void* message, uint32_t size, bool guaranteed) {
    RecordMessage(MessageDirection::ServerToClient, message, size);
    return SendToPlayer(index, message, size, guaranteed);
}

bool TvSendToPlayerId(plat::DpId id, const void* message, uint32_t size, bool guaranteed) {
    RecordMessage(MessageDirection::ServerToClient, message, size);
    if (!ServerDirectPlay) return QueueForClient(message, size);
    const uint32_t c = AskQueueCount(id, 0);
    RefreshCountsIfDue();
    if (!guaranteed && c >= kThrottleLimit - DetailLevel()) return true;
    return SendEx(id, message, size, guaranteed);
}

bool TvSendToSessionPlayer(int32_t index, const void* message, uint32_t size, bool guaranteed) {
    RecordMessage(MessageDirection::ServerToClient, message, size);
    if (!ServerDirectPlay) return QueueForClient(message, size);
    plat::DpId id;
    {
        SessionPlayerReadLock hold;
        const SessionPlayer* player = TvGetPlayer(index);
        if (!player) return false;
        id = player->Id;
    }
    return Send(id, message, size, guaranteed);
}

bool TvSendToTeamPlayer(int32_t team, const void* message, uint32_t size, bool guaranteed) {
    RecordMessage(MessageDirection::ServerToClient, message, size);
    return SendToTeamPlayer(team, message, size, guaranteed);
}

bool TvSendToOwner(int32_t actorId) {
    ByteWriter message;
    message.I32(MSG_OWNER_NOTICE);
    message.I32(actorId);
    const uint8_t* bytes = message.bytes().data();
    const auto size = static_cast<uint32_t>(message.size());
    RecordMessage(MessageDirection::ServerToClient, bytes, size);
    if (!ServerDirectPlay) return QueueForClient(bytes, size);
    const ServerObject* actor = TvFindActor(actorId);
    if (ServerPlayerList.IsEmpty() || !actor) return false;
    const int32_t gameType = CurrentGameType;
    const int32_t index = gameType == kGameStory || gameType > kGameCaptureTheFlag ? 1
                          : actor->Team == 1                                       ? 0
                                                                                   : actor->Team - 2;
    return SendToPlayer(index, bytes, size, true);
}

bool TvSendPlayerNotice(int32_t team, int16_t stringId) {
    ByteWriter message;
    message.I32(MSG_PLAYER_NOTICE);
    message.I16(stringId);
    return TvSendToTeamPlayer(team, message, false);
}

bool TvSendPlayerSound(int32_t team, uint8_t cue) {
    ByteWriter message;
    message.I32(MSG_PLAYER_CUE);
    message.U8(cue);
    return TvSendToTeamPlayer(team, message, false);
}

bool TvBroadcastType(int32_t type, bool guaranteed) {
    ByteWriter message;
    message.I32(type);
    return TvBroadcast(message, guaranteed);
}
