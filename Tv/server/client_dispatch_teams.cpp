// Team messages: capture the flag, scores, winners and the president's exit.

#include <iterator>

#include "Tv/client/client_class_calls.h"
#include "Tv/client/client_objects.h"
#include "Tv/client/client_sounds.h"
#include "Tv/client/teamtable.h"
#include "Tv/console/console_hooks.h"
#include "Tv/server/client_record_objects.h"
#include "Tv/server/client_service_hooks.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server_message_catalogue.h"
#include "Tv/server/server_message_fields.h"
#include "core/stringtable.h"

namespace {

constexpr int32_t kFlagTakenSound = 93;
constexpr int32_t kTeamScoresSound = 94;
constexpr uint32_t kFirstExitText = 1478;
constexpr int32_t kExitCount = 4;
constexpr int32_t kWinnerBytes = 6;

// The flag events: the carrier and the team whose flag it is, which must be in the team table.
template <void (*Event)(ClientObject*, int32_t)>
const char* FlagEvent(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* carrier = ReadRecordObject(in);
    const int32_t team = in.I32();
    if (!TeamTable::GetTeam(team)) return "team out of range";
    if (carrier) Event(carrier, team);
    return nullptr;
}

void TakeFlag(ClientObject* carrier, int32_t team) {
    TvPlaySound(kFlagTakenSound, "");
    ClientUnitTakeFlag(carrier, team);
}
void DropFlag(ClientObject* carrier, int32_t) { ClientUnitDropFlag(carrier); }
void ReturnFlag(ClientObject* carrier, int32_t) { ClientUnitReturnFlag(carrier); }
void CaptureFlag(ClientObject* carrier, int32_t) { ClientUnitCaptureFlag(carrier); }

const char* HandleFlagReset(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    TeamRecord* team = TeamTable::GetTeam(in.I32());
    if (!team) return "team out of range";
    team->FlagPresent = 0;
    return nullptr;
}

const char* HandleTeamScores(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    TeamRecord* team = TeamTable::GetTeam(in.I32());
    if (!team) return "team out of range";
    TvPlaySound(kTeamScoresSound, "");
    team->TeamScore = team->TeamScore + 1;
    if (CurrentGameType == kGamePresident) TvReleasePresidentPanels();
    return nullptr;
}

// Six bytes cover teams 0 to 5; a team beyond them has no byte and has not won.
const char* HandleWinners(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    uint8_t winners[kWinnerBytes];
    for (uint8_t& w : winners) w = in.U8();
    for (uint32_t t = 0; t < TeamCount; ++t) {
        TeamRecord* team = TeamTable::GetTeam(static_cast<int32_t>(t));
        if (team) team->Winner = t < kWinnerBytes && winners[t] != 0 ? 1 : 0;
    }
    TvShowGameResult();
    return nullptr;
}

const char* HandlePresidentExit(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    const int32_t exit = in.I32();
    ClientObject* president = ReadRecordObject(in);
    const Vector3 position = ReadPosition(in);
    if (!IsFiniteVector(position)) return "position not finite";
    if (exit >= 0 && exit < kExitCount) {
        const char* text = StringTableLookup(kFirstExitText + static_cast<uint32_t>(exit));
        if (*text) TvConsolePrint(text);
    }
    if (president) ClientPresidentSetExit(president, position);
    return nullptr;
}

} // namespace

const ServerMessageRow kTeamMessageRows[] = {
    ExactRow(90, "MSG_FLAG_TAKEN", 12, FlagEvent<TakeFlag>),
    ExactRow(91, "MSG_FLAG_DROPPED", 12, FlagEvent<DropFlag>),
    ExactRow(92, "MSG_FLAG_RETURNED", 12, FlagEvent<ReturnFlag>),
    ExactRow(93, "MSG_FLAG_CAPTURED", 12, FlagEvent<CaptureFlag>),
    ExactRow(MSG_FLAG_RESET, "MSG_FLAG_RESET", 8, HandleFlagReset),
    ExactRow(155, "MSG_TEAM_SCORES", 8, HandleTeamScores),
    ExactRow(MSG_WINNERS, "MSG_WINNERS", 10, HandleWinners),
    ExactRow(199, "MSG_PRESIDENT_EXIT", 24, HandlePresidentExit),
};
const size_t kTeamMessageRowCount = std::size(kTeamMessageRows);
