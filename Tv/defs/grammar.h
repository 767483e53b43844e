#pragma once
// The parse half of the definition grammar: declarations and definition
// blocks become script objects.
//
// A script is a sequence of declarations ("declare" type name) and
// definitions: an optional "define", an optional abstract mark, a type
// keyword, an optional name, an optional base ("inherits" or ":" and the name
// of a defined object of the same type), then the block's property
// assignments between an opening and a closing bracket word. Names keep one
// object for the whole compilation. Only a syntax error ends the pass; every
// other error drops the one object, base, value or reference concerned.

#include <cstdint>

#include "Tv/defs/nametable.h"
#include "Tv/defs/scriptobject.h"

class ScriptScanner;

// Named objects of a compilation; each entry holds one reference.
using SymbolTable = ScriptNameTable<ScriptObject*>;
// Empties the table, releasing its references.
void ClearSymbols(SymbolTable& symbols);

// The game's difficulty level (0 easy .. 3 extreme), which decides whether a
// property written with a difficulty prefix is kept. The game installs it;
// until then the level is 1 (medium), the game options' default.
using ScriptDifficultyHook = int32_t (*)();
void SetScriptDifficultyHook(ScriptDifficultyHook hook);

// Runs the parse pass from its start token. Every object made is adopted by
// `family`; finished objects allowed in `mode` are appended to `definitions`
// in the order their blocks close. False after a syntax error.
bool RunParsePass(ScriptScanner& scanner, SymbolTable& symbols, ScriptObjectFamily& family, uint32_t mode,
                  List<ScriptObject*>& definitions);
