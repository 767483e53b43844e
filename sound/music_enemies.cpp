// The enemy count of the music: which units the player sees, and who fires.
#include "core/clock.h"
#include "sound/music_moods.h"
#include "sound/music_object_source.h"

namespace {
MusicObjectSource* g_source = nullptr;
}

MusicObjectSource* InstallMusicObjectSource(MusicObjectSource* source) {
    MusicObjectSource* previous = g_source;
    g_source = source;
    return previous;
}

void MusicCountEnemies() {
    MusicMoodState& s = MoodState;
    s.enemySeen = s.enemyAttacking = s.squadAttacking = false;
    s.enemySeenCount = 0;
    if (!g_source) return;
    const int32_t localTeam = g_source->LocalTeam();
    g_source->ForEachObject([&s, localTeam](const MusicObjectView& object) {
        if (!object.alive || !object.drawn) return;
        if (object.unit && object.team != 0 && object.team != localTeam) {
            s.enemySeen = true;
            ++s.enemySeenCount;
            if (object.firing) s.enemyAttacking = true;
        } else if (object.team == localTeam && object.firing) {
            s.squadAttacking = true;
        }
    });
    if (s.enemyAttacking || s.squadAttacking) s.lastCombat = RealClock.GetTime32();
}

void MusicCountKill() { ++MoodState.killCount; }
