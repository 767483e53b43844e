// Any bytes as a command script: read into the batch queue through
// TvBatchLoadFile, drained as a level's script is, then run a line a frame
// with a second of virtual time between frames, over the start-up command
// table without a server or a level. The commands that end the program or
// read other files (a script may name any file of the machine) are not
// registered. Whatever the script says, it runs without faults.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "Tv/console/batch.h"
#include "Tv/console/command_registry.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/console_window.h"
#include "Tv/console/flow_commands.h"
#include "Tv/console/tokens.h"
#include "Tv/console/utility_commands.h"
#include "Tv/server/game_options.h"
#include "core/clock.h"
#include "core/stringtable.h"
#include "platform/fpu.h"
#include "platform/virtual_clock.h"

namespace {

constexpr int32_t kFrames = 200;
constexpr uint64_t kFrameNs = 1000 * plat::VirtualClock::kMillisecond;

struct Unregistered {
    uint32_t nameId; // 0: the literal name
    const char* name;
    CommandHandler handler;
};
const Unregistered kUnregistered[] = {
    {10000, nullptr, &TvCmdQuit},
    {10001, nullptr, &TvCmdQuit},
    {0, "BATCH", &TvCmdBatch},
    {0, "BATCHANDBROADCAST", &TvCmdBatchAndBroadcast},
};

void SetUpOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    plat::SetGameFpuMode();
    {
        plat::VirtualClock stepping; // calibration ends at once
        RecalibrateClocks(1);
    }
    ConsoleHooks hooks;
    hooks.print = &TvConsoleWindowPrint;
    hooks.batchLoadFile = &TvBatchReadFile;
    SetConsoleHooks(hooks);
}

// Every input runs on a fresh console: the table registered (with its
// start-up tokens), nothing queued, nothing shown; all of it freed afterwards.
void StartConsole() {
    GameOptions = GameOptionsRecord{};
    GameOptions.LevelStatus = kLevelRunning;
    TvRegisterBuiltInCommands();
    for (const Unregistered& entry : kUnregistered)
        TvUnregisterCommand(entry.name ? entry.name : StringTableLookup(entry.nameId), entry.handler);
}

void EndConsole() {
    TvBatchReset();
    TvConsoleWindowClear();
    TvResetCommandRegistry();
    TokenTable::Clear();
}

std::string ScriptPath() {
    return (std::filesystem::temp_directory_path() / "tavrin_command_script_fuzz.tcs").string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetUpOnce();
    plat::VirtualClock clock(0);
    const std::string path = ScriptPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) return 0;
    StartConsole();
    TvBatchLoadFile(path.c_str());
    TvBatchDrain();
    for (int32_t frame = 0; frame < kFrames && !TvBatchIsEmpty(); ++frame) {
        clock.Advance(kFrameNs);
        TvBatchRunNext();
    }
    EndConsole();
    std::filesystem::remove(path);
    return 0;
}
