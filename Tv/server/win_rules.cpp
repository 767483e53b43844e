#include "Tv/server/win_rules.h"

#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/game_speed.h"
#include "Tv/server/lead_characters.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server_state.h"
#include "Tv/server/session_players.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"

namespace {

// The player teams 0 to P + 1 in index order (P the player count) that have records.
template <class F>
void ForEachPlayerTeam(F f) {
    const int32_t last = static_cast<int32_t>(TvGetPlayerCount()) + 1;
    for (int32_t team = 0; team <= last && team < kWinnerTeams; ++team)
        if (TeamRecord* record = TeamTable::GetTeam(team); record && record->PlayerTeam) f(team, *record);
}

bool HasLivingLead(int32_t team) {
    bool found = false;
    ForEachActor([&](ServerObject* actor) {
        if (actor->Team == team && actor->InTeamList && actor->IsAlive() && actor->Definition &&
            LeadCharacterIndex(actor->Definition->name.Get()) >= 0)
            found = true;
    });
    return found;
}

bool LastLeadStanding() {
    uint8_t winners[kWinnerTeams] = {};
    int32_t standing = 0;
    ForEachPlayerTeam([&](int32_t team, TeamRecord&) {
        if (HasLivingLead(team)) {
            winners[team] = 1;
            ++standing;
        }
    });
    if (standing > 1) return false;
    if (TvGetPlayerCount() > 1) TvAnnounceWinners(winners);
    return true;
}

bool ScoreLimitReached() {
    if (ScoreLimit == 0) return false;
    uint8_t winners[kWinnerTeams] = {};
    int32_t winner = -1;
    ForEachPlayerTeam([&](int32_t team, TeamRecord& record) {
        if (winner < 0 && record.TeamScore >= ScoreLimit) winner = team;
    });
    if (winner < 0) return false;
    winners[winner] = 1;
    TvAnnounceWinners(winners);
    return true;
}

} // namespace

bool TvCheckWinConditions() {
    switch (CurrentGameType) {
    case kGameLastLeadStanding: return LastLeadStanding();
    case kGamePresident:
    case kGameLeadKills:
    case kGameCaptureTheFlag: return ScoreLimitReached();
    default: return false;
    }
}

void TvEndMatchByScore() {
    int32_t best = 0;
    uint8_t winners[kWinnerTeams] = {};
    ForEachPlayerTeam([&](int32_t team, TeamRecord& record) {
        const int32_t score = record.TeamScore;
        if (score > best) {
            best = score;
            for (uint8_t& w : winners) w = 0;
        }
        if (score == best) winners[team] = 1;
    });
    MatchDecided = true;
    TvAnnounceWinners(winners);
}

void TvAnnounceWinners(const uint8_t (&winners)[kWinnerTeams]) {
    ByteWriter message;
    message.I32(MSG_WINNERS);
    message.Bytes(winners, kWinnerTeams);
    TvBroadcast(message, true);
    TvSetGameSpeed(0.0f);
}
