#include "Tv/server/client_link.h"

#include <algorithm>
#include <cstring>

#include "Awapi/aw3d/aw_hooks.h"
#include "Tv/client/client_objects.h"
#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/level_start.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/message_recorder.h"
#include "Tv/server/message_types.h"
#include "Tv/server/receive_message.h"
#include "Tv/server/server.h"
#include "Tv/server/server_message_dispatch.h"
#include "Tv/server/shell_state.h"
#include "core/clock.h"
#include "core/log.h"
#include "platform/threads.h"

ClientLinkState ClientLink;
float ClientBaseSpeed = 1.0f;
float ClockCorrection = 1.0f;
uint8_t LobbyTextShown = 0;

namespace {

constexpr uint32_t kSendQueueLimit = 29;    // waiting sends from which the unguaranteed are shed
constexpr uint32_t kFrameMessageLimit = 50; // DirectPlay messages dispatched per frame
constexpr uint32_t kUnguaranteedTimeoutMs = 10'000;
constexpr float kTimeReportInterval = 2.0f; // RealClock seconds
constexpr float kGoGiveUpSeconds = 120.0f;
constexpr float kGoResendSeconds = 15.0f;
constexpr int32_t kEmptyReceivesPerCheck = 10;

// A ring of the newest kRemovedProjectileIdLimit ids.
int32_t removedIds[kRemovedProjectileIdLimit];
int32_t removedFirst = 0;
int32_t removedCount = 0;

float lastTimeReport = 0.0f;

bool Multiplayer() { return ClientLink.DirectPlay != nullptr; }

// A plain DirectPlay send to the server player (the handshake's messages).
bool SendPlain(int32_t type, bool guaranteed) {
    const std::vector<uint8_t> m = ClientRecord(type).Bytes();
    const plat::HResult result =
        ClientLink.DirectPlay->Send(ClientLink.PlayerId, plat::kDpIdServerPlayer,
                                    guaranteed ? plat::kDpSendGuaranteed : 0, m.data(), static_cast<uint32_t>(m.size()));
    if (result != plat::kDpOk) {
        AwReportError(result);
        return false;
    }
    RecordMessage(MessageDirection::ClientSend, m.data(), static_cast<uint32_t>(m.size()));
    return true;
}

// The number of messages waiting in the session's queues (kDpMessageQueue*
// flag); false when DirectPlay fails.
bool WaitingMessages(uint32_t flag, uint32_t& count) {
    count = 0;
    const plat::HResult result = ClientLink.DirectPlay->GetMessageQueue(0, 0, flag, &count, nullptr);
    if (result == plat::kDpOk) return true;
    AwReportError(result);
    return false;
}

void StartLevelClock() {
    GameClock.SetSeconds(LevelStartTime);
    StartAllClientObjects();
}

// One received record: only the server player's are applied in multiplayer;
// the briefing applies only the session settings and discards the rest.
void Dispatch(const MessageBuffer& message, plat::DpId from, bool briefing) {
    if (Multiplayer() && from != plat::kDpIdServerPlayer) {
        if (from == plat::kDpIdSystem) return; // DirectPlay's own notices
        LogPrintf("client: record of type %d from player %u dropped: not the server\n", message.Type(), from);
        RecordClientDrop(message.Data(), message.Size(), "not from the server");
        return;
    }
    if (!briefing)
        TvHandleServerMessage(message.Data(), message.Size());
    else if (message.Type() == MSG_SETTINGS_AND_STATS)
        TvApplySessionSettings(message.Data(), message.Size());
}

bool Poll(bool briefing) {
    bool ok = true;
    if (!Multiplayer()) {
        TvWakeServer();
        while (MessageBuffer message = ServerToClientQueue.Pop()) Dispatch(message, plat::kDpIdServerPlayer, briefing);
    } else {
        uint32_t limit = UINT32_MAX;
        if (!briefing) ok = WaitingMessages(plat::kDpMessageQueueReceive, limit);
        if (!briefing) limit = std::min(limit, kFrameMessageLimit);
        for (uint32_t taken = 0; ok && taken < limit; ++taken) {
            plat::DpId from = 0;
            const MessageBuffer message = TvReceiveMessage(ok, from, ClientLink.DirectPlay, ClientLink.PlayerId);
            if (!message) break;
            Dispatch(message, from, briefing);
        }
    }
    UpdateAllClientObjects(GameClock.GetTime(), GameClock.GetSeconds());
    if (CurrentGameState == kGameStatePlay) TvSendTimeReport();
    return ok;
}

bool SendLobbyRequest(int32_t type, int32_t player) { return TvSendClientRecord(ClientRecord(type).I32(player)); }

} // namespace

void TvRememberRemovedProjectile(int32_t id) {
    if (removedCount == kRemovedProjectileIdLimit) {
        removedFirst = (removedFirst + 1) % kRemovedProjectileIdLimit;
        --removedCount;
    }
    removedIds[(removedFirst + removedCount) % kRemovedProjectileIdLimit] = id;
    ++removedCount;
}

bool TvIsRemovedProjectile(int32_t id) {
    for (int32_t i = 0; i < removedCount; ++i)
        if (removedIds[(removedFirst + i) % kRemovedProjectileIdLimit] == id) return true;
    return false;
}

int32_t TvRemovedProjectileCount() { return removedCount; }

