#pragma once
// The damage rules: how much of a hit an actor takes after the difficulty,
// the level's place in the campaign and the target's resistance.

#include <cstdint>

// Per difficulty (0 easy .. 3 extreme): the player side's and the computer side's multipliers.
extern const float DifficultyTablePlayer[4];
extern const float DifficultyTableComputer[4];
// The active multipliers (1.0 at program start), set at every level start.
extern float DamageMultiplierPlayer;
extern float DamageMultiplierComputer;

// The damage an actor takes: 0 or less unchanged; else times the multiplier
// of its side, and times (1 - resistance) when the damage kind (0 to 33) is
// one that the target's class resists.
float TvScaleDamage(bool targetOnPlayerTeam, float damage, int32_t targetClass, float resistance, int32_t damageKind);
// Level start: the multipliers from GameOptions.Difficulty, scaled by the
// level's position in the single-player mission list from position 6 on.
void TvApplyDifficulty();
