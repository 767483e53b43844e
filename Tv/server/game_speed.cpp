#include "Tv/server/game_speed.h"

#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server.h"
#include "Tv/server/server_state.h"
#include "core/clock.h"

uint64_t TvGetServerTime() { return ServerClock.GetTime(); }

float TvGetGameSpeed() { return SpeedChangePending ? PendingGameSpeed.load() : ServerClock.GetSpeed(); }

void TvSetGameSpeed(float speed) {
    ServerLockHold hold;
    const bool faster = speed >= ServerClock.GetSpeed();
    if (!ServerDirectPlay) {
        ServerClock.SetSpeed(speed);
        GameClock.SetSpeed(speed);
        return;
    }
    ByteWriter message;
    if (faster) {
        SpeedChangePending = false;
        ServerClock.SetSpeed(speed);
        message.I32(MSG_GAME_SPEED);
        message.F32(speed);
    } else {
        SpeedChangePending = true;
        PendingGameSpeed = speed;
        for (SessionPlayer* player : ServerPlayerList) player->Acknowledged = 0;
        message.I32(MSG_PAUSE);
        message.F32(speed);
        message.I32(++PauseSequence);
    }
    TvBroadcast(message, true);
}
