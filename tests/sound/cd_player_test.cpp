// The CD device and player over a recording fake of the media layer: the
// track table, playlists, whole-disc play with its resume position,
// stepping, the notification rules, the mixer's CD lines and the fades.
#include <gtest/gtest.h>

#include <climits>

#include "core/clock.h"
#include "platform/dsound/mixer.h"
#include "sound/cd_audio_device.h"
#include "sound/cd_player.h"
#include "sound/wave_out_volume.h"
#include "tests/sound/music_fixture.h"

namespace {

using namespace plat;
using Plays = std::vector<std::pair<uint32_t, uint32_t>>;

class CdPlayerTest : public MusicTest {
protected:
    void SetUp() override {
        MusicTest::SetUp();
        player = std::make_unique<CdPlayer>(nullptr, 7);
    }
    void TearDown() override {
        player.reset();
        MusicTest::TearDown();
    }

    CdAudioDevice& Device() { return player->Device(); }
    // The running play ends and its success reaches the player.
    void EndPlay() {
        mci->EndPlay();
        player->OnMciNotify(kMciNotifySuccessful, Device().DeviceId());
    }
    // The end of each track's record.
    static uint32_t End(uint32_t track, uint32_t frames) { return Tmsf(track, frames); }

    std::unique_ptr<CdPlayer> player;
};

TEST_F(CdPlayerTest, TheDeviceKeepsTheAudioTracksAndTheWholeDiscRecord) {
    EXPECT_EQ(2, Device().FirstTrack());
    EXPECT_EQ(4, Device().LastTrack());
    ASSERT_EQ(3u, Device().Tracks().size());
    EXPECT_EQ(2u, Device().Tracks()[0].from);
    EXPECT_EQ(End(2, 225), Device().Tracks()[0].to);
    EXPECT_EQ(End(4, 300), Device().Tracks()[2].to);
    EXPECT_EQ(2u, Device().DiscPlay().from);
    EXPECT_EQ(End(4, 300), Device().DiscPlay().to);
    EXPECT_EQ(kMciModeStop, player->Mode());
    EXPECT_EQ(7, player->PlaylistCount());
}

TEST_F(CdPlayerTest, WithoutADriveOrADiscNothingPlays) {
    for (const bool drive : {false, true}) {
        player.reset();
        mci->openFails = !drive;
        mci->disc.clear();
        player = std::make_unique<CdPlayer>(nullptr, 12);
        EXPECT_EQ(drive, Device().IsOpen());
        EXPECT_EQ(10, player->PlaylistCount());
        const int32_t tracks[] = {2, 3};
        player->SetPlaylist(0, tracks, 2, true);
        player->SelectPlaylist(0, true);
        player->PlayDisc(true, false);
        player->PlayStepping(true);
        EXPECT_TRUE(mci->TakePlays().empty());
        // The lines work with a drive, disc or none.
        EXPECT_EQ(drive ? 65535 : 0, player->GetVolume());
        EXPECT_NE(kMciModePlay, player->Mode());
    }
}

TEST_F(CdPlayerTest, APlaylistPlaysItsTracksInTurnAndStartsOverOnlyWithRepeat) {
    for (const bool repeat : {false, true}) {
        const int32_t tracks[] = {3, 2, 4};
        player->SetPlaylist(1, tracks, 3, repeat);
        player->SelectPlaylist(1, true);
        Plays expected = {{3, End(3, 225)}};
        for (int i = 0; i < 3; ++i) {
            EndPlay();
            if (i == 0) expected.push_back({2, End(2, 225)});
            if (i == 1) expected.push_back({4, End(4, 300)});
        }
        if (repeat) expected.push_back({3, End(3, 225)});
        EXPECT_EQ(expected, mci->TakePlays()) << (repeat ? "with repeat" : "without repeat");
        EXPECT_EQ(repeat ? kMciModePlay : kMciModeStop, player->Mode());
        EXPECT_EQ(repeat ? 0 : 2, player->Position(1));
        if (repeat) EndPlay();
        mci->TakePlays();
    }
}

TEST_F(CdPlayerTest, ADataTrackBetweenAudioTracksShiftsNoTrack) {
    player.reset();
    mci->disc = {{225, true}, {75, false}, {225, true}};
    player = std::make_unique<CdPlayer>(nullptr, 7);
    // Audio tracks 1 and 3 are the device's first and second records: each is found by its number.
    const int32_t tracks[] = {3, 1};
    player->SetPlaylist(0, tracks, 2, false);
    player->SelectPlaylist(0, true);
    EndPlay();
    EXPECT_EQ((Plays{{3, End(3, 225)}, {1, End(1, 225)}}), mci->TakePlays());
}

TEST_F(CdPlayerTest, SupersededAbortedAndFailedNotificationsOnlyRefreshTheMode) {
    const int32_t tracks[] = {2, 3};
    player->SetPlaylist(0, tracks, 2, true);
    player->SelectPlaylist(0, true);
    mci->TakePlays();
    for (const uint32_t flags : {kMciNotifySuperseded, kMciNotifyAborted, kMciNotifyFailure}) {
        mci->mode = kMciModeStop;
        const size_t commands = mci->commands.size();
        player->OnMciNotify(flags, Device().DeviceId());
        EXPECT_EQ(commands, mci->commands.size()) << flags;
        EXPECT_EQ(kMciModeStop, player->Mode()) << flags;
        mci->mode = kMciModePause;
        player->OnMciNotify(flags, Device().DeviceId());
        EXPECT_EQ(kMciModePause, player->Mode()) << flags;
        EXPECT_EQ(kMciModeStop, player->PreviousMode()) << flags;
    }
    // Another device's success is not this player's.
    mci->mode = kMciModeStop;
    player->OnMciNotify(kMciNotifySuccessful, Device().DeviceId() + 1);
    EXPECT_TRUE(mci->TakePlays().empty());
}

TEST_F(CdPlayerTest, PlaylistNumbersOutsideThePlayersTablesAreIgnored) {
    const int32_t tracks[] = {2, 3, 4, 2, 3, 4, 2, 3, 4, 2, 3, 4, 2, 3, 4, 2, 3, 4, 2, 3, 4, 2};
    player->SetPlaylist(2, tracks, 22, false);
    player->SelectPlaylist(2, false);
    for (const int32_t p : {-1, 7, 9, 10, 1000, INT_MIN, INT_MAX}) {
        player->SetPlaylist(p, tracks, 3, true);
        player->AppendToPlaylist(p, tracks, 3);
        player->SelectPlaylist(p, true);
        EXPECT_EQ(2, player->CurrentPlaylist()) << p;
    }
    EXPECT_TRUE(mci->TakePlays().empty());
    // At most 20 tracks were kept.
    player->SelectPlaylist(2, true);
    for (int i = 0; i < 25; ++i) EndPlay();
    EXPECT_EQ(20u, mci->TakePlays().size());
}

TEST_F(CdPlayerTest, WholeDiscPlayEndsAfterTheLastAudioTrackAndStartsOverWithRepeat) {
    for (const bool repeat : {false, true}) {
        player->PlayDisc(repeat, true);
        EXPECT_EQ((Plays{{2, End(4, 300)}}), mci->TakePlays());
        EXPECT_EQ(kMciModePlay, player->Mode());
        EndPlay();
        const Plays again = repeat ? Plays{{2, End(4, 300)}} : Plays{};
        EXPECT_EQ(again, mci->TakePlays()) << repeat;
        EXPECT_EQ(repeat ? kMciModePlay : kMciModeStop, player->Mode());
        player->Stop();
    }
}

TEST_F(CdPlayerTest, AStoppedDiscResumesWhereItStoppedUnlessInItsLastTrackRestartedOrChanged) {
    const uint32_t midTrack3 = mci->TrackStart(3) + 100;
    const struct {
        const char* what;
        uint32_t stoppedAt;
        bool restart, changeDisc;
        uint32_t from;
    } cases[] = {
        {"mid-disc", midTrack3, false, false, MciFramesToMsf(midTrack3) << 8 | 1},
        {"in the last track", mci->TrackStart(4) + 10, false, false, 2},
        {"restarted", midTrack3, true, false, 2},
        {"another disc", midTrack3, false, true, 2},
    };
    for (const auto& c : cases) {
        player->PlayDisc(true, true);
        mci->position = c.stoppedAt;
        EXPECT_TRUE(player->Stop());
        if (c.changeDisc) mci->disc.push_back({300, true});
        mci->TakePlays();
        player->PlayDisc(true, c.restart);
        const Plays plays = mci->TakePlays();
        ASSERT_EQ(1u, plays.size()) << c.what;
        EXPECT_EQ(c.from, plays[0].first) << c.what;
        EXPECT_EQ(Device().DiscPlay().to, plays[0].second) << c.what;
        player->Stop();
        if (c.changeDisc) {
            mci->disc.pop_back();
            player->PlayDisc(true, true);
            player->Stop();
        }
    }
    // The resume position is an offset from track 1 that the drive follows into track 3.
    player->PlayDisc(true, true);
    mci->position = midTrack3;
    player->Stop();
    player->PlayDisc(true, false);
    EXPECT_EQ(midTrack3, mci->position);
}

TEST_F(CdPlayerTest, SteppingPlaysTheDiscTrackByTrackAndStartsOverWithRepeat) {
    for (const bool repeat : {true, false}) {
        player->PlayStepping(repeat);
        EXPECT_TRUE(player->Stepping());
        for (int i = 0; i < 3; ++i) EndPlay();
        const Plays expected = repeat ? Plays{{2, End(2, 225)}, {3, End(3, 225)}, {4, End(4, 300)}, {2, End(2, 225)}}
                                      : Plays{{2, End(2, 225)}, {3, End(3, 225)}, {4, End(4, 300)}};
        EXPECT_EQ(expected, mci->TakePlays()) << repeat;
        EXPECT_EQ(repeat, player->Stepping());
        player->Stop();
    }
}

TEST_F(CdPlayerTest, AFadeFollowsTheRealClockNeverOvershootsAndEndsExactlyAtItsTarget) {
    player->SetVolume(0);
    player->StartFade(0, 65535, 2.0f);
    int32_t last = 0;
    for (int frame = 1; frame <= 150; ++frame) { // 2.5 s at 60 frames a second
        sound->MoveSeconds(1.0 / 60);
        player->UpdateFade();
        const int32_t v = player->GetVolume();
        ASSERT_GE(v, last) << "frame " << frame;
        ASSERT_LE(v, 65535) << "frame " << frame;
        ASSERT_FLOAT_EQ(static_cast<float>(v) / 65535.0f, GroupGain(GainGroup::Cd)) << "frame " << frame;
        if (frame == 60) {
            EXPECT_LE(v, 32767);
            EXPECT_GE(v, 32767 - 100);
        }
        last = v;
    }
    EXPECT_EQ(65535, last);
    EXPECT_FALSE(player->Fading());

    // Down from the current volume; a fade of no time ends at once.
    player->FadeTo(1000, 0.5f);
    sound->MoveSeconds(0.6);
    player->UpdateFade();
    EXPECT_EQ(1000, player->GetVolume());
    player->FadeTo(20000, 0.0f);
    EXPECT_EQ(20000, player->GetVolume());
    EXPECT_FALSE(player->Fading());
}

TEST_F(CdPlayerTest, TheCdLinesAreTheMixersCompactDiscAndCdspdifLinesRestoredWhenTheDeviceGoes) {
    player.reset();
    std::vector<MixerSourceDescription> lines = {
        {kMixerSourceDigital, "CDSPDIF", 0, true, 1000, std::nullopt},
        {kMixerSourceDigital, "SPDIF", 0, true, 1100, std::nullopt},
        {kMixerSourceCompactDisc, "CD", kMixerLineDisconnected, true, 1200, std::nullopt},
        {kMixerSourceWaveOut, "Wave", 0, true, 1300, std::nullopt},
        {kMixerSourceCompactDisc, "CD", 0, true, 2000, std::nullopt},
    };
    InstallMixers({{"card", lines}});
    const auto value = [](uint32_t line) {
        MixerHandle h = 0;
        MixerOpen(0, &h);
        uint32_t v = 0;
        MixerControlDetails d;
        d.controlId = line + 1;
        d.values = &v;
        MixerGetControlDetails(h, &d);
        MixerClose(h);
        return v;
    };
    auto* device = new CdAudioDevice;
    EXPECT_TRUE(device->Lines().Used(0) && device->Lines().Used(1) && !device->Lines().Used(2));
    // Both take the first line's value at once, and every volume after.
    EXPECT_EQ(1000u, value(4));
    device->SetVolume(5000);
    EXPECT_EQ((std::vector<uint32_t>{5000, 1100, 1200, 1300, 5000}),
              (std::vector<uint32_t>{value(0), value(1), value(2), value(3), value(4)}));
    EXPECT_EQ(5000, device->GetVolume());
    auto* wave = new WaveOutVolume;
    wave->SetVolume(7000);
    EXPECT_EQ(7000u, value(3));
    wave->Release();
    device->Release();
    EXPECT_EQ((std::vector<uint32_t>{1000, 1100, 1200, 1300, 2000}),
              (std::vector<uint32_t>{value(0), value(1), value(2), value(3), value(4)}));

    // No more than 8 lines in all.
    InstallMixers({{"a", std::vector<MixerSourceDescription>(5, lines[4])},
                   {"b", std::vector<MixerSourceDescription>(5, lines[0])}});
    device = new CdAudioDevice;
    EXPECT_TRUE(device->Lines().Used(7));
    EXPECT_EQ(1u, device->Lines().MixerId(7));
    device->SetVolume(3);
    device->Release();
}

} // namespace
