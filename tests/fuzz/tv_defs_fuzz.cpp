// Compiles any bytes as a definition script, in level and in directory mode:
// preprocessor, scanner and parser together. Whatever comes back is applied
// and freed as the game does. Nothing may crash, leak or run without end.

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "Tv/defs/compiler.h"
#include "Tv/defs/diagnostics.h"
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
    }
    ~WorkDir() {
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
    for (uint32_t mode : {kScriptModeLevel, kScriptModeDirectory}) {
        ScriptObjectList* list = TvCompileScript(kInputName, mode);
        ScriptObjectList::ApplyAll(list);
        ScriptObjectList::Delete(list);
    }
    SetScriptDiagnosticSink(nullptr);
    return 0;
}
