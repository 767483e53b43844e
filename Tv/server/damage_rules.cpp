#include "Tv/server/damage_rules.h"

#include <array>

#include "Tv/server/game_options.h"
#include "Tv/server/level_description.h"

const float DifficultyTablePlayer[4] = {0.4f, 0.4f, 0.8f, 1.0f};
const float DifficultyTableComputer[4] = {0.85f, 0.85f, 0.85f, 0.85f};
float DamageMultiplierPlayer = 1.0f;
float DamageMultiplierComputer = 1.0f;

namespace {

constexpr int32_t kLastDamageKind = 33;

constexpr uint32_t Classes(std::initializer_list<int32_t> classes) {
    uint32_t mask = 0;
    for (int32_t c : classes) mask |= 1u << c;
    return mask;
}

// Per damage kind, the target classes whose resistance applies to it.
constexpr std::array<uint32_t, kLastDamageKind + 1> kResistedBy = [] {
    std::array<uint32_t, kLastDamageKind + 1> table{};
    for (int32_t kind : {0, 1, 2, 3, 16, 17, 18, 28, 29, 30}) table[kind] = Classes({1, 8});
    for (int32_t kind : {4, 19, 20}) table[kind] = Classes({2, 8});
    for (int32_t kind : {5, 6, 21, 27}) table[kind] = Classes({2});
    for (int32_t kind : {7, 8, 22, 23, 24, 25, 26, 33}) table[kind] = Classes({4});
    for (int32_t kind : {9, 10}) table[kind] = Classes({5, 8});
    table[11] = Classes({7, 8});
    for (int32_t kind : {12, 31, 32}) table[kind] = Classes({6});
    return table;
}();

bool Resists(int32_t targetClass, int32_t damageKind) {
    if (damageKind < 0 || damageKind > kLastDamageKind || targetClass < 0 || targetClass > 31) return false;
    return (kResistedBy[damageKind] >> targetClass) & 1;
}

} // namespace

float TvScaleDamage(bool targetOnPlayerTeam, float damage, int32_t targetClass, float resistance, int32_t damageKind) {
    if (damage <= 0.0f) return damage;
    float d = damage * (targetOnPlayerTeam ? DamageMultiplierPlayer : DamageMultiplierComputer);
    if (Resists(targetClass, damageKind)) d = d * (1.0f - resistance);
    return d;
}

void TvApplyDifficulty() {
    // A difficulty from a damaged saved game counts as the nearest level.
    const int32_t difficulty = GameOptions.Difficulty < 0 ? 0 : GameOptions.Difficulty > 3 ? 3 : GameOptions.Difficulty;
    DamageMultiplierPlayer = DifficultyTablePlayer[difficulty];
    DamageMultiplierComputer = DifficultyTableComputer[difficulty];
    const int32_t i = TvGetLevelIndex();
    if (i < 6) return;
    DamageMultiplierComputer *= i >= 14 ? 0.6666667f : i >= 9 ? 0.7142857f : i >= 7 ? 0.7692308f : 0.8333333f;
    DamageMultiplierPlayer += static_cast<float>(i - 5) * (difficulty >= 2 ? 0.02f : 0.05f);
}
