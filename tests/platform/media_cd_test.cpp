// The CD drive of the media control layer: the disc read from its folder,
// positions that move with the clock, the notifications of its plays, and
// the sound its feeder puts into the mix.
#include <gtest/gtest.h>

#include "tests/platform/media_fixture.h"

namespace {

using namespace plat;

// Track 1 data (3 sectors), track 2 sound (1 s: 75 frames), track 3 no
// file (empty), track 4 sound (2.5 s at 22,050 Hz mono: 188 frames), so
// tracks start at 0, 3, 78 and 78, and the disc is 266 frames long.
class CdDriveTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        dir.Write("cd/track01.txt", std::string(5000, 'd'));
        dir.Write("cd/Track02.snd", FakeSoundFile({44100, 2, 44100}));
        dir.Write("cd/Track04.snd", FakeSoundFile({22050, 1, 55125}));
        Open();
    }
    void TearDown() override {
        if (id) mci->Close(id);
        MediaTest::TearDown();
    }

    void Open() {
        if (id) mci->Close(id);
        id = 0;
        ASSERT_EQ(kMciOk, mci->Open(kMciDeviceCdAudio, &id));
    }

    uint32_t Status(uint32_t item, uint32_t track = 0) {
        uint32_t value = 0;
        EXPECT_EQ(kMciOk, mci->Status(id, item, track, &value)) << "item " << item << " track " << track;
        return value;
    }
    // The position in disc frames.
    uint32_t Position() {
        mci->SetTimeFormat(id, kMciFormatMsf);
        return MciMsfToFrames(Status(kMciStatusPosition));
    }
    void MoveSeconds(double s) { sound->MoveSeconds(s); }

    std::shared_ptr<MciSystem> mci = CurrentMciSystem();
    MciDeviceId id = 0;
};

TEST_F(CdDriveTest, TheDiscIsTheFoldersTrackFilesAudioByContentDataOtherwiseWithoutGaps) {
    EXPECT_EQ(kMciModeStop, Status(kMciStatusMode));
    const struct {
        uint32_t track, frames, type;
    } tracks[] = {{1, 3, kMciCdaTrackOther}, {2, 75, kMciCdaTrackAudio}, {3, 0, kMciCdaTrackOther},
                  {4, 188, kMciCdaTrackAudio}};
    for (const auto& t : tracks) {
        for (const uint32_t format : {kMciFormatMsf, kMciFormatTmsf}) {
            mci->SetTimeFormat(id, format);
            EXPECT_EQ(MciFramesToMsf(t.frames), Status(kMciStatusLength, t.track)) << "track " << t.track;
        }
        EXPECT_EQ(t.type, Status(kMciCdaStatusTypeTrack, t.track)) << "track " << t.track;
    }
    uint32_t value = 0;
    EXPECT_EQ(kMciErrOutOfRange, mci->Status(id, kMciStatusLength, 5, &value));
    EXPECT_EQ(kMciErrOutOfRange, mci->Status(id, kMciCdaStatusTypeTrack, 0, &value));
    EXPECT_EQ(MciFramesToMsf(266), Status(kMciStatusLength));
    EXPECT_EQ(kMciErrBadTimeFormat, mci->SetTimeFormat(id, 0));
}

TEST_F(CdDriveTest, NoFolderNoTrackFilesOrNoDecoderIsADriveWithoutADisc) {
    const auto expectNoDisc = [&](const char* what) {
        Open();
        EXPECT_EQ(kMciModeOpen, Status(kMciStatusMode)) << what;
        uint32_t value = 0;
        EXPECT_EQ(kMciErrDeviceNotReady, mci->Status(id, kMciStatusLength, 1, &value)) << what;
        EXPECT_EQ(kMciErrDeviceNotReady, mci->Play(id, kMciNotify, 0, 0)) << what;
        EXPECT_EQ(kMciErrDeviceNotReady, mci->Stop(id, kMciWait)) << what;
        EXPECT_TRUE(Notifications().empty()) << what;
    };
    std::filesystem::remove_all(dir / "cd");
    expectNoDisc("no folder");
    dir.Write("cd/readme.txt", "a folder of other files");
    dir.Write("cd/Track.snd", FakeSoundFile({}));
    dir.Write("cd/Track00.snd", FakeSoundFile({}));
    expectNoDisc("no track files");
    dir.Write("cd/Track02.snd", FakeSoundFile({}));
    RegisterAudioDecoder(nullptr);
    expectNoDisc("no decoder");
}

