// The FFmpeg audio decoder: the format from the content whatever the name,
// exact samples, conversion to the rate and channels asked for, seeking,
// and files that are not sound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/bytes.h"
#include "platform/fpu.h"
#include "platform/media/audio_decoder.h"
#include "platform/sdl/ffmpeg_decoder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wav_image.h"

namespace {

using namespace plat;

// A 16-bit mono WAV image whose sample i is Sample(i).
int16_t Sample(uint32_t i) { return static_cast<int16_t>(i * 7 % 30000 - 15000); }
std::string Ramp(uint32_t frames, uint32_t rate = 22050) {
    ByteWriter data;
    for (uint32_t i = 0; i < frames; ++i) data.I16(Sample(i));
    return WavImage(PcmFormat(rate, 16, 1), std::string(data.bytes().begin(), data.bytes().end()));
}

std::vector<int16_t> ReadAll(AudioDecoder& decoder) {
    std::vector<int16_t> all;
    std::vector<int16_t> chunk(1000 * decoder.Info().channels);
    for (int64_t n; (n = decoder.Read(chunk.data(), 1000)) > 0;)
        all.insert(all.end(), chunk.begin(), chunk.begin() + n * decoder.Info().channels);
    return all;
}

class FfmpegDecoderTest : public testing::Test {
protected:
    void SetUp() override { RegisterFfmpegDecoder(); }
    void TearDown() override { RegisterAudioDecoder(nullptr); }
    TempDir dir;
};

TEST_F(FfmpegDecoderTest, WavContentDecodesExactlyUnderAnyNameAndTheCallerKeepsItsRoundingMode) {
    for (const char* name : {"music.bik", "music.txt", "Track02"}) {
        const std::string path = dir.Write(name, Ramp(5000));
        std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(path);
        ASSERT_NE(nullptr, decoder) << name;
        EXPECT_TRUE(IsGameFpuMode()) << name;
        EXPECT_EQ(22050u, decoder->Info().rate);
        EXPECT_EQ(1u, decoder->Info().channels);
        EXPECT_EQ(5000u, decoder->Info().frames);
        EXPECT_EQ(0u, decoder->Info().videoRate);
        const std::vector<int16_t> all = ReadAll(*decoder);
        EXPECT_TRUE(IsGameFpuMode()) << name;
        ASSERT_EQ(5000u, all.size()) << name;
        for (uint32_t i = 0; i < all.size(); ++i) ASSERT_EQ(Sample(i), all[i]) << name << " sample " << i;
        int16_t more[2];
        EXPECT_EQ(0, decoder->Read(more, 1));
    }
}

TEST_F(FfmpegDecoderTest, SoundIsConvertedToTheRateAndChannelsAskedFor) {
    // 8-bit stereo: left +64, right -64 steps of 256.
    std::string bytes;
    for (int i = 0; i < 1000; ++i) bytes += "\xC0\x40";
    const std::string path = dir.Write("stereo.wav", WavImage(PcmFormat(11025, 8, 2), bytes));
    std::unique_ptr<AudioDecoder> own = OpenAudioDecoder(path);
    ASSERT_NE(nullptr, own);
    EXPECT_EQ(2u, own->Info().channels);
    const std::vector<int16_t> frames = ReadAll(*own);
    ASSERT_EQ(2000u, frames.size());
    EXPECT_EQ(16384, frames[500]);
    EXPECT_EQ(-16384, frames[501]);

    std::unique_ptr<AudioDecoder> cd = OpenAudioDecoder(dir.Write("mono.wav", Ramp(22050)), {44100, 2});
    ASSERT_NE(nullptr, cd);
    EXPECT_EQ(44100u, cd->Info().rate);
    EXPECT_EQ(2u, cd->Info().channels);
    EXPECT_EQ(44100u, cd->Info().frames);
    const std::vector<int16_t> doubled = ReadAll(*cd);
    EXPECT_NEAR(88200.0, static_cast<double>(doubled.size()), 200.0);
    for (size_t i = 0; i + 1 < doubled.size(); i += 2) ASSERT_EQ(doubled[i], doubled[i + 1]) << "frame " << i / 2;
}

TEST_F(FfmpegDecoderTest, SeekingLandsOnTheFrameAskedFor) {
    std::unique_ptr<AudioDecoder> decoder = OpenAudioDecoder(dir.Write("ramp.wav", Ramp(22050)));
    ASSERT_NE(nullptr, decoder);
    for (const uint32_t at : {12345u, 1000u, 0u, 22049u}) {
        ASSERT_TRUE(decoder->Seek(at)) << at;
        int16_t got[3] = {};
        const int64_t n = decoder->Read(got, 3);
        ASSERT_EQ(std::min<int64_t>(3, 22050 - at), n) << at;
        for (int64_t i = 0; i < n; ++i) EXPECT_EQ(Sample(at + static_cast<uint32_t>(i)), got[i]) << at;
    }
    ReadAll(*decoder);
    ASSERT_TRUE(decoder->Seek(0));
    EXPECT_EQ(22050u, ReadAll(*decoder).size());
}

TEST_F(FfmpegDecoderTest, FilesThatAreNotSoundDoNotOpen) {
    WaveFormat unknownCodec = PcmFormat(22050, 16, 1);
    unknownCodec.formatTag = 0x7777;
    const struct {
        const char* what;
        std::string content;
    } cases[] = {
        {"text", "TAVRIN SAMPLE DISC\r\nData track.\r\n"},
        {"empty", ""},
        {"a cut header", Ramp(100).substr(0, 30)},
        {"an unknown codec", WavImage(unknownCodec, std::string(400, '\1'))},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nullptr, OpenAudioDecoder(dir.Write("file.bik", c.content))) << c.what;
        EXPECT_TRUE(IsGameFpuMode()) << c.what;
    }
    EXPECT_EQ(nullptr, OpenAudioDecoder(dir / "missing.wav"));
    EXPECT_EQ(nullptr, OpenAudioDecoder(dir.path()));
}

} // namespace
