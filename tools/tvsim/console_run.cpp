#include "tools/tvsim/console_run.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "Tv/console/batch.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/console_setup.h"
#include "Tv/console/console_window.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/server/headless_level.h"
#include "Tv/server/server.h"
#include "Tv/server/shell_state.h"
#include "core/stringtable.h"
#include "tests/support/headless_frame.h"

namespace {

void PrintLine(const char* text) { std::printf("%s\n", text); }

// Quit ends the program through exit(): the server thread stops first, then
// the level goes as at the end of a run.
void StopServerAtExit() {
    TvStopServer();
    TvUnloadHeadlessLevel();
}

bool LoadLanguageLibrary() {
    const std::string path = DataDirBase() + "/tvreseng.dll";
    plat::ResourceModule* strings = LoadResourceDll(path.c_str());
    if (!strings) return false;
    StringTableLoad(strings, kResourceStringFirstId, kResourceStringLastId, ResourceStrings);
    FreeResourceDll(strings);
    return true;
}

} // namespace

RunConsole::RunConsole(bool typed) : typed_(typed) {}

RunConsole::~RunConsole() {
    if (!started_) return;
    TvConsoleShutdown();
    StringTableFree(ResourceStrings);
    CurrentGameState = 0;
}

bool RunConsole::Start(const std::string& script) {
    CurrentGameState = kGameStatePlay;
    if (!LoadLanguageLibrary()) {
        std::fprintf(stderr, "tvsim: cannot load the language library %s/tvreseng.dll\n", DataDirBase().c_str());
        return false;
    }
    started_ = true;
    static const bool registered = std::atexit(StopServerAtExit) == 0;
    (void)registered;
    TvLoadConsoleFonts();
    TvSetConsoleOutputSink(&PrintLine);
    if (!script.empty() && !TvBatchLoadFile(script.c_str())) {
        std::fprintf(stderr, "tvsim: cannot read %s\n", script.c_str());
        return false;
    }
    TvBatchDrain();
    return true;
}

void RunConsole::Frame() {
    std::string line;
    if (typed_ && !inputEnded_) {
        if (std::getline(std::cin, line))
            TvConsoleSubmitLine(line.c_str());
        else
            inputEnded_ = true;
    }
    RunHeadlessFrame();
}

bool RunConsole::Finished() const { return TvBatchIsEmpty() && !TvBatchWaitPending() && (!typed_ || inputEnded_); }
