#include "Tv/console/token_table.h"

#include <utility>

namespace {
TokenSetter installed = nullptr;
}

void TokenTable::Set(const char* name, float value) {
    if (installed) installed(name, value);
}

TokenSetter TokenTable::Install(TokenSetter setter) { return std::exchange(installed, setter); }
