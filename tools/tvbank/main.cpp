// tvbank: builds a sound bank from wave files and cues, lists a bank's
// entries and extracts an entry's wave image, reading banks through the
// game's own bank reader. Errors go to standard error with exit status 1.
//
//   tvbank build OUT [--version V] ITEM...
//   tvbank list BANK
//   tvbank extract BANK N OUT.wav
//
// "list" prints one line per directory entry in file order (scripts read it):
//   N NAME wave SAMPLE VOLUME FREQUENCY RANGE SECOND BYTES RATE BITS CHANNELS
//   N NAME cue FLAGS M S1 W1 S2 W2 ...
//   N NAME empty        (a record the game reads as empty)
// BYTES RATE BITS CHANNELS are 0 when the record carries no accepted image.

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "sound/bank_records.h"
#include "sound/sound_bank.h"
#include "sound/sound_names.h"
#include "sound/wave_image.h"
#include "tools/tvbank/bank_items.h"

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "tvbank: %s\n", message.c_str());
    return 1;
}

int Usage() {
    return Fail("usage: tvbank build OUT [--version V] ITEM... | tvbank list BANK | tvbank extract BANK N OUT.wav");
}

bool WriteFile(const std::string& name, const void* data, size_t size) {
    plat::File out = plat::File::Open(name, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
    return out.IsOpen() && out.Write(data, static_cast<uint32_t>(size));
}

bool LoadBank(const char* name, SoundBank& bank) {
    std::string reason;
    if (bank.Load(name, &reason)) return true;
    Fail(std::string(name) + ": " + reason);
    return false;
}

int BuildBank(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string out = argv[2];
    int32_t version = kSoundBankVersion;
    std::vector<std::string> items;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 && i + 1 < argc) {
            const char* v = argv[++i];
            const auto [end, ec] = std::from_chars(v, v + std::strlen(v), version);
            if (ec != std::errc() || *end != '\0' || version < 0) return Fail(std::string("bad version '") + v + "'");
        } else {
            items.emplace_back(argv[i]);
        }
    }
    std::vector<SoundBankItem> entries;
    std::string error;
    if (!BuildBankItems(items, entries, error)) return Fail(error);
    const std::vector<uint8_t> bytes = WriteSoundBank(version, entries);
    if (!WriteFile(out, bytes.data(), bytes.size())) return Fail("cannot write " + out);
    return 0;
}

void ListWave(const SoundBankEntry& e, size_t n) {
    WaveFile wave;
    if (!ReadWaveRecord(e.record, wave)) {
        std::printf("%zu %s empty\n", n, std::string(SoundNameText(e.name)).c_str());
        return;
    }
    WaveImage image;
    if (!ParseWaveImage(wave.image, image)) image = WaveImage{};
    std::printf("%zu %s wave %d %d %g %g %g %u %u %u %u\n", n, std::string(SoundNameText(e.name)).c_str(),
                wave.sampleNumber, wave.volume, static_cast<double>(wave.frequency), static_cast<double>(wave.range),
                static_cast<double>(wave.secondRange), image.length, image.format.samplesPerSec,
                image.format.bitsPerSample, image.format.channels);
}

void ListCue(const SoundBankEntry& e, size_t n) {
    CueRecord cue;
    if (!ReadCueRecord(e.record, cue)) {
        std::printf("%zu %s empty\n", n, std::string(SoundNameText(e.name)).c_str());
        return;
    }
    std::printf("%zu %s cue %u %zu", n, std::string(SoundNameText(e.name)).c_str(), cue.flags, cue.members.size());
    for (const CueMember& m : cue.members) std::printf(" %d %d", m.sample, m.weight);
    std::printf("\n");
}

int ListBank(int argc, char** argv) {
    if (argc != 3) return Usage();
    SoundBank bank;
    if (!LoadBank(argv[2], bank)) return 1;
    const auto& entries = bank.Entries();
    for (size_t n = 0; n < entries.size(); ++n) {
        if (entries[n].cueWord) ListCue(entries[n], n);
        else ListWave(entries[n], n);
    }
    return 0;
}

int ExtractEntry(int argc, char** argv) {
    if (argc != 5) return Usage();
    SoundBank bank;
    if (!LoadBank(argv[2], bank)) return 1;
    size_t n = 0;
    const char* text = argv[3];
    const auto [end, ec] = std::from_chars(text, text + std::strlen(text), n);
    if (ec != std::errc() || *end != '\0' || n >= bank.Entries().size())
        return Fail(std::string("no entry '") + text + "' in " + argv[2]);
    const SoundBankEntry& e = bank.Entries()[n];
    WaveFile wave;
    if (e.cueWord || !ReadWaveRecord(e.record, wave) || wave.image.empty())
        return Fail("entry " + std::to_string(n) + " holds no wave image");
    if (!WriteFile(argv[4], wave.image.data(), wave.image.size())) return Fail(std::string("cannot write ") + argv[4]);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    if (command == "build") return BuildBank(argc, argv);
    if (command == "list") return ListBank(argc, argv);
    if (command == "extract") return ExtractEntry(argc, argv);
    return Usage();
}
