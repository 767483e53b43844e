#include "Tv/client/teamtable.h"

#include <cmath>
#include <string>

#include "Awapi/light_set.h"
#include "Awapi/model/dummy_object.h"
#include "Awapi/model/model_node.h"
#include "Awapi/object.h"
#include "Tv/client/teamhooks.h"
#include "Tv/world/collision_polygon.h"
#include "core/hashtable.h"
#include "core/numeric.h"

uint32_t TeamCount = 0;

namespace {

TeamRecord* records = nullptr; // TeamCount records, one block

constexpr float kRadiansToAngle = AngleFullTurn / 6.2831853f;

// Player slot s (0 for team 1, team - 2 above) mirrored for P players: the
// lobby order runs the other way round.
int32_t MirroredSlot(int32_t team, int32_t playerCount) { return playerCount - 1 - (team == 1 ? 0 : team - 2); }

// The team playing slot m.
int32_t TeamOfSlot(int32_t m) { return m == 0 ? 1 : m + 2; }

// The position of the last dummy named prefix + digit (ignoring case), or (team, 0, team).
Vector3 DummyPosition(const std::vector<AwDummyObject>& dummies, const char* prefix, int32_t digit, int32_t team) {
    const std::string name = prefix + std::to_string(digit);
    const auto fallback = static_cast<float>(team);
    Vector3 position(fallback, 0, fallback);
    for (const AwDummyObject& dummy : dummies)
        if (dummy.Name && NameEquals(dummy.Name->c_str(), name.c_str())) position = dummy.Position;
    return position;
}

void SetTeamColour(TeamRecord* team, float r, float g, float b) {
    if (team) team->TeamLights->SetAmbient(Colour::FromFloats(r, g, b, 1.0f));
}

// The colour a player chose in the lobby: 2 blue, 3 green, 4 yellow, anything else red.
void SetPlayerColour(TeamRecord& team, int32_t choice) {
    switch (choice) {
    case 2: SetTeamColour(&team, 0.1f, 0.1f, 0.7f); break;
    case 3: SetTeamColour(&team, 0.1f, 0.7f, 0.1f); break;
    case 4: SetTeamColour(&team, 0.7f, 0.7f, 0.1f); break;
    default: SetTeamColour(&team, 0.7f, 0.1f, 0.1f); break;
    }
}

} // namespace

TeamRecord::TeamRecord() : TeamLights(new AwLightSet) {}

TeamRecord::~TeamRecord() {
    TeamLights->Release();
    ReleaseFlagMarker();
    for (Objective* objective : Objectives) delete objective;
}

int32_t TeamRecord::AddMine(ServerObject* mine) {
    for (int32_t slot = 0; slot < kMineSlotCount; ++slot) {
        if (MineSlots[slot] && MineSlots[slot] != mine) continue;
        if (slot >= kMineSlotsHandedOut) return -1;
        MineSlots[slot] = mine;
        return slot;
    }
    return -1;
}

void TeamRecord::RemoveMine(const ServerObject* mine) {
    for (ServerObject*& slot : MineSlots)
        if (slot == mine) slot = nullptr;
}

void TeamRecord::ClearMineSlots() {
    for (ServerObject*& slot : MineSlots) slot = nullptr;
}

CollisionPolygon* TeamRecord::FormationPoint(CollisionPolygon* a, const Vector3& d, const Vector3& o,
                                             CollisionPolygon* leader) const {
    switch (Formation) {
    case 0: {
        if (!leader) return a;
        const int32_t h = FloorToInt(std::atan2(d.x, d.z) * kRadiansToAngle);
        const Real s = SineOf(h), c = CosineOf(h);
        const Vector3 turned(o.x * c + o.z * s, o.y, o.z * c - o.x * s);
        return leader->NearestNeighbour(leader->GetReferencePoint() + turned);
    }
    case 1:
        if (!a) return a;
        return a->NearestNeighbour(a->GetReferencePoint() + Vector3(-d.z, 0, d.x));
    case 2:
        if (!a) return a;
        return a->NearestNeighbour(a->GetReferencePoint() - d);
    default: return a;
    }
}

namespace TeamTable {

void Reset() {
    delete[] records;
    records = nullptr;
    const TeamGameSettings game = CurrentTeamGameSettings();
    TeamCount = static_cast<uint32_t>(game.TeamCount < 0 ? 0 : game.TeamCount > kMaxTeams ? kMaxTeams : game.TeamCount);
    if (TeamCount == 0) return;
    records = new TeamRecord[TeamCount];
    for (int32_t i = 0; i < static_cast<int32_t>(TeamCount); ++i) {
        TeamRecord& team = records[i];
        team.TeamIndex = i;
        team.Active = 1;
        if (i == 0 || i == 2) continue;
        team.PlayerTeam = 1;
        team.RemotePlayer = i != game.LocalTeam;
        team.PauseTimeLeft = static_cast<float>(game.PauseAllowance);
        team.TeamScore = 0;
        team.FlagState = kFlagAtHome;
        team.Winner = 0;
        team.FlagPresent = 0;
    }
    records[0].Neutral = 1;
}

TeamRecord* GetTeam(int32_t team) {
    if (team < 0 || team >= static_cast<int32_t>(TeamCount)) return nullptr;
    return &records[team];
}

bool IsPlayerTeam(int32_t team) {
    const TeamRecord* record = GetTeam(team);
    return record && record->IsPlayerTeam();
}

void SetupTeams(const std::vector<AwDummyObject>& dummies) {
    const TeamGameSettings game = CurrentTeamGameSettings();
    for (int32_t i = 0; i < static_cast<int32_t>(TeamCount); ++i) {
        TeamRecord& team = records[i];
        if (!team.PlayerTeam) continue;
        if (game.GameType == 0 || game.GameType == 1 || game.GameType > 5) {
            SetTeamColour(GetTeam(0), 0.5f, 0.5f, 0.5f);
            SetTeamColour(GetTeam(1), 0.0f, 0.0f, 0.6f);
            SetTeamColour(GetTeam(2), 0.6f, 0.0f, 0.0f);
            continue;
        }
        const int32_t m = MirroredSlot(i, game.PlayerCount);
        if (game.GameType == 5) {
            const int32_t digit = TeamOfSlot(m);
            team.CreateFlag(DummyPosition(dummies, "Flag_", digit, i));
            team.CapturePoint = DummyPosition(dummies, "Capture_", digit, i);
        }
        if (game.GameType >= 2) SetPlayerColour(team, m >= 0 && m < kMaxPlayers ? game.PlayerTable[m] : 0);
    }
}

void ClearAllMineSlots() {
    for (int32_t i = 1; i < static_cast<int32_t>(TeamCount); ++i) records[i].ClearMineSlots();
}

void CompleteObjective(int32_t id) {
    for (int32_t i = 0; i < static_cast<int32_t>(TeamCount); ++i) records[i].CompleteObjective(id);
}

void FailObjective(int32_t id) {
    for (int32_t i = 0; i < static_cast<int32_t>(TeamCount); ++i) records[i].FailObjective(id);
}

} // namespace TeamTable

void TeamTable::Destroy() {
    delete[] records;
    records = nullptr;
    TeamCount = 0;
    if (FlagModel) FlagModel->ReleaseUse();
    FlagModel = nullptr;
}
