#include "Tv/defs/compiler.h"

#include "Tv/defs/diagnostics.h"
#include "Tv/defs/grammar.h"
#include "Tv/defs/preprocessor.h"
#include "Tv/defs/scanner.h"
#include "Tv/frontend/loading_screen.h"
#include "core/numeric.h"

namespace {

// The compile state: everything is made fresh for one compilation and gone at its end.
class Compilation {
public:
    Compilation() : scanner_(preprocessor_) { previousPosition_ = SetScriptSourcePosition(&preprocessor_.Position()); }
    ~Compilation() {
        ClearSymbols(symbols_);
        preprocessor_.ClearMacros();
        SetScriptSourcePosition(previousPosition_);
    }

    ScriptObjectList* Run(std::string_view path, uint32_t mode);

private:
    ScriptPreprocessor preprocessor_;
    ScriptScanner scanner_;
    SymbolTable symbols_;
    const ScriptSourcePosition* previousPosition_;
};

ScriptObjectList* Compilation::Run(std::string_view path, uint32_t mode) {
    // Preprocess pass: the file and its includes into a token stream.
    preprocessor_.StartOutput();
    scanner_.SelectPass(1);
    auto* file = new ScriptFileStream(path);
    if (!file->IsOpen())
        CompilerError("unable to open file '%.*s'", static_cast<int>(path.size()), path.data());
    preprocessor_.PushInput(file);
    RunPreprocessPass(scanner_, preprocessor_);

    // Parse pass over what the first pass wrote (all of the file, or what came
    // before the error that ended it).
    ScriptTokenStream* tokens = preprocessor_.TakeOutput();
    preprocessor_.DiscardInputs();
    scanner_.SelectPass(2);
    preprocessor_.PushInput(tokens);
    auto* family = new ScriptObjectFamily;
    auto* list = new ScriptObjectList(family);
    bool parsed = RunParsePass(scanner_, symbols_, *family, mode, list->objects);
    ClearSymbols(symbols_);
    preprocessor_.ClearMacros();
    preprocessor_.DiscardInputs();

    if (!parsed) {
        CompilerError("confused by earlier errors");
        ScriptObjectList::Delete(list);
        return nullptr;
    }
    for (ScriptObject* object : list->objects)
        if (!object->ReferencesValid()) CompilerError("incomplete object definition found");
    return list;
}

} // namespace

ScriptObjectList::~ScriptObjectList() {
    for (ScriptObject* object : objects) object->Release();
    objects.Clear();
    delete family_;
}

void ScriptObjectList::ApplyAll(ScriptObjectList* list) {
    if (!list) return;
    const float count = static_cast<float>(list->objects.Count());
    float progress = 0.0f;
    while (!list->objects.IsEmpty()) {
        ScriptObject* object = list->objects.Front();
        object->Apply();
        object->Release();
        list->objects.PopFront();
        TvLoadingSetProgress(FloorToInt(progress / count));
        progress += 100.0f;
    }
}

void ScriptObjectList::Delete(ScriptObjectList* list) { delete list; }

ScriptObjectList* TvCompileScript(std::string_view path, uint32_t mode) {
    ScriptErrorCount = 0;
    ScriptWarningCount = 0;
    return Compilation().Run(path, mode);
}
