// Music streams end to end: files decoded by FFmpeg on the stream's own
// thread into the mix of the sound manager's device, at the stream's volume.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "core/bytes.h"
#include "platform/media/audio_decoder.h"
#include "platform/sdl/ffmpeg_decoder.h"
#include "sound/music_stream.h"
#include "tests/sound/sound_fixture.h"

namespace {

// `seconds` of 22,050 Hz mono at a steady level.
std::string Level(float seconds, int16_t level) {
    ByteWriter data;
    for (int i = 0; i < static_cast<int>(seconds * 22050); ++i) data.I16(level);
    return WavImage(plat::PcmFormat(22050, 16, 1), std::string(data.bytes().begin(), data.bytes().end()));
}

class MusicStreamTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        plat::RegisterFfmpegDecoder();
        dir.Write("music/level.bik", Level(2.0f, 10000));
        dir.Write("music/short.bik", Level(0.5f, 10000));
        dir.Write("music/words.bik", "not music at all");
        sound->output->SetCapture(true);
        stream = std::make_unique<MusicStream>();
    }
    void TearDown() override {
        stream.reset();
        plat::RegisterAudioDecoder(nullptr);
        SoundTest::TearDown();
    }

    // Moves the clock on in steps of 10 ms, giving the decode thread real
    // time after each; returns the left channel of the mix meanwhile.
    std::vector<int16_t> Run(double seconds) {
        for (double t = 0; t < seconds; t += 0.01) {
            sound->MoveSeconds(0.01);
            std::this_thread::sleep_for(std::chrono::milliseconds(4));
        }
        const std::vector<int16_t> samples = sound->TakeSamples();
        std::vector<int16_t> left(samples.size() / 2);
        for (size_t i = 0; i < left.size(); ++i) left[i] = samples[i * 2];
        return left;
    }
    // The last `seconds` of a mix (22,050 frames a second).
    static std::vector<int16_t> Tail(const std::vector<int16_t>& mix, double seconds) {
        const auto n = std::min(mix.size(), static_cast<size_t>(seconds * 22050));
        return std::vector<int16_t>(mix.end() - static_cast<std::ptrdiff_t>(n), mix.end());
    }
    static bool All(const std::vector<int16_t>& samples, int low, int high) {
        return std::all_of(samples.begin(), samples.end(), [=](int16_t s) { return s >= low && s <= high; });
    }

    std::unique_ptr<MusicStream> stream;
};

TEST_F(MusicStreamTest, WavContentUnderABikNameReachesTheMixAtTheSetVolume) {
    ASSERT_TRUE(stream->Open("MUSIC\\level.bik", true));
    EXPECT_TRUE(stream->IsOpen());
    EXPECT_EQ(MusicStream::kNormalVolume, stream->GetVolume());
    EXPECT_TRUE(All(Tail(Run(0.5), 0.3), 10000, 10000));
    stream->SetVolume(16384);
    EXPECT_EQ(16384, stream->GetVolume());
    EXPECT_TRUE(All(Tail(Run(0.5), 0.3), 4995, 5005));
    // Looping: the sound goes on past the file's 2 s.
    EXPECT_TRUE(All(Tail(Run(2.0), 0.5), 4995, 5005));
    EXPECT_TRUE(stream->Stop());
    EXPECT_FALSE(stream->IsOpen());
    EXPECT_TRUE(All(Tail(Run(0.3), 0.2), 0, 0));
}

TEST_F(MusicStreamTest, AStreamThatDoesNotLoopFinishesAtItsLastFrameAndItsSoundEnds) {
    ASSERT_TRUE(stream->Open("music\\short.bik", false));
    const std::vector<int16_t> mix = Run(2.0);
    ASSERT_TRUE(stream->Finished());
    EXPECT_TRUE(All(std::vector<int16_t>(mix.begin() + 2205, mix.begin() + 8820), 10000, 10000));
    EXPECT_TRUE(All(Tail(mix, 1.0), 0, 0));
    EXPECT_TRUE(stream->Stop());
    EXPECT_FALSE(stream->IsOpen());
}

TEST_F(MusicStreamTest, AMissingOrSoundlessFileGivesFalseAndNothingPlays) {
    for (const char* file : {"music\\missing.bik", "music\\words.bik", "music"}) {
        EXPECT_FALSE(stream->Open(file, true)) << file;
        EXPECT_FALSE(stream->IsOpen()) << file;
    }
    // A failed open closes what played before.
    ASSERT_TRUE(stream->Open("music\\level.bik", true));
    EXPECT_FALSE(stream->Open("music\\missing.bik", true));
    EXPECT_FALSE(stream->IsOpen());
    EXPECT_TRUE(All(Run(0.3), 0, 0));
}

TEST_F(MusicStreamTest, TheVolumeChangesAndStopsWhileTheThreadDecodes) {
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(stream->Open("music\\level.bik", true)) << round;
        for (int step = 0; step < 5; ++step) {
            stream->SetVolume(round * 1000 + step);
            sound->MoveSeconds(0.03);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(stream->Stop()) << round;
        ASSERT_FALSE(stream->IsOpen()) << round;
    }
}

} // namespace
