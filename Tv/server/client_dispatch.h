#pragma once
// The server's dispatcher of client-to-server messages, the body of the
// server thread's drain. A record of a type outside the catalogue
// (client_message_catalogue.h) is freed unread; one shorter than a type, or
// one that does not fit its row, is dropped and logged. Rows handled in every
// phase run at once, the others only while the simulation runs.

#include <cstdint>

#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/message_buffer.h"

// Applies one message from a player (server thread). End: the drain stops for
// this pass.
DrainStep DispatchClientMessage(plat::DpId sender, const uint8_t* record, uint32_t size);
inline DrainStep DispatchClientMessage(plat::DpId sender, const MessageBuffer& message) {
    return DispatchClientMessage(sender, message.Data(), message.Size());
}
