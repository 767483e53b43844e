#include "Tv/server/level_start.h"

#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server.h"
#include "Tv/server/server_state.h"
#include "core/clock.h"

float LevelStartTime = 0.0f;

namespace {

constexpr float kFirstAskSeconds = 15.0f;
constexpr float kAskAgainSeconds = 8.0f;

bool EveryPlayerReadyOrGone() {
    for (const SessionPlayer* player : ServerPlayerList)
        if (!player->Gone && !player->Ready) return false;
    return true;
}

// Message 5 to every player neither gone nor ready; false when a send fails.
bool AskWhoIsNotReady() {
    ByteWriter ask;
    ask.I32(MSG_ARE_YOU_READY);
    for (const SessionPlayer* player : ServerPlayerList)
        if (!player->Gone && !player->Ready && !TvSendToId(player->Id, ask, false)) return false;
    return true;
}

} // namespace

void TvClearPlayersReady() {
    ServerLockHold hold;
    for (SessionPlayer* player : ServerPlayerList) player->Ready = 0;
}

void TvClearPlayersGone() {
    for (SessionPlayer* player : ServerPlayerList) player->Gone = 0;
}

bool TvWaitForPlayersReady() {
    const bool multiplayer = ServerDirectPlay != nullptr;
    if (multiplayer) {
        float deadline = RealClock.GetSeconds() + kFirstAskSeconds;
        for (;;) {
            if (!TvCheckDroppedPlayers()) return false;
            if (EveryPlayerReadyOrGone()) break;
            if (RealClock.GetSeconds() > deadline) {
                if (!AskWhoIsNotReady()) return false;
                deadline = RealClock.GetSeconds() + kAskAgainSeconds;
            }
            plat::Sleep(0);
        }
    }
    SpeedChangePending = false;
    ServerClock.SetSpeed(1.0f);
    ServerClock.SetSeconds(LevelStartTime);
    if (!multiplayer) return true;
    ByteWriter go;
    go.I32(MSG_GO);
    return TvSendToId(AllPlayersGroup, go, true);
}
