#pragma once
// The sound manager over the DirectSound layer's silent backend on a clock
// that stands still until moved, in a scratch current directory, with
// builders for wave images and banks.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/dsound/sound_types.h"
#include "sound/bank_records.h"
#include "sound/sound_bank.h"
#include "sound/sound_devices.h"
#include "sound/sound_system.h"
#include "tests/support/silent_sound.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wav_image.h"

SoundBankItem WaveItem(const std::string& name, int32_t sampleNumber, std::string image, int32_t volume = 100);
SoundBankItem CueItem(const std::string& name, uint32_t flags, const std::vector<CueMember>& members);

// The manager and its device in a scratch current directory.
class SoundRig {
public:
    void Open();
    void Close();

    // A fresh device with these caps and a manager over it.
    void Start(const plat::SoundCaps& caps = plat::DefaultSoundCaps(), bool soundOff = false);
    void Stop();

    // Writes a bank into the scratch directory.
    void WriteBank(const std::string& fileName, const std::vector<SoundBankItem>& items,
                   int32_t version = kSoundBankVersion);
    // Moves RealClock and the device on by `seconds`, then updates the manager with the listener at the origin.
    void RunFor(double seconds);

    TempDir dir;
    std::unique_ptr<SilentSound> sound;
    SoundSystem* manager = nullptr;
    std::string previousDir;
    const Vector3 origin{0, 0, 0};
};

class SoundTest : public testing::Test, public SoundRig {
protected:
    void SetUp() override { Open(); }
    void TearDown() override { Close(); }
};
