// The music moods on the virtual clock, with a fake source of client
// objects, the recording fake of the media layer for the CD and the fake
// decoder for the streams: which mood the music heads for, which stream
// plays, and how the CD's volume follows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/dsound/mixer.h"
#include "sound/cd_player.h"
#include "sound/music_moods.h"
#include "sound/music_object_source.h"
#include "sound/music_settings.h"
#include "sound/music_stream.h"
#include "sound/wave_out_volume.h"
#include "tests/sound/music_fixture.h"
#include "tests/support/fake_decoder.h"

namespace {

class FakeObjects final : public MusicObjectSource {
public:
    void ForEachObject(const std::function<void(const MusicObjectView&)>& visit) override {
        for (const MusicObjectView& o : objects) visit(o);
    }
    int32_t LocalTeam() override { return localTeam; }

    std::vector<MusicObjectView> objects;
    int32_t localTeam = 1;
};

// A unit of team 2 on screen.
MusicObjectView Enemy(bool firing) { return {true, true, true, firing, 2}; }
std::vector<MusicObjectView> Enemies(int count, int firing) {
    std::vector<MusicObjectView> all;
    for (int i = 0; i < count; ++i) all.push_back(Enemy(i < firing));
    return all;
}

class MoodTest : public MusicTest {
protected:
    void SetUp() override {
        MusicTest::SetUp();
        for (int32_t i = 0; MusicStreamName(i); ++i) {
            std::string name = MusicStreamName(i);
            std::replace(name.begin(), name.end(), '\\', '/');
            dir.Write(name, FakeSoundFile({22050, 1, 44100}));
        }
        MoodState = MusicMoodState{};
        MusicSettings = MusicUserSettings{};
        InstallMusicObjectSource(&objects);
        MusicCreateCdPlayer();
        MusicStartLevel(true);
        // Nobody in sight: the music settles in AMBIENT, the CD at its volume.
        Run(9.5);
        ASSERT_EQ(kMoodAmbient, MoodState.currentMood);
        ASSERT_FALSE(MoodState.changePending);
    }
    void TearDown() override {
        MusicShutdown();
        InstallMusicObjectSource(nullptr);
        MoodState = MusicMoodState{};
        MusicTest::TearDown();
    }

    // Frames at 30 a second: the mood's update and the CD's fade.
    void Run(double seconds) {
        for (int i = 0; i < static_cast<int>(seconds * 30 + 0.5); ++i) {
            sound->MoveSeconds(1.0 / 30);
            MusicUpdateMood();
            CdPlayerInstance->UpdateFade();
        }
    }
    // The stream indices opened so far.
    std::vector<int32_t> Opened() const {
        std::vector<int32_t> indices;
        for (const std::string& path : decoder.Opened())
            for (int32_t i = 0; MusicStreamName(i); ++i) {
                const std::string name = std::strrchr(MusicStreamName(i), '\\') + 1;
                if (path.size() >= name.size() && path.compare(path.size() - name.size(), name.size(), name) == 0)
                    indices.push_back(i);
            }
        return indices;
    }
    int32_t Cd() const { return CdPlayerInstance->GetVolume(); }
    // Into battle: enemies fire, and the 2-s change completes.
    void StartBattle() {
        objects.objects = Enemies(3, 1);
        Run(2.1);
        ASSERT_EQ(kMoodBattle, MoodState.currentMood);
    }