void TvForgetRemovedProjectiles() { removedFirst = removedCount = 0; }

bool TvAttachClient(plat::DirectPlay* directPlay, plat::DpId playerId) {
    if (ClientLink.Attached) return false;
    ClientLink.DirectPlay = directPlay;
    ClientLink.PlayerId = playerId;
    if (directPlay)
        directPlay->AddRef();
    else
        ClientToServerQueue.Clear();
    ClientLink.Attached = true;
    lastTimeReport = 0.0f;
    return true;
}

void TvDetachClient() {
    TvClearClientObjects();
    if (ClientLink.DirectPlay) ClientLink.DirectPlay->Release();
    ClientLink.DirectPlay = nullptr;
    ClientLink.Attached = false;
    ClientToServerQueue.Clear();
}

bool TvIsClientAttached() { return ClientLink.Attached; }

void TvClearClientObjects() {
    ReleaseAllClientObjects();
    TvClearSelection();
}

bool TvSendToServer(const void* message, uint32_t size, bool guaranteed) {
    if (!Multiplayer()) {
        ClientToServerQueue.Push(message, size);
        RecordMessage(MessageDirection::ClientSend, message, size);
        return true;
    }
    uint32_t waiting = 0;
    if (!WaitingMessages(plat::kDpMessageQueueSend, waiting)) return false;
    if (waiting >= kSendQueueLimit && !guaranteed) {
        RecordClientDrop(message, size, "send queue full");
        return true;
    }
    const plat::HResult result = ClientLink.DirectPlay->SendEx(
        ClientLink.PlayerId, plat::kDpIdServerPlayer, plat::kDpSendAsync | (guaranteed ? plat::kDpSendGuaranteed : 0),
        message, size, guaranteed ? 1 : 0, guaranteed ? 0 : kUnguaranteedTimeoutMs, nullptr, nullptr);
    if (result != plat::kDpOk && result != plat::kDpErrPending) {
        AwReportError(result);
        return false;
    }
    RecordMessage(MessageDirection::ClientSend, message, size);
    return true;
}

bool TvPollServerMessages() { return Poll(false); }

bool TvPollBriefingMessages() { return Poll(true); }

bool TvClientReady() {
    if (!Multiplayer()) return true;
    TvForgetRemovedProjectiles();
    return SendPlain(MSG_READY, true);
}

bool TvWaitForGo() {
    if (!Multiplayer()) {
        ClientBaseSpeed = 1.0f;
        GameClock.SetSpeed(1.0f);
        StartLevelClock();
        return true;
    }
    const float now = RealClock.GetSeconds();
    const float giveUp = now + kGoGiveUpSeconds;
    const float resend = now + kGoResendSeconds;
    int32_t emptyReceives = 0;
    for (;;) {
        plat::Sleep(0);
        bool ok = true;
        plat::DpId from = 0;
        const MessageBuffer message = TvReceiveMessage(ok, from, ClientLink.DirectPlay, ClientLink.PlayerId);
        if (message) {
            const int32_t type = message.Type();
            if (from == plat::kDpIdSystem) {
                if (type == plat::kDpSysSessionLost) return false;
            } else if (from == plat::kDpIdServerPlayer && type == MSG_GO) {
                ClientBaseSpeed = 1.0f;
                GameClock.SetSpeed(ClockCorrection);
                StartLevelClock();
                return true;
            } else if (from == plat::kDpIdServerPlayer && type == MSG_ARE_YOU_READY) {
                if (!SendPlain(MSG_READY, false)) return false;
            }
            continue;
        }
        if (!ok) return false;
        if (++emptyReceives < kEmptyReceivesPerCheck) continue;
        emptyReceives = 0;
        const float time = RealClock.GetSeconds();
        if (time > giveUp) return false;
        if (time > resend && !SendPlain(MSG_WAITING_FOR_GO, true)) return false;
    }
}

void TvSendTimeReport() {
    if (!Multiplayer() || CutsceneActive) return;
    const float now = RealClock.GetSeconds();
    if (now - lastTimeReport < kTimeReportInterval && now >= lastTimeReport) return;
    lastTimeReport = now;
    TvSendClientRecord(ClientRecord(MSG_TIME_REPORT).F32(GameClock.GetSeconds()));
}

void TvApplyClientClockSpeed() {
    GameClock.SetSpeed(Multiplayer() ? ClientBaseSpeed * ClockCorrection : ClientBaseSpeed);
}

bool TvSendChat(const char* text) {
    const std::string_view chat(text ? text : "", text ? strnlen(text, kClientTextBytes) : 0);
    return TvSendClientRecord(ClientRecord(MSG_CHAT).Text(chat));
}

bool TvSendPlayerOption(int32_t slot, int32_t player, int32_t value) {
    return TvSendClientRecord(ClientRecord(MSG_PLAYER_OPTION).I32(player).I32(slot).I32(value));
}

bool TvSendCycleLobbyChoice(int32_t player) { return SendLobbyRequest(MSG_CYCLE_LOBBY_CHOICE, player); }

bool TvSendPlayerReady(int32_t player) { return SendLobbyRequest(MSG_PLAYER_READY, player); }

bool TvSendPlayerNotReady(int32_t player) { return SendLobbyRequest(MSG_PLAYER_NOT_READY, player); }
