#pragma once
// Who may order what: the actors a client-to-server record names, found and
// checked before a handler acts on them. In multiplayer a player commands only
// the actors of the team slot it plays; in single player the one player
// commands every team. Server thread.

#include <cstdint>

#include "platform/dplay/dplay_types.h"

class ServerObject;
class ServerUnit;
class ServerBot;

// Whether the sender plays `team` (single player: every team).
bool SenderControlsTeam(plat::DpId sender, int32_t team);

// The actor with that id when it is a unit (a bot) of a team the sender
// controls; else null, with `reason` saying why.
ServerUnit* OrderedUnit(plat::DpId sender, int32_t id, const char*& reason);
ServerBot* OrderedBot(plat::DpId sender, int32_t id, const char*& reason);
