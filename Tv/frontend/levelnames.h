#pragma once
// The names of the running level's scripts, set by the level flow before a
// level loads. The level's caches are named after the level script.

// The current level script's file name (a ".tvs" name); "" before any level.
const char* TvGetLevelScriptName();
void TvSetLevelScriptName(const char* name);

// The current level's command script (a ".tcs" name); "" when it has none.
const char* TvGetCommandScriptName();
void TvSetCommandScriptName(const char* name);
