// The drivers: the DirectSound driver's start-up on what the device offers,
// its volume table and buffer operations, and the silent driver.
#include <gtest/gtest.h>

#include "platform/dsound/direct_sound.h"
#include "sound/sound_drivers.h"
#include "tests/sound/sound_fixture.h"

namespace {

using DriverTest = SoundTest;

TEST_F(DriverTest, TheVolumeTableRunsFromSilenceToFullInTheProgramsRoundingMode) {
    auto* direct = dynamic_cast<DirectSoundSystem*>(manager);
    ASSERT_NE(nullptr, direct);
    EXPECT_EQ(-10000, direct->VolumeTable(0));
    EXPECT_EQ(-1000, direct->VolumeTable(50));
    EXPECT_EQ(0, direct->VolumeTable(100));
    EXPECT_EQ(-6643, direct->VolumeTable(1));
    // Volumes outside 0 to 100 are clamped, not read past the table.
    EXPECT_EQ(0, direct->VolumeTable(250));
    EXPECT_EQ(-10000, direct->VolumeTable(-3));
}

TEST_F(DriverTest, TheHardwareVoiceLimitComesFromTheDevicesMixingBuffers) {
    const struct {
        uint32_t mixing;
        int32_t voices;
    } cases[] = {{40, 16}, {24, 24}, {32, 32}, {33, 16}, {17, 17}, {16, 16}, {0, 16}};
    for (const auto& c : cases) {
        plat::SoundCaps caps = plat::DefaultSoundCaps();
        caps.maxHwMixingAllBuffers = c.mixing;
        Start(caps);
        EXPECT_EQ(c.voices, manager->HardwareVoices()) << c.mixing << " mixing buffers";
    }
}

TEST_F(DriverTest, ThePrimaryFormatIs16BitStereo22050AsFarAsTheDeviceOffersIt) {
    const struct {
        const char* what;
        uint32_t withoutFlags;
        uint32_t minRate;
        plat::WaveFormat expected;
    } cases[] = {
        {"every format", 0, 100, plat::PcmFormat(22050, 16, 2)},
        {"no stereo", plat::kCapsPrimaryStereo, 100, plat::PcmFormat(22050, 16, 1)},
        {"no 16-bit", plat::kCapsPrimary16Bit, 100, plat::PcmFormat(22050, 8, 2)},
        {"a minimum rate of 44,100", 0, 44100, plat::PcmFormat(44100, 16, 2)},
    };
    for (const auto& c : cases) {
        plat::SoundCaps caps = plat::DefaultSoundCaps();
        caps.flags &= ~c.withoutFlags;
        caps.minSecondarySampleRate = c.minRate;
        Start(caps);
        ASSERT_EQ(SoundSystem::kReady, manager->State()) << c.what;
        plat::SoundBufferDesc desc;
        desc.flags = plat::kBufferPrimary;
        plat::SoundBuffer* primary = nullptr;
        ASSERT_EQ(plat::kDsOk, DirectSoundObject->CreateSoundBuffer(desc, &primary, nullptr));
        plat::WaveFormat format;
        primary->GetFormat(&format);
        primary->Release();
        EXPECT_EQ(c.expected, format) << c.what;
    }
}

TEST_F(DriverTest, SoundOffOrADeviceWithoutAPrimaryBufferGivesTheSilentDriver) {
    WriteBank("ui.dat", {WaveItem("click.wav", 3, WavImage(0.1f))});
    plat::SoundCaps noPrimary = plat::DefaultSoundCaps();
    noPrimary.primaryBuffers = 0;
    for (const bool off : {true, false}) {
        Start(off ? plat::DefaultSoundCaps() : noPrimary, off);
        EXPECT_NE(nullptr, dynamic_cast<NullSoundSystem*>(manager));
        EXPECT_EQ(SoundSystem::kSilent, manager->State());
        EXPECT_EQ(-1, manager->LoadBank("ui.dat"));
        EXPECT_EQ(0, manager->LoadSound("click.wav"));
        EXPECT_EQ(-1, manager->Play(3, ""));
        EXPECT_EQ(-1, manager->PlayCue("anything", ""));
        EXPECT_EQ(0, manager->GetSampleVariant(3, 50, 0, 5, 50, false));
    }
}

TEST_F(DriverTest, AFailedFillIsReportedAndLeavesTheBufferToItsOwner) {
    const plat::WaveFormat format = plat::PcmFormat(22050, 16, 1);
    plat::SoundBufferDesc desc;
    desc.bufferBytes = 64;
    desc.format = &format;
    SoundBufferHandle buffer = nullptr;
    ASSERT_GE(manager->CreateBuffer(desc, &buffer, nullptr), 0);
    void* bytes = nullptr;
    uint32_t n = 0;
    ASSERT_EQ(plat::kDsOk, buffer->Lock(0, 0, &bytes, &n, nullptr, nullptr, plat::kLockEntireBuffer));
    const char data[64] = {1};
    EXPECT_LT(manager->FillBuffer(buffer, data, sizeof data), 0); // locked already
    EXPECT_EQ(plat::kDsOk, buffer->Unlock(bytes, n, nullptr, 0));
    EXPECT_GE(manager->FillBuffer(buffer, data, sizeof data), 0);
    manager->ReleaseBuffer(buffer); // the one release
}

TEST_F(DriverTest, TheOneDeviceIsTheDefaultOneWithoutReverb) {
    SoundDeviceList devices;
    devices.Enumerate();
    ASSERT_EQ(1u, devices.Entries().size());
    const SoundDeviceEntry& e = devices.Entries().front();
    EXPECT_EQ(nullptr, e.GuidPointer());
    EXPECT_EQ(0u, e.capabilityBits);
    EXPECT_EQ(96u, e.caps.size);
    EXPECT_EQ(&e, devices.ChooseBest());
}

} // namespace
