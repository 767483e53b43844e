#include "tests/sound/sound_fixture.h"

#include "core/bytes.h"
#include "platform/dsound/direct_sound.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sound/sound_drivers.h"
#include "sound/sound_startup.h"

SoundBankItem WaveItem(const std::string& name, int32_t sampleNumber, std::string image, int32_t volume) {
    WaveFile wave;
    wave.sampleNumber = sampleNumber;
    wave.volume = volume;
    wave.image = std::move(image);
    ByteWriter record;
    WriteWaveRecord(record, wave);
    return {name, false, record.bytes()};
}

SoundBankItem CueItem(const std::string& name, uint32_t flags, const std::vector<CueMember>& members) {
    ByteWriter record;
    WriteCueRecord(record, {flags, members});
    return {name, true, record.bytes()};
}

void SoundRig::Open() {
    previousDir = plat::GetCurrentDir();
    ASSERT_TRUE(plat::SetCurrentDir(dir.path()));
    Start();
}

void SoundRig::Close() {
    Stop();
    plat::SetCurrentDir(previousDir);
}

void SoundRig::Start(const plat::SoundCaps& caps, bool soundOff) {
    Stop();
    sound = std::make_unique<SilentSound>(caps);
    manager = StartSoundSystem(soundOff);
    ASSERT_EQ(SoundSystemInstance, manager);
}

void SoundRig::Stop() {
    if (manager) ShutdownSoundSystem(manager);
    manager = nullptr;
    ASSERT_EQ(nullptr, SoundSystemInstance);
    ASSERT_EQ(nullptr, DirectSoundObject);
    sound.reset();
}

void SoundRig::WriteBank(const std::string& fileName, const std::vector<SoundBankItem>& items, int32_t version) {
    const std::vector<uint8_t> bytes = WriteSoundBank(version, items);
    dir.Write(fileName, std::string(bytes.begin(), bytes.end()));
}

void SoundRig::RunFor(double seconds) {
    sound->MoveSeconds(seconds);
    manager->Update(&origin);
}
