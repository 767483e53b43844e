#pragma once
// The server's dispatcher of client-to-server messages, the body of the
// server thread's drain. It knows the size a client sends every type with;
// a message of another size is dropped and logged, and a type no handler
// takes is freed unread. Handlers of the lobby and readiness messages run in
// every phase, the others only while the simulation runs. The server core
// handles the speed acknowledgement (4), READY (6), the go request (7) and the
// settings request (52); the client-order handlers are installed by their owners.

#include <cstdint>

#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/message_buffer.h"

// Installs the handler of a client-to-server type (null removes it); false
// for a type outside the client-to-server catalogue.
bool SetClientMessageHandler(int32_t type, ClientMessageHandler handler, bool anyPhase);
// Whether a message is a client-to-server type of the size clients send it
// with (group orders: 20 bytes plus 4 for each unit id their count names).
bool ClientMessageSizeFits(const uint8_t* bytes, uint32_t size);
// Applies one message from a player (server thread).
DrainStep DispatchClientMessage(plat::DpId sender, const MessageBuffer& message);
