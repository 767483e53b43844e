#pragma once
// What the command handlers share beyond the parsers: the guards every
// handler applies (in this order: in a level, level not over, simulation
// running, client attached; server actors only under ServerLockHold of
// Tv/server/server.h), position and actor arguments, the selected actor and
// its commands (SELECT, WATCH, GET SELECTED), and printing language strings.
// Main thread only.

#include <cstdint>

#include "core/maths.h"

class ServerObject;
struct Quaternion;

// The game states in which a level runs (5, 6, 7, 17).
bool TvIsInLevelState(int32_t state);

// Guards. Each answers whether the handler may go on; only TvGuardInLevel
// prints (string 11019) when it may not.
bool TvGuardInLevel();      // CurrentGameState is one of the in-level states
bool TvGuardLevelNotOver(); // GameOptions.LevelStatus is not 3
bool TvGuardSimulation();   // the server thread runs in this process
bool TvGuardClient();       // a client is attached here

// Prints a language string as one console line.
void TvPrintString(uint32_t id);

// One position argument: three floats (missing ones 0) when a number comes
// next; else a word naming a level dummy (dummies of type "Sound" skipped, the
// first of that name wins; its orientation is stored when `orientation` is
// given, which otherwise keeps what the caller put there); else, with nothing
// left, the cursor's ground point. Outside a level prints string 11019, an
// unknown dummy "Invalid dummy object specified.", no ground point string
// 11020; each fails.
bool TvParsePosition(Vector3& position, Quaternion* orientation = nullptr);

// Reads a word naming a token and finds the server actor whose id is the
// token's value (floored). True only for a living actor; `actor` is written
// whenever the token exists (the look-up's result, maybe null or dead). Prints
// nothing. Call under the server lock.
bool TvParseActor(ServerObject*& actor);

// The actor that SELECT, WATCH or GET SELECTED chose last (-1 none), and
// whether none was ever chosen (the commands needing one print 11023).
extern int32_t SelectedActorId;
extern uint8_t NoActorSelected;

// SELECT [id], WATCH [id], GET SELECTED.
uint8_t TvCmdSelect();
uint8_t TvCmdWatch();
uint8_t TvCmdGetSelected();

// SelectedActorId -1 and NoActorSelected 1 again (console shutdown, tests).
void TvResetCommandArgs();
