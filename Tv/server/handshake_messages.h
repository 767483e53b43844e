#pragma once
// The client messages the server core answers itself: the speed
// acknowledgement (4), READY (6), the request to send the go again (7) and
// the settings request (52). Called by the dispatcher on the server thread
// with a message of the checked size.

#include <cstdint>

#include "Tv/server/client_dispatch.h"

// The sender has acknowledged the pending speed change of that sequence number.
DrainStep HandleSpeedAcknowledgement(plat::DpId sender, const uint8_t* bytes, uint32_t size);
// Once the player list is built: the sender is ready; the match is open again
// and the pass counter restarts.
DrainStep HandleReady(plat::DpId sender, const uint8_t* bytes, uint32_t size);
// Multiplayer: message 2 (the go) to the sender again.
DrainStep HandleWaitingForGo(plat::DpId sender, const uint8_t* bytes, uint32_t size);
// Message 162 (settings and mission statistics) to everybody; the drain ends
// for this pass.
DrainStep HandleSettingsRequest(plat::DpId sender, const uint8_t* bytes, uint32_t size);