TEST_F(CdDriveTest, TheDiscIsReadAgainWhenItsFilesChange) {
    dir.Write("cd/Track05.snd", FakeSoundFile({44100, 2, 4410}));
    EXPECT_EQ(kMciCdaTrackAudio, Status(kMciCdaStatusTypeTrack, 5));
    EXPECT_EQ(MciFramesToMsf(274), Status(kMciStatusLength));
    std::filesystem::remove_all(dir / "cd");
    EXPECT_EQ(kMciModeOpen, Status(kMciStatusMode));
}

TEST_F(CdDriveTest, PositionsFollowTheClockAndATmsfStartPastItsTrackGoesOnInTheNextTracks) {
    mci->SetTimeFormat(id, kMciFormatTmsf);
    // 10 frames into track 1, which has 3: frame 10 of the disc, track 2.
    ASSERT_EQ(kMciOk, mci->Play(id, kMciFrom, MciMakeTmsf(1, 0, 0, 10), 0));
    EXPECT_EQ(kMciModePlay, Status(kMciStatusMode));
    EXPECT_EQ(MciMakeTmsf(2, 0, 0, 7), Status(kMciStatusPosition));
    EXPECT_EQ(2u, Status(kMciStatusCurrentTrack));
    MoveSeconds(1.0); // 75 frames: disc frame 85, track 4 (track 3 is empty)
    EXPECT_EQ(MciMakeTmsf(4, 0, 0, 7), Status(kMciStatusPosition));
    EXPECT_EQ(4u, Status(kMciStatusCurrentTrack));
    EXPECT_EQ(85u, Position());

    ASSERT_EQ(kMciOk, mci->Pause(id, kMciWait));
    EXPECT_EQ(kMciModePause, Status(kMciStatusMode));
    MoveSeconds(2.0);
    EXPECT_EQ(85u, Position());
    ASSERT_EQ(kMciOk, mci->Resume(id, 0));
    MoveSeconds(0.2);
    EXPECT_EQ(100u, Position());
    ASSERT_EQ(kMciOk, mci->Stop(id, kMciWait));
    MoveSeconds(1.0);
    EXPECT_EQ(100u, Position());
    EXPECT_EQ(kMciModeStop, Status(kMciStatusMode));

    // A play without a start goes on from where the drive stands.
    ASSERT_EQ(kMciOk, mci->Play(id, 0, 0, 0));
    MoveSeconds(0.4);
    EXPECT_EQ(130u, Position());
}

TEST_F(CdDriveTest, PlaysOutsideTheDiscAreRefused) {
    mci->SetTimeFormat(id, kMciFormatTmsf);
    const struct {
        uint32_t flags, from, to;
    } cases[] = {
        {kMciFrom, MciMakeTmsf(5, 0, 0, 0), 0},                                // no track 5
        {kMciFrom, MciMakeTmsf(0, 0, 0, 0), 0},                                // no track 0
        {kMciFrom, MciMakeTmsf(4, 0, 2, 64), 0},                               // past the disc's end
        {kMciFrom | kMciTo, MciMakeTmsf(4, 0, 0, 0), MciMakeTmsf(2, 0, 0, 0)}, // backwards
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kMciErrOutOfRange, mci->Play(id, c.flags | kMciNotify, c.from, c.to)) << std::hex << c.from;
        EXPECT_EQ(kMciModeStop, Status(kMciStatusMode));
    }
    EXPECT_TRUE(Notifications().empty());
}

