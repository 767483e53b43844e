// Compiles any bytes as a definition script, in level and in directory mode:
// preprocessor, scanner and parser together. Whatever comes back is applied
// as the game does: as a level's definitions (with models and shapes through
// the resource cache, on an engine without a window) and torn down again, or
// as the data directory table. Nothing may crash, leak or run without end.

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "Awapi/aw3d/headless_start.h"
#include "Awapi/aw3d/startup.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/defs/diagnostics.h"
#include "Tv/defs/leveldefinitions.h"
#include "Tv/defs/resourcecache.h"
#include "Tv/world/level_world.h"
#include "chunkfile/register_all.h"
#include "core/clock.h"
#include "platform/files.h"
#include "platform/fpu.h"
#include "platform/paths.h"
#include "platform/textfile.h"

namespace {

constexpr const char* kInputName = "fuzz.tvs";

// The input lives as "fuzz.tvs" in a private directory that is the thread's
// current one, so a script can include itself, or a missing file, by name.
class WorkDir {
public:
    WorkDir()
        : path_((std::filesystem::temp_directory_path() / ("tavrin-defs-fuzz-" + std::to_string(std::random_device{}())))
                    .string()) {
        plat::CreateDir(path_);
        plat::SetCurrentDir(path_);
        plat::SetGameFpuMode();
        RecalibrateClocks(0);
        RegisterAllChunkClasses();
        AwStartHeadless(640, 480);
    }
    ~WorkDir() {
        AwShutdown();
        plat::DeleteFile(path_ + "/" + kInputName);
        plat::RemoveDir(path_);
    }

private:
    std::string path_;
};

// Formats every diagnostic, as the tvsc tool does, and drops it.
class DiscardingSink final : public ScriptDiagnosticSink {
public:
    void Report(const ScriptDiagnostic& d) override { length_ += d.text.size() + d.file.size(); }

private:
    size_t length_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static WorkDir dir;
    static DiscardingSink sink;
    SetScriptDiagnosticSink(&sink);
    {
        plat::TextFile file = plat::TextFile::Open(kInputName, "wb");
        file.Write(data, size);
    }
    LoadLevelDefinitions(kInputName);
    ReleaseLevelDefinitions();
    TvReleaseLevelWorld();
    ResourceCache::ReleaseModelsAndShapes();
    TvLoadDirectoryScript(kInputName);
    DataDirClear();
    SetScriptDiagnosticSink(nullptr);
    return 0;
}
