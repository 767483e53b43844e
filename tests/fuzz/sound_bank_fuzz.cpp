// Reads any bytes as a sound bank the way the game does: the directory, then
// every entry's wave or cue record and wave image. Nothing may crash or read
// outside the bytes.

#include <cstdint>
#include <string>

#include "sound/bank_records.h"
#include "sound/sound_bank.h"
#include "sound/wave_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SoundBank bank;
    if (!bank.Parse(std::string(reinterpret_cast<const char*>(data), size), nullptr)) return 0;
    for (const int32_t n : bank.TableOrder()) bank.Find(bank.Entries()[static_cast<size_t>(n)].name);
    for (const SoundBankEntry& e : bank.Entries()) {
        WaveFile wave;
        CueRecord cue;
        WaveImage image;
        if (ReadWaveRecord(e.record, wave) && ParseWaveImage(wave.image, image) && image.length) {
            volatile uint8_t last = image.data[image.length - 1];
            (void)last;
        }
        ReadCueRecord(e.record, cue);
    }
    return 0;
}
