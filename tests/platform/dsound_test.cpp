// The DirectSound shaped layer on its silent backend: buffers, locks,
// duplicates, the mix and its cursors, and the errors callers see.
#include <gtest/gtest.h>

#include <cfenv>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/dsound/direct_sound.h"
#include "tests/platform/d3d_fixture.h"
#include "tests/support/silent_sound.h"

namespace {

using namespace plat;

constexpr uint32_t kRate = 22050;
constexpr uint32_t kCtrl = kBufferCtrlVolume | kBufferCtrlPan | kBufferCtrlFrequency;

class DirectSoundTest : public testing::Test {
protected:
    void SetUp() override {
        Open(DefaultSoundCaps());
        SoundBufferDesc desc;
        desc.flags = kBufferPrimary | kBufferCtrlVolume;
        ASSERT_EQ(ds->CreateSoundBuffer(desc, primary.Out(), nullptr), kDsOk);
    }
    void TearDown() override {
        primary.Reset();
        ds.Reset();
        sound.reset();
    }

    // A device with these caps (every object of the previous one released first).
    void Open(const SoundCaps& caps) {
        primary.Reset();
        ds.Reset();
        sound.reset();
        sound = std::make_unique<SilentSound>(caps, true);
        ASSERT_EQ(DirectSoundCreate(nullptr, ds.Out(), nullptr), kDsOk);
        ASSERT_EQ(ds->SetCooperativeLevel(nullptr, kCoopPriority), kDsOk);
    }

    // The mix's format; the frame count restarts with it.
    void MixAt(const WaveFormat& format) {
        ASSERT_EQ(primary->SetFormat(format), kDsOk);
        sound->TakeFrames();
        sound->MoveSeconds(0);
        mixRate = format.samplesPerSec;
    }

    // A secondary buffer holding the samples.
    Ref<SoundBuffer> Buffer(const WaveFormat& format, const std::vector<uint8_t>& bytes, uint32_t flags = kCtrl) {
        SoundBufferDesc desc;
        desc.flags = flags;
        desc.bufferBytes = static_cast<uint32_t>(bytes.size());
        desc.format = &format;
        Ref<SoundBuffer> b;
        EXPECT_EQ(ds->CreateSoundBuffer(desc, b.Out(), nullptr), kDsOk);
        if (!b) return b;
        void* p = nullptr;
        uint32_t n = 0;
        EXPECT_EQ(b->Lock(0, 0, &p, &n, nullptr, nullptr, kLockEntireBuffer), kDsOk);
        std::memcpy(p, bytes.data(), n);
        EXPECT_EQ(b->Unlock(p, n, nullptr, 0), kDsOk);
        return b;
    }

    std::vector<int16_t> Mix(uint32_t frames) {
        sound->MoveFrames(frames, mixRate);
        return sound->TakeSamples();
    }

