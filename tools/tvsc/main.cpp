// tvsc [--directory] FILE
// tvsc --apply [--directory FILE | FILE]...
//
// Compiles a definition script as the game does (a level script, or with
// --directory the start-up directory script) and prints what the game only
// counts: every diagnostic as "FILE:LINE: error: TEXT" or "FILE:LINE:
// warning: TEXT", then the compiled objects with their properties, then
// "N errors, M warnings". Exits with status 1 when there were errors.
//
// With --apply the files are applied in order as the game does, on an engine
// without a window, with the language library tvreseng.dll when it is in the
// current directory. A directory script fills the data directory table (the
// current directory as the base) and its seven entries are printed; any other
// file is one level load: the definitions it builds in id order, the weapon
// table rows and the ammunition rows, then the level's teardown. The last line
// counts the diagnostics of all files.
#include <cstdio>
#include <cstring>
#include <string>

#include "Awapi/aw3d/headless_start.h"
#include "Awapi/aw3d/startup.h"
#include "Tv/defs/compiler.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/defs/diagnostics.h"
#include "Tv/defs/leveldefinitions.h"
#include "Tv/defs/resourcecache.h"
#include "Tv/world/level_world.h"
#include "applyprinter.h"
#include "chunkfile/register_all.h"
#include "core/clock.h"
#include "core/stringtable.h"
#include "objectprinter.h"
#include "platform/fpu.h"

namespace {

class PrintingSink final : public ScriptDiagnosticSink {
public:
    explicit PrintingSink(const char* path) : path_(path) {}
    void Report(const ScriptDiagnostic& d) override {
        // Diagnostics given outside any file (the end of the compilation) belong to the script itself.
        std::string file = d.file.empty() ? std::string(path_) : std::string(d.file);
        std::printf("%s:%d: %s: %.*s\n", file.c_str(), d.line, d.isError ? "error" : "warning",
                    static_cast<int>(d.text.size()), d.text.data());
    }

private:
    const char* path_;
};

int Usage() {
    std::fputs("usage: tvsc [--directory] FILE\n       tvsc --apply [--directory FILE | FILE]...\n", stderr);
    return 2;
}

void LoadStringsWhenPresent() {
    plat::ResourceModule* strings = LoadResourceDll("tvreseng.dll");
    if (!strings) return;
    StringTableLoad(strings, kResourceStringFirstId, kResourceStringLastId, ResourceStrings);
    FreeResourceDll(strings);
}

int Apply(int count, char** args) {
    if (count == 0) return Usage();
    RegisterAllChunkClasses();
    if (!AwStartHeadless(640, 480)) {
        std::fputs("tvsc: cannot start the engine\n", stderr);
        return 1;
    }
    LoadStringsWhenPresent();
    int32_t errors = 0, warnings = 0;
    for (int i = 0; i < count; ++i) {
        const bool directory = std::strcmp(args[i], "--directory") == 0;
        if (directory && ++i == count) return Usage();
        const char* path = args[i];
        PrintingSink sink(path);
        SetScriptDiagnosticSink(&sink);
        if (directory)
            TvLoadDirectoryScript(path);
        else
            LoadLevelDefinitions(path);
        SetScriptDiagnosticSink(nullptr);
        errors += ScriptErrorCount;
        warnings += ScriptWarningCount;
        {
            plat::NearestRoundingScope readableNumbers;
            if (directory)
                PrintDataDirectories(stdout);
            else
                PrintAppliedLevel(stdout);
        }
        if (!directory) {
            ReleaseLevelDefinitions();
            TvReleaseLevelWorld();
        }
    }
    ResourceCache::ReleaseModelsAndShapes();
    DataDirClear();
    StringTableFree(ResourceStrings);
    AwShutdown();
    std::printf("%d errors, %d warnings\n", errors, warnings);
    return errors > 0 ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--apply") == 0) {
        // As the game runs: rounding toward minus infinity, a calibrated clock.
        plat::SetGameFpuMode();
        RecalibrateClocks(0);
        return Apply(argc - 2, argv + 2);
    }
    uint32_t mode = kScriptModeLevel;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--directory") == 0)
            mode = kScriptModeDirectory;
        else if (!path && argv[i][0] != '-')
            path = argv[i];
        else
            return Usage();
    }
    if (!path) return Usage();

    // As the game compiles: rounding toward minus infinity, a calibrated clock for "life" times.
    plat::SetGameFpuMode();
    RecalibrateClocks(0);

    PrintingSink sink(path);
    SetScriptDiagnosticSink(&sink);
    ScriptObjectList* list = TvCompileScript(path, mode);
    SetScriptDiagnosticSink(nullptr);
    const int32_t errors = ScriptErrorCount;
    const int32_t warnings = ScriptWarningCount;

    if (list) {
        plat::NearestRoundingScope readableNumbers; // 0.8 prints as 0.8, not 0.799999
        for (const ScriptObject* object : list->objects) PrintScriptObject(stdout, *object);
        ScriptObjectList::Delete(list);
    }
    std::printf("%d errors, %d warnings\n", errors, warnings);
    return errors > 0 ? 1 : 0;
}
