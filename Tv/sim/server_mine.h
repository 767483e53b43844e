#pragma once
// Laid mines: units of the AI core "mine" whose character's weapon value is
// the kind of mine. Remote mines and decoys take a slot of their team's
// table (TeamRecord::MineSlots, slots 0 to 11 handed out) through which the
// team's player sets them off or starts them (client messages 47 and 48).
// A dead or destroyed actor leaves the slots through the base OnDeath; the
// level load empties them (TeamTable::ClearAllMineSlots). Server thread, or
// under the server lock.

#include <cstdint>

#include "core/maths.h"

class ServerObject;

enum MineKind : int32_t {
    kMineProximity = 0, // explodes when an enemy comes within its SightRange
    kMineRemote = 1,    // explodes when its player sets it off
    kMineTimed = 2,     // explodes 10 s after its start
    kMineDecoy = 3,     // once started, calls out every 6 s for 60 s, then goes
    kMineEmp = 4,       // as a proximity mine; its blast disables instead of damaging
};

constexpr int32_t kMsgMineSlot = 62;         // 12: id, slot (-1 none free, kMineSlotGivenUp)
constexpr int32_t kMsgMineExploded = 108;    // 16: point
constexpr int32_t kMsgEmpMineExploded = 109; // 16: point
constexpr int32_t kMsgDecoyCalls = 159;      // 8: id
constexpr int32_t kMineSlotGivenUp = 0x7fffffff;

// The mine's kind, or -1 for an actor without a character record.
int32_t MineKindOf(const ServerObject& actor);

// The mine core's start callback: a remote mine or a decoy claims its team's
// first free slot and announces it (62, -1 when none is free; a decoy then
// sleeps until started); a timed mine's fuse runs from `time`.
void TvMineStart(ServerObject* mine, uint64_t time);
// The mine core's AI callback, once a second: a proximity or EMP mine
// explodes when a live actor of another team stands within its sight range
// (except a unit sweeping mines, and an actor named by one of the mine's
// vulnerabilities that is aiming at it; in the cooperative game, player teams
// spare each other); a timed mine explodes when its fuse has run out; a
// started decoy makes a noise and calls out (159) until its time is over,
// then goes.
void TvMineAi(ServerObject* mine, uint64_t time);
// Explodes a mine (nothing for an actor that is not a unit). One without an
// AI callback or disabled only goes. Otherwise it announces the blast (108,
// EMP 109), goes, and hits every live actor within its sight range, in every
// game type. Actors on two player sides (any team but 0 and 2) spare each
// other unless the actor is a mine, match rule B is on, or, outside the
// story and cooperative games, their teams differ. Another mine explodes in
// turn (never from an EMP blast); an EMP blast disables the actors of teams
// that are not player teams; any other blast does the definition's limit as
// damage.
void TvDetonateMine(ServerObject* mine);
// A blast's damage to one actor, scaled by the match rules (mine blasts'
// damage kind), applied as protected damage from `team` and reported (55).
void TvMineBlastHit(ServerObject& victim, Real damage, int32_t team);
// Starts the decoy in that slot of the team's table for 60 s and gives up the
// slot (62 with kMineSlotGivenUp). Nothing for an empty slot or a bad team or slot.
void TvStartDecoy(int32_t team, int32_t slot);

// Client message 47: every remote mine of the team explodes.
void TvSetOffTeamMines(int32_t team);
// Client message 48: the remote mine in the team's slot explodes, the decoy
// there starts; nothing for another kind, an empty slot, or a team or slot
// outside the table.
void TvUseMineSlot(int32_t team, int32_t slot);
