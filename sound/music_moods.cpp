#include "sound/music_moods.h"

#include <algorithm>

#include "core/clock.h"
#include "core/numeric.h"
#include "sound/cd_player.h"
#include "sound/music_settings.h"
#include "sound/music_stream.h"
#include "sound/wave_out_volume.h"

MusicMoodState MoodState;
CdPlayer* CdPlayerInstance = nullptr;
WaveOutVolume* WaveVolumeInstance = nullptr;
MusicStream* MoodStream = nullptr;

namespace {

constexpr int32_t kPlaylists = 7;
constexpr int32_t kCdVolumeStep = 7280;
constexpr int32_t kStreamVolumeStep = 3640;
constexpr int32_t kWaveVolumeStep = 5000;

// Each mood's stream indices, ended by -1.
constexpr int32_t kMoodTracks[kMoodCount][21] = {
    {-1}, {-1}, {-1}, {1, 6, 4, 3, 7, 2, 5, -1}, {-1}, {0, -1}, {-1},
};

constexpr const char* kStreamNames[] = {
    "sound\\music\\tense.bik", "sound\\music\\1a.bik", "sound\\music\\2a.bik",         "sound\\music\\3a.bik",
    "sound\\music\\4a.bik",    "sound\\music\\5a.bik", "sound\\music\\Tense01_lp.bik", "sound\\music\\Tense03_lp.bik",
};
constexpr int32_t kStreamCount = static_cast<int32_t>(std::size(kStreamNames));

uint32_t Now() { return RealClock.GetTime32(); }

float SecondsSince(uint32_t start) {
    return static_cast<float>(static_cast<int32_t>(Now() - start)) * CurrentSecondsPerTick();
}

// A share of the stream volume, floored and kept within 0 to streamVolume.
int32_t StreamShare(float fraction) {
    const int32_t full = MoodState.streamVolume;
    return std::clamp(FloorToInt(static_cast<float>(full) * fraction), 0, full);
}

bool PlaysTheCd(MusicMood mood) { return mood == kMoodNone || mood == kMoodAmbient || mood == kMoodSuspense; }

bool MoodsRun() { return CdPlayerInstance && MoodState.autoMusic; }

void StartStreamFadeIn(float seconds) {
    MoodState.fadeInRunning = true;
    MoodState.fadeInStart = Now();
    MoodState.fadeInSeconds = seconds;
}

// The first rule of the per-frame update that applies, for the mood b the
// music is in or heading for.
void ApplyMoodRules(MusicMood b) {
    MusicMoodState& s = MoodState;
    if (s.enemyAttacking && b != kMoodBattle && s.enemySeenCount >= s.battleNumber && s.streamVolume != 0) {
        s.killCount = 0;
        MusicRequestMood(kMoodBattle, false, 2.0f);
    } else if (b == kMoodBattle && !s.enemySeen && s.killCount >= s.victoryKills) {
        s.killCount = 0;
        MusicRequestMood(kMoodVictory, false, 0.5f);
    } else if (s.squadAttacking) {
        // The squad is fighting: the mood holds.
    } else if (!s.enemySeen && (b == kMoodNone || b == kMoodSuspense)) {
        MusicRequestMood(kMoodAmbient, false, 4.0f);
    } else if (b == kMoodBattle) {
        if (SecondsSince(s.lastCombat) > 8.0f) {
            if (s.killCount > s.victoryKills) {
                s.killCount = 0;
                MusicRequestMood(kMoodVictory, false, 2.5f);
            } else {
                MusicRequestMood(kMoodAmbient, false, 8.0f);
            }
        }
    } else if (b == kMoodVictory) {
        if (SecondsSince(s.lastCombat) > 15.0f) MusicRequestMood(kMoodAmbient, false, 1.0f);
    }
}

} // namespace

const char* MusicStreamName(int32_t index) {
    return index >= 0 && index < kStreamCount ? kStreamNames[index] : nullptr;
}

void MusicCreateCdPlayer() {
    if (CdPlayerInstance) return;
    MoodState.changePending = false;
    MoodState.fadeInRunning = false;
    MoodState.unmuted = true;
    CdPlayerInstance = new CdPlayer(nullptr, kPlaylists);
    std::fill(std::begin(MoodState.trackCursor), std::end(MoodState.trackCursor), -1);
}

