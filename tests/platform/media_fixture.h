#pragma once
// The media layer over the fake decoder, in a scratch current directory, on
// the silent sound backend with its clock standing still and the mix
// captured in a format the tests choose.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/dsound/direct_sound.h"
#include "platform/media/audio_decoder.h"
#include "platform/media/mci.h"
#include "platform/media/mixer_lines.h"
#include "platform/paths.h"
#include "tests/platform/d3d_fixture.h"
#include "tests/support/fake_decoder.h"
#include "tests/support/silent_sound.h"
#include "tests/support/temp_dir.h"

class MediaTest : public testing::Test {
protected:
    void SetUp() override {
        previousDir_ = plat::GetCurrentDir();
        ASSERT_TRUE(plat::SetCurrentDir(dir.path()));
        plat::InstallMixers(plat::DefaultMixers());
        sound = std::make_unique<SilentSound>(plat::DefaultSoundCaps(), true);
        ASSERT_EQ(plat::DirectSoundCreate(nullptr, ds.Out(), nullptr), plat::kDsOk);
        ASSERT_EQ(ds->SetCooperativeLevel(nullptr, plat::kCoopPriority), plat::kDsOk);
        plat::SoundBufferDesc desc;
        desc.flags = plat::kBufferPrimary;
        ASSERT_EQ(ds->CreateSoundBuffer(desc, primary.Out(), nullptr), plat::kDsOk);
        primary->Play(0, 0, plat::kPlayLooping);
        Notifications();
    }

    void TearDown() override {
        primary.Reset();
        ds.Reset();
        sound.reset();
        plat::SetCurrentDir(previousDir_);
    }

    // The mix in 16-bit PCM of this rate and channel count; the capture starts empty.
    void MixAt(uint32_t rate, uint16_t channels) {
        ASSERT_EQ(primary->SetFormat(plat::PcmFormat(rate, 16, channels)), plat::kDsOk);
        sound->MoveSeconds(0);
        sound->TakeFrames();
        mixRate_ = rate;
    }

    // The clock moves on by exactly n frames of the mix; returns what was mixed meanwhile.
    std::vector<int16_t> Mix(uint32_t frames) {
        sound->MoveFrames(frames, mixRate_);
        return sound->TakeSamples();
    }

    // Gives the layer's threads real time until the condition holds (false after 5 s).
    static bool WaitFor(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // Every queued notification, oldest first.
    static std::vector<plat::MciNotification> Notifications() {
        std::vector<plat::MciNotification> all;
        for (plat::MciNotification n; plat::TakeMciNotify(&n);) all.push_back(n);
        return all;
    }

    TempDir dir;
    FakeDecoder decoder;
    std::unique_ptr<SilentSound> sound;
    Ref<plat::DirectSound> ds;
    Ref<plat::SoundBuffer> primary;

private:
    std::string previousDir_;
    uint32_t mixRate_ = 22050;
};
