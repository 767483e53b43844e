// The CD player on the sample disc of the data tree (data track 1, audio
// tracks 2 to 4 of 3, 3 and 4 s, data track 5), decoded by FFmpeg and
// played on the silent backend as the clock moves.
#include <gtest/gtest.h>

#include "platform/media/audio_decoder.h"
#include "platform/media/mixer_lines.h"
#include "platform/paths.h"
#include "platform/sdl/ffmpeg_decoder.h"
#include "sound/cd_audio_device.h"
#include "sound/cd_player.h"
#include "tests/support/silent_sound.h"

namespace {

using namespace plat;

class SampleCdTest : public testing::Test {
protected:
    void SetUp() override {
        previousDir_ = GetCurrentDir();
        ASSERT_TRUE(SetCurrentDir(TAVRIN_DATA_DIR)) << "build the sample_data target first";
        RegisterFfmpegDecoder();
        InstallMixers(DefaultMixers());
        sound = std::make_unique<SilentSound>();
        Deliver();
        player = std::make_unique<CdPlayer>(nullptr, 7);
    }
    void TearDown() override {
        player.reset();
        Deliver();
        sound.reset();
        RegisterAudioDecoder(nullptr);
        SetCurrentDir(previousDir_);
    }

    // Hands the queued notifications to the player; returns their flags.
    std::vector<uint32_t> Deliver() {
        std::vector<uint32_t> flags;
        for (MciNotification n; TakeMciNotify(&n);) {
            flags.push_back(n.flags);
            if (player) player->OnMciNotify(n.flags, n.device);
        }
        return flags;
    }
    // The drive's position in disc frames, and its track.
    uint32_t Position() {
        const MciDeviceId id = player->Device().DeviceId();
        CurrentMciSystem()->SetTimeFormat(id, kMciFormatMsf);
        uint32_t msf = 0;
        CurrentMciSystem()->Status(id, kMciStatusPosition, 0, &msf);
        CurrentMciSystem()->SetTimeFormat(id, kMciFormatTmsf);
        return MciMsfToFrames(msf);
    }
    uint32_t Track() {
        uint32_t track = 0;
        CurrentMciSystem()->Status(player->Device().DeviceId(), kMciStatusCurrentTrack, 0, &track);
        return track;
    }

    std::unique_ptr<SilentSound> sound;
    std::unique_ptr<CdPlayer> player;

private:
    std::string previousDir_;
};

TEST_F(SampleCdTest, WholeDiscPlayRunsFromTrack2ToTheEndOfTrack4ThenStartsOverWithRepeat) {
    EXPECT_EQ(2, player->Device().FirstTrack());
    EXPECT_EQ(4, player->Device().LastTrack());
    for (const bool repeat : {false, true}) {
        player->PlayDisc(repeat, true);
        EXPECT_EQ(2u, Track());
        EXPECT_EQ(1u, Position());
        sound->MoveSeconds(9.99);
        EXPECT_TRUE(Deliver().empty());
        EXPECT_EQ(4u, Track());
        sound->MoveSeconds(0.02);
        EXPECT_EQ(std::vector<uint32_t>{kMciNotifySuccessful}, Deliver());
        if (repeat) {
            EXPECT_EQ(kMciModePlay, player->Mode());
            EXPECT_EQ(2u, Track());
            EXPECT_EQ(1u, Position());
        } else {
            EXPECT_EQ(kMciModeStop, player->Mode());
            EXPECT_EQ(4u, Track());
        }
    }
}

TEST_F(SampleCdTest, ADiscStoppedMidwayResumesWithinAFrameAndOneStoppedInItsLastTrackStartsOver) {
    player->PlayDisc(true, false);
    sound->MoveSeconds(4.3);
    const uint32_t stoppedAt = Position();
    EXPECT_EQ(3u, Track());
    EXPECT_TRUE(player->Stop());
    EXPECT_EQ(std::vector<uint32_t>{kMciNotifyAborted}, Deliver());
    sound->MoveSeconds(1.0);

    player->PlayDisc(true, false);
    EXPECT_NEAR(stoppedAt, Position(), 1.0);
    sound->MoveSeconds(2.0); // into track 4
    EXPECT_EQ(4u, Track());
    player->Stop();
    player->PlayDisc(true, false);
    EXPECT_EQ(2u, Track());
    EXPECT_EQ(1u, Position());
}

} // namespace
