#include "Tv/frontend/levelnames.h"

#include <string>

namespace {
std::string levelScriptName;
}

const char* TvGetLevelScriptName() { return levelScriptName.c_str(); }

void TvSetLevelScriptName(const char* name) { levelScriptName = name ? name : ""; }
