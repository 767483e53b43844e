// Program entry. The shell is not built yet: the program runs the first steps
// of its start-up on the data tree, reports what it did and ends.
#include <cstdio>
#include <cstring>
#include <string>

#include "Awapi/model/model_file.h"
#include "Tv/defs/compiler.h"
#include "Tv/defs/diagnostics.h"
#include "chunkfile/register_all.h"
#include "core/clock.h"
#include "core/cpuid.h"
#include "core/stringtable.h"
#include "platform/fpu.h"
#include "platform/paths.h"

namespace {

// "-w DIR" names the data tree; every other option is left to the shell.
std::string DataDirectory(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-w") == 0) return argv[i + 1];
    return ".";
}

} // namespace

int main(int argc, char** argv) {
    plat::SetGameFpuMode();
    const std::string dataDir = DataDirectory(argc, argv);
    if (!plat::SetCurrentDir(dataDir)) {
        std::fprintf(stderr, "tavrin: cannot use data directory '%s'\n", dataDir.c_str());
        return 1;
    }
    std::printf("tavrin: data directory %s\n", plat::GetCurrentDir().c_str());

    IdentifyProcessor();
    std::printf("tavrin: processor %s %s\n", Processor.vendor, Processor.name);

    plat::ResourceModule* strings = LoadResourceDll("tvreseng.dll");
    if (!strings) {
        std::fprintf(stderr, "tavrin: cannot load the language library tvreseng.dll\n");
        return 1;
    }
    const uint32_t loaded = StringTableLoad(strings, kResourceStringFirstId, kResourceStringLastId, ResourceStrings);
    FreeResourceDll(strings);
    std::printf("tavrin: %u texts loaded; title \"%s\"\n", loaded, StringTableLookup(1));

    RecalibrateClocks(0);
    std::printf("tavrin: %d ticks per second\n", CurrentTicksPerSecond());

    ScriptObjectList* directories = TvCompileScript("tvdirs.tvs", kScriptModeDirectory);
    std::printf("tavrin: tvdirs.tvs compiled: %d objects, %d errors, %d warnings\n",
                directories ? directories->objects.Count() : 0, ScriptErrorCount, ScriptWarningCount);
    ScriptObjectList::Delete(directories);

    RegisterAllChunkClasses();
    if (auto robot = AwModelFile::Open("Qifs\\Robot.QIF")) {
        List<const std::string*> names;
        robot->ListHierarchyNames(names);
        std::printf("tavrin: Qifs\\Robot.QIF: %d hierarchies, first \"%s\"\n", names.Count(),
                    names.Count() ? names.Front()->c_str() : "");
    } else {
        std::fprintf(stderr, "tavrin: cannot open Qifs\\Robot.QIF\n");
    }

    StringTableFree(ResourceStrings);
    return 0;
}