    FakeDecoder decoder;
    FakeObjects objects;
};

TEST_F(MoodTest, StartUpMakesThePlayersOnceAndShutdownPutsTheLinesBack) {
    CdPlayer* player = CdPlayerInstance;
    MusicCreateCdPlayer();
    EXPECT_EQ(player, CdPlayerInstance);
    EXPECT_EQ(MoodState.cdVolume, Cd());
    MusicCreateWaveVolume();
    EXPECT_EQ(35000, WaveVolumeInstance->GetVolume());
    EXPECT_FLOAT_EQ(35000.0f / 65535.0f, plat::GroupGain(plat::GainGroup::Wave));
    MusicShutdown();
    EXPECT_EQ(nullptr, CdPlayerInstance);
    EXPECT_EQ(nullptr, WaveVolumeInstance);
    EXPECT_EQ(1.0f, plat::GroupGain(plat::GainGroup::Wave));
    EXPECT_EQ(1.0f, plat::GroupGain(plat::GainGroup::Cd));
}

TEST_F(MoodTest, AmbientAndSuspenseRequestsBetweenEachOtherAreIgnored) {
    for (const auto& [current, asked] :
         {std::pair{kMoodAmbient, kMoodSuspense}, std::pair{kMoodSuspense, kMoodAmbient}}) {
        MoodState.currentMood = current;
        MusicRequestMood(asked, false, 1.0f);
        EXPECT_FALSE(MoodState.changePending) << current;
        MusicRequestMood(kMoodVictory, false, 1.0f);
        EXPECT_TRUE(MoodState.changePending) << current;
        MoodState.changePending = false;
    }
    // Nothing is asked while the mood music is off.
    MusicStartLevel(false);
    MusicRequestMood(kMoodVictory, false, 1.0f);
    EXPECT_FALSE(MoodState.changePending);
}

TEST_F(MoodTest, BattleNeedsEnoughEnemyUnitsOnScreenWithOneFiring) {
    MusicObjectView hidden = Enemy(true), dead = Enemy(true), object = Enemy(true), neutral = Enemy(true),
                    squad = Enemy(true);
    hidden.drawn = false;
    dead.alive = false;
    object.unit = false;
    neutral.team = 0;
    squad.team = 1;
    const struct {
        const char* what;
        std::vector<MusicObjectView> objects;
        int32_t streamVolume;
        bool battle;
    } cases[] = {
        {"three, one firing", Enemies(3, 1), 25480, true},
        {"two, both firing", Enemies(2, 2), 25480, false},
        {"three firing, one not drawn", {Enemy(true), Enemy(true), hidden}, 25480, false},
        {"three firing, one dead", {Enemy(true), Enemy(true), dead}, 25480, false},
        {"three firing, one not a unit", {Enemy(true), Enemy(true), object}, 25480, false},
        {"three firing, one neutral", {Enemy(true), Enemy(true), neutral}, 25480, false},
        {"three firing, one of the squad", {Enemy(true), Enemy(true), squad}, 25480, false},
        {"three, one firing, no stream volume", Enemies(3, 1), 0, false},
    };
    for (const auto& c : cases) {
        MoodState.currentMood = kMoodAmbient;
        MoodState.changePending = false;
        MoodState.streamVolume = c.streamVolume;
        objects.objects = c.objects;
        Run(1.0 / 30);
        EXPECT_EQ(c.battle, MoodState.changePending && MoodState.pendingMood == kMoodBattle) << c.what;
    }
}

TEST_F(MoodTest, SuccessiveBattlesPlayTheBattleTracksInTurnAndStartOver) {
    for (int battle = 0; battle < 8; ++battle) {
        StartBattle();
        EXPECT_EQ(0, Cd());
        Run(1.0);
        EXPECT_EQ(MoodState.streamVolume, MoodStream->GetVolume()); // faded in
        // The enemies go: 8 s later the music heads back to the CD over 8 s.
        objects.objects.clear();
        Run(16.5);
        ASSERT_EQ(kMoodAmbient, MoodState.currentMood) << battle;
        EXPECT_FALSE(MoodStream->IsOpen());
    }
    EXPECT_EQ((std::vector<int32_t>{1, 6, 4, 3, 7, 2, 5, 1}), Opened());
}

TEST_F(MoodTest, ExactlyTheVictoryKillsPauseTheMusicWhenNoEnemyIsSeenButNotThroughTheEightSecondRule) {
    const struct {
        const char* what;
        int kills;
        bool enemiesStay;
        MusicMood mood;
        float fade;
        int killsAfter;
    } cases[] = {
        {"500 kills, no enemy seen", 500, false, kMoodVictory, 0.5f, 0},
        {"500 kills, enemies seen", 500, true, kMoodAmbient, 8.0f, 500},
        {"501 kills, enemies seen", 501, true, kMoodVictory, 2.5f, 0},
    };
    for (const auto& c : cases) {
        StartBattle();
        for (int i = 0; i < c.kills; ++i) MusicCountKill();
        objects.objects = c.enemiesStay ? Enemies(3, 0) : std::vector<MusicObjectView>{};
        Run(c.enemiesStay ? 8.1 : 1.0 / 30);
        EXPECT_TRUE(MoodState.changePending) << c.what;
        EXPECT_EQ(c.mood, MoodState.pendingMood) << c.what;
        EXPECT_EQ(c.fade, MoodState.pendingFade) << c.what;
        EXPECT_EQ(c.killsAfter, MoodState.killCount) << c.what;
        objects.objects.clear();
        Run(30.0); // back to the CD
        ASSERT_EQ(kMoodAmbient, MoodState.currentMood) << c.what;
    }
}

TEST_F(MoodTest, ABattleCalledOffByTheCurrentMoodBringsTheCdBackWithinHalfASecond) {
    for (const MusicMood mood : {kMoodNone, kMoodAmbient, kMoodSuspense}) {
        MoodState.currentMood = mood;
        CdPlayerInstance->FadeTo(MoodState.cdVolume, 0.0f);
        objects.objects = Enemies(3, 1);
        Run(1.0 / 30);
        ASSERT_TRUE(MoodState.changePending) << mood;
        objects.objects = Enemies(3, 0); // still seen, no longer firing
        Run(1.0);
        EXPECT_LT(Cd(), MoodState.cdVolume * 6 / 10) << mood;
        MusicRequestMood(mood, false, 1.0f);
        EXPECT_FALSE(MoodState.changePending) << mood;
        Run(0.4);
        EXPECT_LT(Cd(), MoodState.cdVolume) << mood;
        Run(0.1 + 1.0 / 30);
        EXPECT_EQ(MoodState.cdVolume, Cd()) << mood;
        EXPECT_EQ(mood, MoodState.currentMood);
    }
    EXPECT_TRUE(Opened().empty());
}

TEST_F(MoodTest, MutingInBattleStopsTheStreamAndTheCdUntilUnmuted) {
    StartBattle();
    ASSERT_TRUE(MoodStream->IsOpen());
    const int32_t cdVolume = MoodState.cdVolume;
    MusicMute();
    EXPECT_FALSE(MoodStream->IsOpen());
    Run(1.0);
    EXPECT_EQ(0, Cd());
    EXPECT_EQ(0, MoodState.cdVolume);
    // Back to the calm moods and into battle again: the CD stays silent and no stream opens.
    objects.objects.clear();
    Run(16.5);
    ASSERT_EQ(kMoodAmbient, MoodState.currentMood);
    EXPECT_EQ(0, Cd());
    StartBattle();
    EXPECT_FALSE(MoodStream->IsOpen());
    EXPECT_EQ((std::vector<int32_t>{1}), Opened());
    Run(1.1);
    EXPECT_EQ(0, Cd());
    MusicUnmute();
    Run(1.0);
    EXPECT_NEAR(cdVolume / 2, Cd(), 700);
    Run(1.05);
    EXPECT_EQ(cdVolume, Cd());
}

TEST_F(MoodTest, ALevelStartedAfterOneThatEndedInBattleBeginsInBattleWithoutAStream) {
    StartBattle();
    // The level ends (the CD stops); the next level's loader deletes the
    // stream, then starts the level's music.
    MusicStopCd();
    delete MoodStream;
    MoodStream = nullptr;
    mci->TakePlays();
    MusicStartLevel(true);
    EXPECT_EQ(kMoodBattle, MoodState.currentMood);
    EXPECT_EQ(1u, mci->TakePlays().size());
    // The battle rules go on: 8 s after the last shot the music heads for the CD.
    objects.objects = Enemies(3, 0);
    Run(8.1);
    EXPECT_TRUE(MoodState.changePending);
    EXPECT_EQ(kMoodAmbient, MoodState.pendingMood);
    EXPECT_EQ(nullptr, MoodStream);
    EXPECT_EQ((std::vector<int32_t>{1}), Opened());
}

} // namespace
