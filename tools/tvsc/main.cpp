// tvsc [--directory] FILE
//
// Compiles a definition script as the game does (a level script, or with
// --directory the start-up directory script) and prints what the game only
// counts: every diagnostic as "FILE:LINE: error: TEXT" or "FILE:LINE:
// warning: TEXT", then the compiled objects with their properties, then
// "N errors, M warnings". Exits with status 1 when there were errors.
#include <cstdio>
#include <cstring>
#include <string>

#include "Tv/defs/compiler.h"
#include "Tv/defs/diagnostics.h"
#include "core/clock.h"
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
    std::fputs("usage: tvsc [--directory] FILE\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
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
