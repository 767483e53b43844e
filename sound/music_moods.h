#pragma once
// The music director: the CD plays under the calm moods and fades in and
// out; when enemies on screen open fire in numbers a streamed battle track
// takes over, and after the fight the music falls silent for a victory pause
// or returns to the CD. A requested mood pends while the music fades out,
// then takes effect. Times run on RealClock; volumes computed from fractions
// are floored in the program's floating-point mode. Main thread only.

#include <cstdint>

class CdPlayer;
class MusicStream;
class WaveOutVolume;

enum MusicMood : int32_t {
    kMoodNone = 0,     // the CD; the starting mood
    kMoodAmbient = 1,  // the CD
    kMoodSuspense = 2, // the CD
    kMoodBattle = 3,   // streamed tracks, cycled
    kMoodVictory = 4,  // silence
    kMoodUpgrade = 5,  // one streamed track
    kMoodTimed = 6,    // a timed stream mood without tracks
};
constexpr int32_t kMoodCount = 7;

struct MusicMoodState {
    int32_t cdVolume = 36400;     // CD mixer value the CD fades up to
    int32_t streamVolume = 25480; // stream volume streams fade up to; 0 disables the stream moods
    int32_t victoryKills = 500;
    int32_t battleNumber = 3; // enemies on screen needed for battle music
    bool unmuted = true;
    int32_t killCount = 0; // units of team 2 destroyed
    bool autoMusic = false;
    MusicMood currentMood = kMoodNone;
    MusicMood previousMood = kMoodNone;
    // A requested change waiting for its fade-out.
    bool changePending = false;
    MusicMood pendingMood = kMoodNone;
    bool keepMusic = false;
    float pendingFade = 0; // seconds
    uint32_t changeStart = 0; // RealClock, low 32 bits
    // The fade-in of a newly started stream.
    bool fadeInRunning = false;
    uint32_t fadeInStart = 0;
    float fadeInSeconds = 0;
    uint32_t timedStart = 0;
    uint32_t lastCombat = 0; // the last frame in which anyone on screen fired
    int32_t savedCdVolume = 0; // cdVolume when muted
    int32_t trackCursor[kMoodCount] = {-1, -1, -1, -1, -1, -1, -1};
    // The last enemy count.
    bool enemySeen = false, enemyAttacking = false, squadAttacking = false;
    int32_t enemySeenCount = 0;
};

extern MusicMoodState MoodState;
// Made at start-up, kept to the end of the run.
extern CdPlayer* CdPlayerInstance;
extern WaveOutVolume* WaveVolumeInstance;
// The program's one music stream; whoever needs it and finds none makes it.
extern MusicStream* MoodStream;

// The stream file of a stream index 0 to 7 (relative to the working directory).
const char* MusicStreamName(int32_t index);

// Start-up: the CD player with its own device and 7 playlists (once), and the
// wave volume (once) set from the settings.
void MusicCreateCdPlayer();
void MusicCreateWaveVolume();
// Shutdown: deletes the CD player, the wave volume and the mood stream.
void MusicShutdown();

// The level's music on (the disc plays on from where it stopped, fading in)
// or off. Moods and kills carry over from the previous level.
void MusicStartLevel(bool on);
// Once a frame while a level is played, except during cutscenes.
void MusicUpdateMood();
void MusicRequestMood(MusicMood mood, bool keep, float fadeSeconds);
// Back to the mood before the upgrade screen.
void MusicResumeMood();
void MusicStartMoodMusic(MusicMood mood);
// Counts the enemy units drawn on screen and who is firing.
void MusicCountEnemies();
// A unit of team 2 was destroyed.
void MusicCountKill();

void MusicSetCdVolume(int32_t value);
void MusicSetStreamVolume(int32_t value);
int32_t MusicGetStreamVolume();
void MusicMute();
void MusicUnmute();
void MusicFadeOutCd();
void MusicFadeInCd();
void MusicStopCd();
// After a disc arrives.
void MusicRestartCd();