void MusicCreateWaveVolume() {
    if (!WaveVolumeInstance) WaveVolumeInstance = new WaveOutVolume;
    WaveVolumeInstance->SetVolume(MusicSettings.WaveVolume * kWaveVolumeStep);
}

void MusicShutdown() {
    delete CdPlayerInstance;
    CdPlayerInstance = nullptr;
    if (WaveVolumeInstance) WaveVolumeInstance->Release();
    WaveVolumeInstance = nullptr;
    delete MoodStream;
    MoodStream = nullptr;
}

void MusicStartLevel(bool on) {
    MusicMoodState& s = MoodState;
    s.autoMusic = on;
    s.cdVolume = MusicSettings.MusicVolume * kCdVolumeStep;
    s.streamVolume = MusicSettings.MusicVolume2 * kStreamVolumeStep;
    if (CdPlayerInstance) {
        if (on) {
            CdPlayerInstance->PlayDisc(true, false);
            CdPlayerInstance->SetVolume(0);
            CdPlayerInstance->FadeTo(s.cdVolume, 2.0f);
        } else {
            CdPlayerInstance->Stop();
            CdPlayerInstance->SetVolume(s.cdVolume);
        }
    }
    if (MoodStream) {
        MoodStream->Stop();
        MoodStream->SetVolume(s.streamVolume);
    }
}

void MusicRequestMood(MusicMood mood, bool keep, float fadeSeconds) {
    if (!MoodsRun()) return;
    MusicMoodState& s = MoodState;
    if (mood != s.currentMood) {
        const bool calmToCalm = (mood == kMoodAmbient && s.currentMood == kMoodSuspense) ||
                                (mood == kMoodSuspense && s.currentMood == kMoodAmbient);
        if (calmToCalm) return;
        s.changePending = true;
        s.changeStart = Now();
        s.pendingFade = fadeSeconds;
        s.keepMusic = keep;
        s.pendingMood = mood;
        CdPlayerInstance->FadeTo(0, fadeSeconds);
        return;
    }
    if (s.changePending) {
        // The current mood again: the change is called off and the music comes back.
        s.changePending = false;
        if (PlaysTheCd(s.currentMood)) CdPlayerInstance->FadeTo(s.cdVolume, 0.5f);
        else if (s.currentMood == kMoodBattle || s.currentMood == kMoodUpgrade) StartStreamFadeIn(1.0f);
        return;
    }
    if (!keep) MusicStartMoodMusic(mood);
}

void MusicStartMoodMusic(MusicMood mood) {
    MusicMoodState& s = MoodState;
    if (mood == kMoodAmbient || mood == kMoodSuspense) {
        if (MoodStream) MoodStream->Stop();
        if (CdPlayerInstance) CdPlayerInstance->FadeTo(s.cdVolume, 4.0f);
        return;
    }
    if (mood < 0 || mood >= kMoodCount || kMoodTracks[mood][0] == -1) return;
    int32_t& cursor = s.trackCursor[mood];
    ++cursor;
    if (kMoodTracks[mood][cursor] == -1) cursor = 0;
    const char* file = MusicStreamName(kMoodTracks[mood][cursor]);
    if (!file) return;
    if (!MoodStream) MoodStream = new MusicStream;
    if (CdPlayerInstance) CdPlayerInstance->FadeTo(0, 1.5f);
    MoodStream->Stop();
    if (s.streamVolume != 0 && s.unmuted) MoodStream->Open(file, true);
    MoodStream->SetVolume(0);
    StartStreamFadeIn(mood == kMoodTimed ? 3.0f : 1.0f);
    s.changePending = false;
    if (mood == kMoodTimed) s.timedStart = s.fadeInStart;
}

