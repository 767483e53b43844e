#pragma once
// The teams of a game. Team 0 is neutral, team 2 the computer opponent's, and
// every other team belongs to a player slot (team 1 the first slot, teams 3 to
// 5 the further ones). Each TeamRecord holds the team's flags, score, pause
// allowance, placed mines, formation and objectives, and in capture the flag
// its flag with the flag's home, its capture point and the 3D flag marker.
//
// The table has no lock: on a machine that runs the server both threads use
// the same records. The fields both threads write or poll are Relaxed; the
// table is rebuilt (Reset) only while no simulation steps.

#include <cstdint>
#include <vector>

#include "Tv/defs/ownedtext.h"
#include "core/list.h"
#include "core/maths.h"
#include "core/mem.h"
#include "core/relaxed.h"

class AwLightSet;
class AwModel;
class AwObject;
class CollisionPolygon;
class ServerObject;
struct AwDummyObject;

constexpr int32_t kMineSlotCount = 25;
constexpr int32_t kMineSlotsHandedOut = 12; // only slots below this take a mine
// Team numbers any caller may name; the table itself holds at most players + 2.
constexpr int32_t kMaxTeams = 10;

enum FlagStateValue : int32_t { kFlagAtHome = 0, kFlagCarried = 1, kFlagDropped = 2 };

// Caption texts shown when an objective is done, by priority (primary, secondary, tertiary).
constexpr uint32_t kObjectiveDoneTextId = 3200;

struct Objective : MemObject {
    int32_t Priority = 0;             // 0 primary, 1 secondary, 2 tertiary
    int32_t Id = 0;                   // the objective's number in the level
    int32_t Count = 0;                // completions still needed; -1 after a failure
    const char* PrefixText = nullptr; // string-table text before the count, or null
    const char* SuffixText = nullptr; // string-table text after the count, or null
    OwnedText Text;
};

class TeamRecord : public MemObject {
public:
    // Flag bytes clear, no marker, a new light set, formation 2, no objectives.
    TeamRecord();
    // Releases the light set, a marker still held and every objective.
    ~TeamRecord();
    TeamRecord(const TeamRecord&) = delete;
    TeamRecord& operator=(const TeamRecord&) = delete;

    // Records a mine in the first slot that is free or already holds it, when
    // that slot is below kMineSlotsHandedOut; answers the slot, or -1.
    int32_t AddMine(ServerObject* mine);
    // Clears every slot that holds the mine.
    void RemoveMine(const ServerObject* mine);
    void ClearMineSlots();

    // Home and position p; loads the shared flag model from the qifs
    // directory and builds the marker there, its one sequence running from
    // now (GameClock); the flag is present and not carried.
    void CreateFlag(const Vector3& p);
    // Drops the marker (level teardown in capture the flag).
    void ReleaseFlagMarker();
    // The flag stands at (x, y, z); a marker is moved there and its animation
    // restarts its time base at `time`.
    void PlaceMarker(float x, float y, float z, uint32_t time);
    // Queues the marker (when there is one) at FlagTime, or at `time`.
    void DrawFlag();
    void DrawFlagAt(uint32_t time);

    // The next floor polygon towards a unit's place in the formation, from
    // its polygon `a`, the move's direction `d`, the unit's offset `o` and
    // the leader's polygon `leader`. Null `a` (or `leader` in formation 0)
    // answers `a`.
    CollisionPolygon* FormationPoint(CollisionPolygon* a, const Vector3& d, const Vector3& o,
                                     CollisionPolygon* leader) const;

    // Appends an objective; the texts are string-table texts (kept), `text` is copied.
    void AddObjective(int32_t priority, int32_t id, int32_t count, const char* prefixText, const char* suffixText,
                      const char* text);
    // Each open objective of that id counts down, captioning the count left or, at 0, its done text.
    void CompleteObjective(int32_t id);
    void FailObjective(int32_t id);
    // Captions the text of every open objective.
    void ShowObjectives() const;

    bool IsPlayerTeam() const { return PlayerTeam != 0; }

    ServerObject* MineSlots[kMineSlotCount] = {};
    Relaxed<float> PauseTimeLeft{0.0f}; // seconds
    Relaxed<uint8_t> RemotePlayer{0};   // a player on another machine
    Relaxed<uint8_t> Active{0};         // takes part in the game
    Relaxed<uint8_t> PlayerTeam{0};     // belongs to a player slot
    Relaxed<uint8_t> Neutral{0};        // enemy searches skip its actors
    int32_t TeamIndex = 0;
    Relaxed<int32_t> TeamScore{0};
    Relaxed<int32_t> FlagState{kFlagAtHome};
    Relaxed<uint8_t> Winner{0};
    Vector3 FlagHome{0, 0, 0};
    Vector3 FlagPosition{0, 0, 0};
    Vector3 CapturePoint{0, 0, 0};
    Relaxed<uint8_t> FlagCarried{0};
    Relaxed<uint8_t> FlagPresent{0};
    AwObject* FlagMarker = nullptr;   // one reference held
    AwLightSet* TeamLights = nullptr; // one reference held; its ambient colour is the team colour
    uint32_t FlagTime = 0;            // the marker's animation time base (GameClock, low 32 bits)
    Relaxed<int32_t> Formation{2};    // of group moves: 0, 1 (abreast) or 2
    List<Objective*> Objectives;      // owned
};

// Records in the table; 0 while there are none.
extern uint32_t TeamCount;

namespace TeamTable {

// Rebuilds the table for the game's team count: records afresh, every one
// active, the player teams (all but 0 and 2) with their pause allowance and
// scores, flags and winner bytes cleared; team 0 neutral.
void Reset();
// The record of a team, or null for a number outside the table (numbers come
// from messages, scripts and files).
TeamRecord* GetTeam(int32_t team);
// Whether the team has a record with the player-team byte set.
bool IsPlayerTeam(int32_t team);
// Once per level, after the level's dummies exist: team colours and, in
// capture the flag, each player team's flag and capture point from the
// dummies "Flag_n" and "Capture_n".
void SetupTeams(const std::vector<AwDummyObject>& dummies);
// Capture the flag: queues every present flag that nobody carries, at the GameClock time.
void DrawFlags();
// Level start: empties the mine slots of every team but team 0.
void ClearAllMineSlots();
// Applied to every record.
void CompleteObjective(int32_t id);
void FailObjective(int32_t id);
// Program exit: destroys the records and the shared flag model.
void Destroy();

} // namespace TeamTable

// The model every flag marker is built from; null before the first CreateFlag.
extern AwModel* FlagModel;
