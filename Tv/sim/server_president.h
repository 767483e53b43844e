#pragma once
// ServerPresident: the prize of the president game (AI core "president"), an
// unarmed unit that belongs to the player team whose actor last came within
// sqrt(5) m of it, at most one change of owner every 5 s. Each player team
// that takes it is told one of the level's four exits ("exita" to "exitd");
// brought within 5 m of it, the president scores for its owner and goes, and
// while the simulation runs a successor appears (TvSpawnPresident).

#include <cstdint>
#include <limits>

#include "Tv/sim/server_unit.h"

constexpr int32_t kPresidentRecordSize = 576;

class ServerPresident : public ServerUnit {
public:
    using ServerUnit::ServerUnit;
    // While the simulation runs, spawns the successor first; a level's end
    // (the simulation stopped) spawns none.
    ~ServerPresident() override;

    int32_t GetSize() const override { return kPresidentRecordSize; }
    bool IsPresident() const override { return true; }
    // A player team draws an exit: ExitPoint becomes the last dummy of that
    // name (kept when the level has none) and the team's player is told it
    // (message 199). Then the unit's change of team.
    void SetTeam(int32_t team) override;
    // Scores at the exit, else changes owner to the nearest rival within
    // sqrt(5) m; then the unit's update.
    void Think(uint64_t time, Real seconds) override;

    Vector3 ExitPoint{0, 0, 0};
    bool HasExit = false; // no team has been told an exit: the president cannot score
    // Seconds of the last change of owner; the first change may come at once.
    Real LastDefection = -std::numeric_limits<Real>::infinity();
};

// In the president game only: spawns the "president" role in team 0 at the
// level dummy "dumpresa" to "dumpresr" that a random draw picks; prints "No
// president role found" when the level defines no such role. Takes the
// server lock.
void TvSpawnPresident();

// Registers the class's maker with the server factory (AI core "president").
void RegisterServerPresident();
