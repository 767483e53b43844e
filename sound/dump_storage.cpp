#include "sound/dump_storage.h"

#include <atomic>
#include <cstdio>

#include "platform/files.h"
#include "platform/textfile.h"
#include "sound/sound_system.h"

namespace {
std::atomic<bool> firstLine{true};
} // namespace

void AppendDebugLine(const char* fileName, const char* line) {
    if (firstLine.exchange(false)) plat::DeleteFile(fileName);
    plat::TextFile file = plat::TextFile::Open(fileName, "a+");
    if (file.IsOpen()) file.Printf("%s\n", line);
}

void SoundSystem::DumpStorage() {
    constexpr const char* kDumpFile = "SOUND_STORAGE_DUMP.TXT";
    int32_t total = 0;
    char line[64];
    for (int32_t sample = 1; sample < 400; ++sample) {
        int32_t count = 0;
        for (const SoundVoice& v : voices_) count += (v.flags & sound_flags::kVoiceActive) && v.sample == sample;
        if (count == 0) continue;
        std::snprintf(line, sizeof line, "%i instances of sample %i", count, sample);
        AppendDebugLine(kDumpFile, line);
        total += count;
    }
    std::snprintf(line, sizeof line, "Total instances %i", total);
    AppendDebugLine(kDumpFile, line);
}
