// The SDL2 sound backend, on SDL's dummy audio driver: its callback takes the
// mixer's frames, so a buffer plays to its end in real time.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/dsound/audio_output.h"
#include "platform/dsound/direct_sound.h"
#include "platform/dsound/silent_output.h"
#include "platform/sdl/sdl_audio.h"

namespace {

using namespace plat;

TEST(SdlAudio, ABufferPlaysToItsEndOnTheDummyDriver) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("TAVRIN_AUDIO", "sdl", 1);
    RegisterSdlAudioBackend();
    const std::shared_ptr<AudioOutput> output = SelectAudioBackend();
    ASSERT_EQ(nullptr, std::dynamic_pointer_cast<SilentOutput>(output)) << "SDL's dummy driver did not open";

    DirectSound* ds = nullptr;
    ASSERT_EQ(kDsOk, DirectSoundCreate(nullptr, &ds, nullptr));
    ds->SetCooperativeLevel(nullptr, kCoopPriority);
    SoundBufferDesc desc;
    desc.flags = kBufferPrimary;
    SoundBuffer* primary = nullptr;
    ASSERT_EQ(kDsOk, ds->CreateSoundBuffer(desc, &primary, nullptr));
    ASSERT_EQ(kDsOk, primary->SetFormat(PcmFormat(44100, 16, 2)));
    ASSERT_EQ(kDsOk, primary->Play(0, 0, kPlayLooping));

    const WaveFormat format = PcmFormat(22050, 16, 1);
    desc.flags = kBufferCtrlVolume;
    desc.bufferBytes = format.avgBytesPerSec / 10;
    desc.format = &format;
    SoundBuffer* buffer = nullptr;
    ASSERT_EQ(kDsOk, ds->CreateSoundBuffer(desc, &buffer, nullptr));
    ASSERT_EQ(kDsOk, buffer->Play(0, 0, 0));
    uint32_t status = kStatusPlaying;
    uint32_t furthest = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (status != 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        uint32_t play = 0;
        buffer->GetCurrentPosition(&play, nullptr);
        furthest = std::max(furthest, play);
        buffer->GetStatus(&status);
    }
    EXPECT_EQ(0u, status) << "the buffer did not end within 10 s";
    EXPECT_GT(furthest, 0u);
    buffer->Release();
    primary->Release();
    ds->Release();
    InstallAudioBackend(nullptr);
    unsetenv("TAVRIN_AUDIO");
}

} // namespace
