// Movie files, sound only: frame counts and rates, pacing on the layer's
// clock, each frame's sound into the mix at the set volume, the loop back to
// frame 0, the end of a file's sound, pause, and files that do not open.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/media/bink.h"
#include "tests/platform/media_fixture.h"

namespace {

using namespace plat;

constexpr uint32_t kFrameSamples = 735; // 22,050 Hz at 30 frames a second

class BinkTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        BinkSetSoundSystem(BinkOpenDirectSound, ds.get());
        MixAt(22050, 1);
    }
    void TearDown() override {
        if (bink) BinkClose(bink);
        BinkSetSoundSystem(nullptr, nullptr);
        MediaTest::TearDown();
    }

    Bink* Open(const FakeSound& sound) {
        dir.Write("music.bik", FakeSoundFile(sound));
        bink = BinkOpen("MUSIC.BIK", 0);
        return bink;
    }

    // Decodes every due frame as a decode thread would; without looping it
    // stops after the last frame. Returns the frames decoded.
    int DecodeDue(bool loop = true) {
        int n = 0;
        while (!BinkWait(bink) && !(done && !loop)) {
            BinkDoFrame(bink);
            done = BinkCurrentFrame(bink) + 1 == BinkFrameCount(bink);
            BinkNextFrame(bink);
            ++n;
        }
        return n;
    }

    // Runs frame by frame for `frames` frames; returns the mix.
    std::vector<int16_t> Run(int frames, bool loop = true) {
        std::vector<int16_t> mixed;
        DecodeDue(loop);
        for (int i = 0; i < frames; ++i) {
            const std::vector<int16_t> part = Mix(kFrameSamples);
            mixed.insert(mixed.end(), part.begin(), part.end());
            DecodeDue(loop);
        }
        return mixed;
    }

    Bink* bink = nullptr;
    bool done = false;
};

TEST_F(BinkTest, FramesRunAtTheVideoRateOrThirtyASecondForSoundAlone) {
    const struct {
        const char* what;
        FakeSound sound;
        uint32_t frames;
    } cases[] = {
        {"2 s of sound", {22050, 1, 44100}, 60},
        {"a part frame more", {22050, 1, 44101}, 61},
        {"25 frames a second, 50 frames", {22050, 2, 44100, -1, 25, 1, 50}, 50},
        {"23.976 frames a second, count unknown", {44100, 2, 88200, -1, 24000, 1001, 0}, 48},
    };
    for (const auto& c : cases) {
        ASSERT_NE(nullptr, Open(c.sound)) << c.what;
        EXPECT_EQ(c.frames, BinkFrameCount(bink)) << c.what;
        EXPECT_EQ(0u, BinkCurrentFrame(bink)) << c.what;
        BinkClose(bink);
        bink = nullptr;
    }
}

TEST_F(BinkTest, AQuarterSecondOfFramesIsDueAtOnceThenOneFramePerFrameTimeAndNoneWhilePaused) {
    ASSERT_NE(nullptr, Open({22050, 1, 88200}));
    EXPECT_EQ(9, DecodeDue()); // frames 0 to 8
    EXPECT_EQ(0, DecodeDue());
    sound->MoveFrames(kFrameSamples, 22050);
    EXPECT_EQ(1, DecodeDue());
    sound->MoveFrames(22050, 22050);
    EXPECT_EQ(30, DecodeDue());
    EXPECT_EQ(40u, BinkCurrentFrame(bink));

    BinkPause(bink, true);
    sound->MoveFrames(44100, 22050);
    EXPECT_EQ(0, DecodeDue());
    BinkPause(bink, false);
    EXPECT_EQ(0, DecodeDue()); // paused time does not count
    sound->MoveFrames(kFrameSamples, 22050);
    EXPECT_EQ(1, DecodeDue());
}

TEST_F(BinkTest, EachFramesSoundReachesTheMixAtTheSetVolume) {
    ASSERT_NE(nullptr, Open({22050, 1, 88200}));
    const std::vector<int16_t> full = Run(10);
    for (uint32_t i = 0; i < full.size(); ++i) ASSERT_EQ(FakeSample(i), full[i]) << "sample " << i;

    BinkSetVolume(bink, 16384);
    const std::vector<int16_t> half = Run(10);
    for (uint32_t i = 0; i < half.size(); ++i) {
        const double expected = FakeSample(full.size() + i) / 2.0;
        ASSERT_NEAR(expected, half[i], 1.0 + expected * 0.001) << "sample " << i;
    }
    BinkSetVolume(bink, 0);
    for (const int16_t s : Run(3)) ASSERT_EQ(0, s);
}

TEST_F(BinkTest, AfterTheLastFrameALoopGoesBackToFrameZeroAndOtherwiseTheSoundEnds) {
    // 1.5 s, longer than the buffer's turn of 1.2 s.
    for (const bool loop : {true, false}) {
        ASSERT_NE(nullptr, Open({22050, 1, 33075}));
        ASSERT_EQ(45u, BinkFrameCount(bink));
        done = false;
        const std::vector<int16_t> mixed = Run(45 + 60, loop);
        for (uint32_t i = 0; i < mixed.size(); ++i) {
            const int16_t expected = i < 33075 ? FakeSample(i) : loop ? FakeSample(i % 33075) : 0;
            ASSERT_EQ(expected, mixed[i]) << (loop ? "looping" : "once") << ", sample " << i;
        }
        BinkClose(bink);
        bink = nullptr;
    }
}

TEST_F(BinkTest, FilesWithoutSoundDoNotOpen) {
    dir.Write("text.bik", "not a movie");
    dir.Write("sound.bik", FakeSoundFile({}));
    EXPECT_EQ(nullptr, BinkOpen("text.bik", 0));
    EXPECT_EQ(nullptr, BinkOpen("missing.bik", 0));
    EXPECT_EQ(nullptr, BinkOpen(".", 0));
    RegisterAudioDecoder(nullptr);
    EXPECT_EQ(nullptr, BinkOpen("sound.bik", 0));
}

} // namespace
