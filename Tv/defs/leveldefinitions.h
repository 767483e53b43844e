#pragma once
// The definitions' share of a level load and teardown, for the level flow and
// the tools that apply scripts as the game does.

#include <string_view>

// Definition ids restart at 0; the level script at `path` (relative to the
// calling thread's current directory, which may be the scripts entry)
// compiles in level mode and is applied with the base directory current;
// then the cached chunk file is closed. Diagnostics go to the compiler's sink.
void LoadLevelDefinitions(std::string_view path);

// Destroys every definition and empties the weapon tables.
void ReleaseLevelDefinitions();