TEST_F(CdDriveTest, ANotifyingPlaySucceedsOnceAtItsEndAndTheDriveRestsOnItsLastFrame) {
    mci->SetTimeFormat(id, kMciFormatTmsf);
    ASSERT_EQ(kMciOk, mci->Play(id, kMciNotify | kMciFrom | kMciTo, MciMakeTmsf(2, 0, 0, 0), MciMakeTmsf(2, 0, 1, 0)));
    MoveSeconds(0.99);
    EXPECT_TRUE(Notifications().empty());
    EXPECT_EQ(kMciModePlay, Status(kMciStatusMode));
    MoveSeconds(0.02);
    const std::vector<MciNotification> ended = Notifications();
    ASSERT_EQ(1u, ended.size());
    EXPECT_EQ(kMciNotifySuccessful, ended[0].flags);
    EXPECT_EQ(id, ended[0].device);
    EXPECT_EQ(kMciModeStop, Status(kMciStatusMode));
    EXPECT_EQ(77u, Position());
    EXPECT_EQ(2u, Status(kMciStatusCurrentTrack));
    MoveSeconds(2.0);
    EXPECT_TRUE(Notifications().empty());

    // A play of nothing ends at once.
    mci->SetTimeFormat(id, kMciFormatTmsf);
    ASSERT_EQ(kMciOk, mci->Play(id, kMciNotify | kMciFrom | kMciTo, MciMakeTmsf(4, 0, 0, 0), MciMakeTmsf(3, 0, 0, 0)));
    ASSERT_EQ(1u, Notifications().size());
}

TEST_F(CdDriveTest, ANewPlaySupersedesANotifyingPlayAndAStopAbortsIt) {
    ASSERT_EQ(kMciOk, mci->Play(id, kMciNotify, 0, 0));
    ASSERT_EQ(kMciOk, mci->Play(id, kMciNotify, 0, 0));
    ASSERT_EQ(kMciOk, mci->Play(id, 0, 0, 0)); // supersedes the second, notifies nothing itself
    ASSERT_EQ(kMciOk, mci->Stop(id, kMciWait));
    ASSERT_EQ(kMciOk, mci->Play(id, kMciNotify, 0, 0));
    ASSERT_EQ(kMciOk, mci->Stop(id, kMciWait));
    ASSERT_EQ(kMciOk, mci->Stop(id, kMciWait));
    ASSERT_EQ(kMciOk, mci->Play(id, kMciNotify, 0, 0));
    mci->Close(id); // closing notifies nothing
    id = 0;
    std::vector<uint32_t> flags;
    for (const MciNotification& n : Notifications()) flags.push_back(n.flags);
    EXPECT_EQ((std::vector<uint32_t>{kMciNotifySuperseded, kMciNotifySuperseded, kMciNotifyAborted}), flags);
}

TEST_F(CdDriveTest, ADecodeErrorEndsThePlayWithAFailure) {
    dir.Write("cd/Track02.snd", FakeSoundFile({44100, 2, 44100, 30000}));
    mci->SetTimeFormat(id, kMciFormatTmsf);
    ASSERT_EQ(kMciOk, mci->Play(id, kMciNotify | kMciFrom, MciMakeTmsf(2, 0, 0, 0), 0));
    std::vector<MciNotification> ended;
    // The feeder decodes half a second ahead: the failure comes as the play nears it.
    ASSERT_TRUE(WaitFor([&] {
        sound->MoveSeconds(0.01);
        ended = Notifications();
        return !ended.empty();
    }));
    EXPECT_EQ(kMciNotifyFailure, ended[0].flags);
    EXPECT_EQ(kMciModeStop, Status(kMciStatusMode));
    EXPECT_LT(Position(), 3u + 75u);
}

TEST_F(CdDriveTest, TheFeederPutsTheDiscsSoundIntoTheMixInTimeAcrossTracks) {
    MixAt(44100, 2);
    mci->SetTimeFormat(id, kMciFormatTmsf);
    // The last 2 frames of track 2 (its samples 42,924 on), then track 4 from its start.
    ASSERT_EQ(kMciOk, mci->Play(id, kMciFrom, MciMakeTmsf(1, 0, 0, 76), 0));
    const auto expected = [](uint64_t played) {
        return played < 1176 ? FakeSample(42924 + played) : FakeSample(played - 1176);
    };
    // Before the clock moves the feeder has written half a second ahead.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::vector<int16_t> first = Mix(4410);
    ASSERT_EQ(4410u * 2, first.size());
    for (uint64_t i = 0; i < 4410; ++i) {
        ASSERT_EQ(expected(i), first[i * 2]) << "frame " << i;
        ASSERT_EQ(expected(i), first[i * 2 + 1]) << "frame " << i;
    }
    // A jump past what was decoded: the feeder skips to where the clock is.
    Mix(44100);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::vector<int16_t> later = Mix(441);
    for (uint64_t i = 0; i < 441; ++i) ASSERT_EQ(expected(4410 + 44100 + i), later[i * 2]) << "frame " << i;
}

} // namespace
