#include "Tv/server/server_hooks.h"

namespace {
ServerHooks installed;
}

void SetServerHooks(const ServerHooks& hooks) { installed = hooks; }

const ServerHooks& InstalledServerHooks() { return installed; }
