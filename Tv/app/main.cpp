// Program entry. The shell is not built yet: the program runs the first steps
// of its start-up on the data tree, reports what it did and ends.
#include <cstdio>
#include <cstring>
#include <string>

#include "Awapi/aw3d/headless_start.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/model/model_node.h"
#include "Awapi/model/sound_hooks.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/defs/diagnostics.h"
#include "Tv/defs/resourcecache.h"
#include "Tv/server/server_registration.h"
#include "chunkfile/register_all.h"
#include "core/clock.h"
#include "core/cpuid.h"
#include "core/stringtable.h"
#include "platform/fpu.h"
#include "platform/paths.h"
#include "platform/sdl/ffmpeg_decoder.h"
#include "platform/sdl/sdl_audio.h"
#include "sound/cd_audio_device.h"
#include "sound/cd_player.h"
#include "sound/music_moods.h"
#include "sound/sound_service.h"
#include "sound/sound_startup.h"
#include "sound/sound_system.h"

namespace {

constexpr uint32_t kTitleText = 92; // the game's title in the language library

// "-w DIR" names the data tree; every other option is left to the shell.
std::string StartDirectory(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-w") == 0) return argv[i + 1];
    return ".";
}

bool HasOption(int argc, char** argv, const char* option) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], option) == 0) return true;
    return false;
}

// Starts sound ("-n": off), loads the interface sounds from the sounds
// directory and reports them.
void StartSound(bool off) {
    plat::RegisterSdlAudioBackend();
    SoundSystem* sound = StartSoundSystem(off);
    DataDirEnter(kDataDirSounds);
    sound->LoadPermanentBank("UI.dat");
    DataDirRestore();
    InstallSoundService(&ManagerSoundService());
    if (sound->State() == SoundSystem::kSilent) {
        std::printf("tavrin: sound off\n");
        return;
    }
    int samples = 0, cues = 0;
    for (int32_t i = 1; i < sound->SampleCount(); ++i) samples += (sound->Sample(i).flags & sound_flags::kSampleInUse) != 0;
    for (int32_t i = 1; i < SoundSystem::kCueCount; ++i) cues += (sound->Cue(i).flags & sound_flags::kCueInUse) != 0;
    std::printf("tavrin: UI.dat: %d sounds, %d cues\n", samples, cues);
}

// Makes the CD player and the wave volume, and reports the disc's audio tracks.
void StartMusic() {
    plat::RegisterFfmpegDecoder();
    MusicCreateCdPlayer();
    MusicCreateWaveVolume();
    const CdAudioDevice& cd = CdPlayerInstance->Device();
    if (cd.Mode() == plat::kMciModeOpen) std::printf("tavrin: CD: no disc\n");
    else if (cd.Tracks().empty()) std::printf("tavrin: CD: no audio tracks\n");
    else std::printf("tavrin: CD audio tracks %d to %d\n", cd.FirstTrack(), cd.LastTrack());
}

} // namespace

int main(int argc, char** argv) {
    plat::SetGameFpuMode();
    const std::string dataDir = StartDirectory(argc, argv);
    if (!plat::SetCurrentDir(dataDir)) {
        std::fprintf(stderr, "tavrin: cannot use data directory '%s'\n", dataDir.c_str());
        return 1;
    }
    std::printf("tavrin: data directory %s\n", plat::GetCurrentDir().c_str());

    IdentifyProcessor();
    std::printf("tavrin: processor %s %s\n", Processor.vendor, Processor.name);

    TvLoadDirectoryScript("tvdirs.tvs");
    std::printf("tavrin: tvdirs.tvs applied: %d errors, %d warnings; qifs \"%s\"\n", ScriptErrorCount,
                ScriptWarningCount, DataDirGet(kDataDirQifs) ? DataDirGet(kDataDirQifs) : "");

    plat::ResourceModule* strings = LoadResourceDll("tvreseng.dll");
    if (!strings) {
        std::fprintf(stderr, "tavrin: cannot load the language library tvreseng.dll\n");
        return 1;
    }
    const uint32_t loaded = StringTableLoad(strings, kResourceStringFirstId, kResourceStringLastId, ResourceStrings);
    FreeResourceDll(strings);
    std::printf("tavrin: %u texts loaded; title \"%s\"\n", loaded, StringTableLookup(kTitleText));

    RecalibrateClocks(0);
    std::printf("tavrin: %d ticks per second\n", CurrentTicksPerSecond());

    RegisterAllChunkClasses();
    RegisterServerCore();
    int status = 0;
    const bool engine = AwStartHeadless(640, 480);
    StartSound(HasOption(argc, argv, "-n"));
    StartMusic();
    if (!engine) {
        std::fprintf(stderr, "tavrin: cannot start the engine\n");
        status = 1;
    } else if (AwModel* robot = ResourceCache::GetModel("Robot.qif", "Robot")) {
        std::printf("tavrin: Robot.qif \"Robot\": %zu sequences, %d uses\n",
                    robot->Sequences ? robot->Sequences->size() : 0, robot->UseCount.load());
        robot->ReleaseUse();
    } else {
        std::fprintf(stderr, "tavrin: cannot open Robot.qif in the qifs directory\n");
        status = 1;
    }
    ResourceCache::ReleaseFiles();
    ResourceCache::ReleaseModelsAndShapes();
    InstallSoundService(nullptr);
    ShutdownSoundSystem(SoundSystemInstance);
    MusicShutdown();
    AwShutdown();
    DataDirClear();
    StringTableFree(ResourceStrings);
    return status;
}
