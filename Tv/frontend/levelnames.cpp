#include "Tv/frontend/levelnames.h"

#include <string>

namespace {
std::string levelScriptName;
std::string commandScriptName;
} // namespace

const char* TvGetLevelScriptName() { return levelScriptName.c_str(); }

void TvSetLevelScriptName(const char* name) { levelScriptName = name ? name : ""; }

const char* TvGetCommandScriptName() { return commandScriptName.c_str(); }

void TvSetCommandScriptName(const char* name) { commandScriptName = name ? name : ""; }
