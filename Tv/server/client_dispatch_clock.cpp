// Clock and game speed messages.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "Tv/client/teamtable.h"
#include "Tv/console/console_hooks.h"
#include "Tv/server/client_link.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server_message_catalogue.h"
#include "Tv/server/server_message_fields.h"
#include "Tv/server/shell_state.h"
#include "core/clock.h"

namespace {

constexpr int32_t kResyncRequest = 51;
constexpr float kResyncError = 3.0f;

const char* ApplySpeed(const uint8_t* record, size_t size, bool answer) {
    ByteReader in = RecordReader(record, size);
    const float speed = in.F32();
    if (!IsFiniteValue(speed) || speed < 0.0f) return "speed not finite or negative";
    ClientBaseSpeed = speed;
    TvApplyClientClockSpeed();
    if (answer) {
        ByteWriter reply;
        reply.I32(MSG_SPEED_ACK);
        reply.I32(in.I32()); // the sequence number
        TvSendToServer(reply, true);
    }
    char line[64];
    std::snprintf(line, sizeof line, "Game speed set to %.2f", static_cast<double>(speed));
    TvConsolePrint(line);
    return nullptr;
}

const char* HandlePause(const uint8_t* record, size_t size) { return ApplySpeed(record, size, true); }

const char* HandleGameSpeed(const uint8_t* record, size_t size) { return ApplySpeed(record, size, false); }

const char* HandleTeamEffect(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    const int32_t team = in.I32();
    const float duration = in.F32();
    if (!TeamTable::GetTeam(team)) return "team out of range";
    if (!IsFiniteValue(duration)) return "duration not finite";
    TvPauseGame();
    TimedTeamEffect.Team = team;
    TimedTeamEffect.EndTime = RealClock.GetSeconds() + duration;
    return nullptr;
}

const char* HandleUnpause(const uint8_t*, size_t) {
    TvResumeGame();
    TimedTeamEffect = TimedTeamEffectState{};
    return nullptr;
}

const char* HandleClockSync(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    const float sent = in.F32();
    const float serverTime = in.F32();
    if (!IsFiniteValue(sent) || !IsFiniteValue(serverTime)) return "time not finite";
    if (CutsceneActive) return nullptr;
    const float now = GameClock.GetSeconds();
    if (!(now > sent)) return nullptr;
    const float error = serverTime - (now + sent) / 2.0f;
    const float threshold = std::max(0.25f * (now - sent), 0.05f);
    ClockCorrection = std::fabs(error) < threshold ? 1.0f : std::clamp(1.0f + error / 2.0f, 0.8f, 1.2f);
    GameClock.SetSpeed(ClientBaseSpeed * ClockCorrection);
    if (error > kResyncError || error < -kResyncError) {
        ByteWriter request;
        request.I32(kResyncRequest);
        request.I32(0);
        TvSendToServer(request, false);
    }
    return nullptr;
}

const char* HandleSetClock(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    in.Skip(4);
    const float time = in.F32();
    // The clock counts ticks from zero: a time before it cannot be set.
    if (!IsFiniteValue(time) || time < 0.0f) return "time not finite or negative";
    GameClock.SetSeconds(time);
    return nullptr;
}

} // namespace

const ServerMessageRow kClockMessageRows[] = {
    ExactRow(MSG_PAUSE, "MSG_PAUSE", 12, HandlePause),
    ExactRow(MSG_GAME_SPEED, "MSG_GAME_SPEED", 8, HandleGameSpeed),
    ExactRow(153, "MSG_TEAM_EFFECT", 12, HandleTeamEffect),
    ExactRow(MSG_UNPAUSE, "MSG_UNPAUSE", 4, HandleUnpause),
    ExactRow(202, "MSG_CLOCK_SYNC", 12, HandleClockSync),
    ExactRow(203, "MSG_SET_CLOCK", 12, HandleSetClock),
};
const size_t kClockMessageRowCount = std::size(kClockMessageRows);