    std::unique_ptr<SilentSound> sound;
    Ref<DirectSound> ds;
    Ref<SoundBuffer> primary;
    uint32_t mixRate = 22050;
};

std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

std::vector<int16_t> Ramp(size_t n, int16_t step = 100) {
    std::vector<int16_t> s(n);
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<int16_t>(static_cast<int32_t>(i) * step - 8000);
    return s;
}

TEST_F(DirectSoundTest, A16BitMonoBufferAtFullVolumeComesOutSampleForSampleAndSilentAtTheMinimum) {
    MixAt(PcmFormat(kRate, 16, 1));
    const std::vector<int16_t> ramp = Ramp(300);
    Ref<SoundBuffer> b = Buffer(PcmFormat(kRate, 16, 1), Pcm16(ramp));
    ASSERT_EQ(b->Play(0, 0, 0), kDsOk);
    std::vector<int16_t> out = Mix(300);
    EXPECT_EQ(ramp, out);

    // Into a stereo mix at the centre, both sides carry the sample.
    MixAt(PcmFormat(kRate, 16, 2));
    ASSERT_EQ(b->Play(0, 0, 0), kDsOk);
    out = Mix(300);
    ASSERT_EQ(600u, out.size());
    for (size_t i = 0; i < ramp.size(); ++i) {
        ASSERT_EQ(ramp[i], out[2 * i]) << i;
        ASSERT_EQ(ramp[i], out[2 * i + 1]) << i;
    }

    ASSERT_EQ(b->SetVolume(kVolumeMin), kDsOk);
    ASSERT_EQ(b->Play(0, 0, 0), kDsOk);
    out = Mix(300);
    EXPECT_EQ(std::vector<int16_t>(600, 0), out);
}

TEST_F(DirectSoundTest, PanAttenuatesTheOtherSideAndGroupsScaleTheirBuffers) {
    MixAt(PcmFormat(kRate, 16, 2));
    Ref<SoundBuffer> b = Buffer(PcmFormat(kRate, 16, 1), Pcm16(std::vector<int16_t>(100, 20000)));
    ASSERT_EQ(b->SetPan(kPanRight), kDsOk);
    ASSERT_EQ(b->Play(0, 0, kPlayLooping), kDsOk);
    std::vector<int16_t> out = Mix(10);
    EXPECT_EQ(0, out[0]);
    EXPECT_EQ(20000, out[1]);

    ASSERT_EQ(b->SetPan(-600), kDsOk); // 6 dB off the right side: about a half
    out = Mix(10);
    EXPECT_EQ(20000, out[0]);
    EXPECT_NEAR(10024, out[1], 2);

    b->SetGainGroup(GainGroup::Cd);
    SetGroupGain(GainGroup::Cd, 0.5f);
    out = Mix(10);
    SetGroupGain(GainGroup::Cd, 1.0f);
    EXPECT_EQ(10000, out[0]);
}

TEST_F(DirectSoundTest, TheMixIsTheSameInEveryRoundingMode) {
    MixAt(PcmFormat(44100, 16, 2));
    const std::vector<uint8_t> bytes = Pcm16(Ramp(1000, 37));
    std::vector<std::vector<int16_t>> mixes;
    for (int mode : {FE_DOWNWARD, FE_TONEAREST, FE_UPWARD}) {
        std::fesetround(mode);
        Ref<SoundBuffer> b = Buffer(PcmFormat(kRate, 16, 1), bytes);
        b->SetVolume(-777);
        b->SetPan(1234);
        b->SetFrequency(17000);
        b->Play(0, 0, 0);
        mixes.push_back(Mix(2000));
    }
    std::fesetround(FE_DOWNWARD);
    EXPECT_EQ(mixes[0], mixes[1]);
    EXPECT_EQ(mixes[0], mixes[2]);
}

TEST_F(DirectSoundTest, CursorsMoveWithTheClockAndAnEndedBufferReportsStoppedAtZero) {
    MixAt(PcmFormat(kRate, 16, 2));
    // One second of 8-bit mono at half the mix's rate.
    const WaveFormat format = PcmFormat(kRate / 2, 8, 1);
    Ref<SoundBuffer> once = Buffer(format, std::vector<uint8_t>(format.avgBytesPerSec, 128));
    Ref<SoundBuffer> looping = Buffer(format, std::vector<uint8_t>(format.avgBytesPerSec, 128));
    ASSERT_EQ(once->Play(0, 0, 0), kDsOk);
    ASSERT_EQ(looping->Play(0, 0, kPlayLooping), kDsOk);
    uint32_t play = 0, write = 0, status = 0;

    sound->MoveFrames(kRate / 2, kRate); // half a second
    ASSERT_EQ(once->GetCurrentPosition(&play, &write), kDsOk);
    EXPECT_EQ(format.avgBytesPerSec / 2, play);
    ASSERT_EQ(once->GetStatus(&status), kDsOk);
    EXPECT_EQ(kStatusPlaying, status);
    ASSERT_EQ(looping->GetStatus(&status), kDsOk);
    EXPECT_EQ(kStatusPlaying | kStatusLooping, status);

    sound->MoveFrames(kRate * 3 / 4, kRate); // 1.25 s
    ASSERT_EQ(once->GetStatus(&status), kDsOk);
    EXPECT_EQ(0u, status);
    ASSERT_EQ(once->GetCurrentPosition(&play, nullptr), kDsOk);
    EXPECT_EQ(0u, play);
    ASSERT_EQ(looping->GetCurrentPosition(&play, nullptr), kDsOk);
    EXPECT_EQ(format.avgBytesPerSec / 4, play);

    // A position set before playing is where play starts.
    ASSERT_EQ(once->SetCurrentPosition(format.avgBytesPerSec - 2 * format.blockAlign), kDsOk);
    ASSERT_EQ(once->Play(0, 0, 0), kDsOk);
    sound->MoveFrames(4, kRate);
    ASSERT_EQ(once->GetStatus(&status), kDsOk);
    EXPECT_EQ(0u, status);
}

TEST_F(DirectSoundTest, ARangeLockWrapsIntoTwoRegionsAndWritesReachDuplicatesAtUnlock) {
    const WaveFormat format = PcmFormat(kRate, 8, 1);
    Ref<SoundBuffer> b = Buffer(format, std::vector<uint8_t>(100, 1));
    Ref<SoundBuffer> copy;
    ASSERT_EQ(ds->DuplicateSoundBuffer(b.get(), copy.Out()), kDsOk);

    void *p1 = nullptr, *p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    ASSERT_EQ(b->Lock(90, 20, &p1, &n1, &p2, &n2, 0), kDsOk);
    EXPECT_EQ(10u, n1);
    EXPECT_EQ(10u, n2);
    EXPECT_EQ(1, static_cast<uint8_t*>(p1)[0]);
    void *q1 = nullptr, *q2 = nullptr;
    uint32_t m1 = 0, m2 = 0;
    EXPECT_EQ(b->Lock(0, 4, &q1, &m1, &q2, &m2, 0), kDsErrInvalidCall); // one lock at a time
    std::memset(p1, 7, n1);
    std::memset(p2, 9, n2);
    EXPECT_EQ(b->Unlock(p2, n1, p1, n2), kDsErrInvalidParam); // not the regions handed out
    ASSERT_EQ(b->Unlock(p1, n1, p2, n2), kDsOk);

    // The duplicate shares the bytes but not the cursor or the volume.
    ASSERT_EQ(copy->Lock(0, 0, &q1, &m1, &q2, &m2, kLockEntireBuffer), kDsOk);
    ASSERT_EQ(100u, m1);
    EXPECT_EQ(0u, m2);
    const auto* bytes = static_cast<uint8_t*>(q1);
    EXPECT_EQ(9, bytes[0]);
    EXPECT_EQ(1, bytes[10]);
    EXPECT_EQ(7, bytes[95]);
    ASSERT_EQ(copy->Unlock(q1, 0, nullptr, 0), kDsOk);
    ASSERT_EQ(copy->SetVolume(-500), kDsOk);
    ASSERT_EQ(copy->SetCurrentPosition(50), kDsOk);
    int32_t volume = 1;
    uint32_t play = 1;
    ASSERT_EQ(b->GetVolume(&volume), kDsOk);
    ASSERT_EQ(b->GetCurrentPosition(&play, nullptr), kDsOk);
    EXPECT_EQ(0, volume);
    EXPECT_EQ(0u, play);
}

TEST_F(DirectSoundTest, CallsThatCannotBeHonouredFail) {
    const WaveFormat mono8 = PcmFormat(kRate, 8, 1);
    struct Case {
        const char* what;
        uint32_t flags;
        uint32_t bytes;
        WaveFormat format;
        HResult expected;
    };
    WaveFormat float32 = PcmFormat(kRate, 32, 1);
    WaveFormat misaligned = mono8;
    misaligned.blockAlign = 2;
    WaveFormat tooFast = PcmFormat(200000, 16, 1);
    const Case cases[] = {
        {"32-bit samples", 0, 64, float32, kDsErrBadFormat},
        {"a block that is not the frame", 0, 64, misaligned, kDsErrBadFormat},
        {"a rate the device lacks", 0, 64, tooFast, kDsErrBadFormat},
        {"no bytes", 0, 0, mono8, kDsErrInvalidParam},
        {"a primary buffer with a format", kBufferPrimary, 0, mono8, kDsErrInvalidParam},
    };
    for (const Case& c : cases) {
        SoundBufferDesc desc;
        desc.flags = c.flags;
        desc.bufferBytes = c.bytes;
        desc.format = &c.format;
        Ref<SoundBuffer> b;
        EXPECT_EQ(c.expected, ds->CreateSoundBuffer(desc, b.Out(), nullptr)) << c.what;
        EXPECT_FALSE(b) << c.what;
    }

    Ref<SoundBuffer> plain = Buffer(mono8, std::vector<uint8_t>(16), 0);
    EXPECT_EQ(kDsErrControlUnavailable, plain->SetVolume(-100));
    EXPECT_EQ(kDsErrControlUnavailable, plain->SetPan(100));
    EXPECT_EQ(kDsErrControlUnavailable, plain->SetFrequency(11025));
    EXPECT_EQ(kDsErrInvalidParam, plain->SetCurrentPosition(16));
    void* out = &out;
    EXPECT_EQ(kDsErrNoInterface, plain->QueryInterface(kIidSound3DBuffer, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(kDsErrNoInterface, plain->QueryInterface(kIidPropertySet, &out));
    EXPECT_EQ(kDsErrInvalidCall, ds->DuplicateSoundBuffer(primary.get(), plain.Out()));
    EXPECT_EQ(kDsErrInvalidParam, primary->Play(0, 0, 0)); // the primary buffer plays looping

    // Below the priority level there is no format for the mix.
    Ref<DirectSound> other;
    ASSERT_EQ(DirectSoundCreate(nullptr, other.Out(), nullptr), kDsOk);
    SoundBufferDesc desc;
    desc.flags = kBufferPrimary;
    Ref<SoundBuffer> otherPrimary;
    ASSERT_EQ(other->SetCooperativeLevel(nullptr, kCoopNormal), kDsOk);
    ASSERT_EQ(other->CreateSoundBuffer(desc, otherPrimary.Out(), nullptr), kDsOk);
    EXPECT_EQ(kDsErrPrioLevelNeeded, otherPrimary->SetFormat(PcmFormat(44100, 16, 2)));

    const Guid someDevice{1, 2, 3, {}};
    EXPECT_EQ(kDsErrNoDriver, DirectSoundCreate(&someDevice, other.Out(), nullptr));
}

TEST_F(DirectSoundTest, ADeviceWithoutAPrimaryBufferRefusesOne) {
    SoundCaps caps = DefaultSoundCaps();
    caps.primaryBuffers = 0;
    Open(caps);
    SoundCaps reported;
    ASSERT_EQ(ds->GetCaps(&reported), kDsOk);
    EXPECT_EQ(0u, reported.primaryBuffers);
    SoundBufferDesc desc;
    desc.flags = kBufferPrimary;
    Ref<SoundBuffer> b;
    EXPECT_EQ(kDsErrUnsupported, ds->CreateSoundBuffer(desc, b.Out(), nullptr));
}

TEST_F(DirectSoundTest, AStreamThreadFillsALoopingBufferWhileTheMixRuns) {
    MixAt(PcmFormat(kRate, 16, 1));
    const WaveFormat format = PcmFormat(kRate, 16, 1);
    Ref<SoundBuffer> stream = Buffer(format, std::vector<uint8_t>(4096));
    ASSERT_EQ(stream->Play(0, 0, kPlayLooping), kDsOk);
    std::thread filler([&] {
        for (int i = 0; i < 200; ++i) {
            void *p1 = nullptr, *p2 = nullptr;
            uint32_t n1 = 0, n2 = 0;
            if (Failed(stream->Lock(0, 4096, &p1, &n1, &p2, &n2, kLockFromWriteCursor))) continue;
            std::memset(p1, 0x11, n1);
            if (p2) std::memset(p2, 0x11, n2);
            stream->Unlock(p1, n1, p2, n2);
        }
    });
    for (int i = 0; i < 200; ++i) Mix(64);
    filler.join();
    const std::vector<int16_t> out = Mix(2048);
    EXPECT_EQ(std::vector<int16_t>(2048, 0x1111), out);
}

} // namespace