void MusicUpdateMood() {
    if (!MoodsRun()) return;
    MusicMoodState& s = MoodState;
    if (s.fadeInRunning) {
        // The fade-in only raises the stream.
        const float t = SecondsSince(s.fadeInStart);
        const int32_t v = StreamShare(t / s.fadeInSeconds);
        if (MoodStream && MoodStream->GetVolume() < v) MoodStream->SetVolume(v);
        if (t > s.fadeInSeconds) s.fadeInRunning = false;
    }
    const MusicMood b = s.changePending ? s.pendingMood : s.currentMood;
    if (b != kMoodUpgrade) {
        MusicCountEnemies();
        ApplyMoodRules(b);
    }
    if (b == kMoodTimed && SecondsSince(s.timedStart) > 20.0f) MusicRequestMood(kMoodAmbient, false, 4.0f);
    if (!s.changePending) return;
    const float t = SecondsSince(s.changeStart);
    if (s.currentMood == kMoodBattle || s.currentMood == kMoodUpgrade || s.currentMood == kMoodTimed) {
        // The playing stream fades out with the CD; it is never raised here.
        const int32_t v = StreamShare(1.0f - t / s.pendingFade);
        if (MoodStream && v < MoodStream->GetVolume()) MoodStream->SetVolume(v);
    }
    if (t > s.pendingFade) {
        s.changePending = false;
        const MusicMood next = s.pendingMood;
        MusicStartMoodMusic(next);
        s.previousMood = s.currentMood;
        s.currentMood = next;
        // Replaces the 4-second fade the calm moods' music began.
        if (PlaysTheCd(next)) CdPlayerInstance->FadeTo(s.cdVolume, 5.0f);
    }
}

void MusicResumeMood() {
    if (!MoodsRun()) return;
    MusicMoodState& s = MoodState;
    if (s.changePending) {
        s.changePending = false;
        CdPlayerInstance->FadeTo(s.cdVolume, 0.5f);
    }
    if (s.previousMood == kMoodUpgrade) s.previousMood = kMoodAmbient;
    MusicRequestMood(s.previousMood, true, 1.0f);
}

void MusicSetCdVolume(int32_t value) {
    if (!CdPlayerInstance) return;
    MusicMoodState& s = MoodState;
    if (value > 0 && !s.unmuted) {
        s.unmuted = true;
        s.cdVolume = s.savedCdVolume;
        if (!s.changePending && !s.fadeInRunning) CdPlayerInstance->FadeTo(s.savedCdVolume, 2.0f);
    }
    s.cdVolume = value;
    if (!s.changePending && !s.fadeInRunning && s.currentMood != kMoodBattle && s.currentMood != kMoodUpgrade)
        CdPlayerInstance->SetVolume(value);
}

void MusicSetStreamVolume(int32_t value) {
    MoodState.streamVolume = value;
    if (!MoodState.fadeInRunning && MoodStream) MoodStream->SetVolume(value);
}

int32_t MusicGetStreamVolume() { return MoodState.streamVolume; }

void MusicMute() {
    MusicMoodState& s = MoodState;
    if (MoodStream) MoodStream->Stop();
    const bool wasUnmuted = s.unmuted;
    s.unmuted = false;
    if (CdPlayerInstance) CdPlayerInstance->FadeTo(0, 1.0f);
    if (wasUnmuted) {
        s.savedCdVolume = s.cdVolume;
        s.cdVolume = 0;
    }
}

void MusicUnmute() {
    MusicMoodState& s = MoodState;
    if (s.unmuted) return;
    s.unmuted = true;
    s.cdVolume = s.savedCdVolume;
    if (CdPlayerInstance && !s.changePending && !s.fadeInRunning) CdPlayerInstance->FadeTo(s.savedCdVolume, 2.0f);
}

void MusicFadeOutCd() {
    if (CdPlayerInstance) CdPlayerInstance->FadeTo(0, 1.0f);
}

void MusicFadeInCd() {
    if (CdPlayerInstance) CdPlayerInstance->FadeTo(MoodState.cdVolume, 2.0f);
}

void MusicStopCd() {
    if (CdPlayerInstance) CdPlayerInstance->Stop();
}

void MusicRestartCd() {
    if (!CdPlayerInstance) return;
    CdPlayerInstance->PlayDisc(true, false);
    CdPlayerInstance->SetVolume(0);
    CdPlayerInstance->FadeTo(MoodState.cdVolume, 2.0f);
}
