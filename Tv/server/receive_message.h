#pragma once
// The one DirectPlay receive path: the server thread takes its messages with
// it for the server player, the client side for the client player.

#include "Tv/server/message_buffer.h"
#include "platform/dplay/direct_play.h"

// The next message addressed to player `to`, sized by a peek first (and again
// when it grew in between); `from` gets the sender (kDpIdSystem for a
// DirectPlay system message). None with `ok` true when no message waits; none
// with `ok` false when DirectPlay fails.
MessageBuffer TvReceiveMessage(bool& ok, plat::DpId& from, plat::DirectPlay* directPlay, plat::DpId to);
