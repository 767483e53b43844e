#pragma once
// Who may order what: the actors a client-to-server record names, found and
// checked before a handler acts on them. In multiplayer a player commands only
// the actors of the team slot it plays; in single player the one player
// commands every team. Server thread.

#include <cstdint>

#include "Tv/server/client_message_catalogue.h"
#include "platform/dplay/dplay_types.h"

class ServerUnit;
class ServerBot;

// Whether the sender plays `team` (single player: every team).
bool SenderControlsTeam(plat::DpId sender, int32_t team);

// The body of an order for the unit (bot) that the record's first field
// names, reading the fields after it: null when carried out, else why the
// record is dropped (having changed nothing).
using UnitOrderBody = const char* (*)(ServerUnit& unit, ClientRecordReader& in);
using BotOrderBody = const char* (*)(ServerBot& bot, ClientRecordReader& in);

// Runs the body for the actor the record names when it is a unit (a bot) of
// a team the sender controls; any other record is dropped and logged.
DrainStep RunUnitOrder(plat::DpId sender, const uint8_t* record, uint32_t size, UnitOrderBody body);
DrainStep RunBotOrder(plat::DpId sender, const uint8_t* record, uint32_t size, BotOrderBody body);
