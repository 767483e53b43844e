#pragma once
// The definition compiler: one script file (.tvs) in, the ordered list of its
// compiled objects out.
//
// Compilation runs in two passes: the preprocess pass reads the file and its
// includes, drops comments, evaluates conditional blocks and expands macros
// into a token stream; the parse pass turns that stream into script objects.
// Errors and warnings are counted (diagnostics.h); only a syntax error in the
// parse pass leaves no list. One compilation runs at a time, on the main thread.
//
// Callers compile, apply the list when one came back, then delete it:
//   ScriptObjectList* list = TvCompileScript(path, kScriptModeLevel);
//   ScriptObjectList::ApplyAll(list);
//   ScriptObjectList::Delete(list);

#include <cstdint>
#include <string_view>

#include "Tv/defs/scriptobject.h"
#include "core/list.h"

class ScriptObjectList : public MemObject {
public:
    explicit ScriptObjectList(ScriptObjectFamily* family) : family_(family) {}
    ~ScriptObjectList();

    // Applies every object in list order, dropping each from the list after
    // its Apply, and reports the loading progress (TvLoadingSetProgress) after
    // each one: 100 x (the objects applied before it) / (the objects in the
    // list), truncated.
    // Leaves the list empty; null does nothing.
    static void ApplyAll(ScriptObjectList* list);
    // Releases the objects still listed and frees the list together with
    // every object of its compilation; null does nothing.
    static void Delete(ScriptObjectList* list);

    // The finished objects in the order their definitions were completed;
    // the list holds one reference on each.
    List<ScriptObject*> objects;

private:
    ScriptObjectFamily* family_;
};

// Compiles the file `path` (relative to the current directory, read in text
// mode) in `mode` (kScriptModeLevel or kScriptModeDirectory). Returns the new
// list, empty with the warning "empty script found" when the file defines
// nothing (also when it cannot be opened), or null when the parse pass met a
// syntax error ("confused by earlier errors"). Listed objects that are
// incomplete, or that name an incomplete object, stay listed with the error
// "incomplete object definition found".
ScriptObjectList* TvCompileScript(std::string_view path, uint32_t mode);
