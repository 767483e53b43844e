#pragma once
// DirectPlay 4 shaped ids, records, flags and result codes: the values of the
// original interface, limited to what the game's server and session layer use.

#include <cstdint>

#include "platform/d3d/ddraw_types.h"
#include "platform/d3d/results.h"

namespace plat {

// A player or group id.
using DpId = uint32_t;

// Senders and receivers: a message from kDpIdSystem is a system message; a
// send to kDpIdAllPlayers reaches every player; kDpIdServerPlayer is the id
// the server player always has.
constexpr DpId kDpIdSystem = 0;
constexpr DpId kDpIdAllPlayers = 0;
constexpr DpId kDpIdServerPlayer = 1;

// Results: 0 and kDpErrPending succeed (a send that is still going out).
constexpr HResult kDpOk = 0;
constexpr HResult kDpErrPending = static_cast<HResult>(0x8000000Au);
constexpr HResult kDpErrGeneric = static_cast<HResult>(0x80004005u);
constexpr HResult kDpErrInvalidParams = static_cast<HResult>(0x80070057u);
constexpr HResult kDpErrAlreadyInitialized = static_cast<HResult>(0x88770005u);
constexpr HResult kDpErrBufferTooSmall = static_cast<HResult>(0x8877001Eu);
constexpr HResult kDpErrInvalidPlayer = static_cast<HResult>(0x88770096u);
constexpr HResult kDpErrNoMessages = static_cast<HResult>(0x887700BEu);
constexpr HResult kDpErrConnecting = static_cast<HResult>(0x8877015Eu);

// CreatePlayer flags (DPPLAYER_*).
constexpr uint32_t kDpPlayerServerPlayer = 0x100;
// EnumPlayers: the flag the callback gets for the server player
// (DPENUMPLAYERS_SERVERPLAYER).
constexpr uint32_t kDpEnumPlayersServerPlayer = 0x100;
// Player types the EnumPlayers callback gets (DPPLAYERTYPE_*).
constexpr uint32_t kDpPlayerTypeGroup = 0;
constexpr uint32_t kDpPlayerTypePlayer = 1;
// Send flags (DPSEND_*).
constexpr uint32_t kDpSendGuaranteed = 0x1;
constexpr uint32_t kDpSendAsync = 0x200;
// GetMessageQueue flags (DPMESSAGEQUEUE_*).
constexpr uint32_t kDpMessageQueueSend = 0x1;
constexpr uint32_t kDpMessageQueueReceive = 0x2;
// Receive flags (DPRECEIVE_*).
constexpr uint32_t kDpReceiveToPlayer = 0x2;
constexpr uint32_t kDpReceivePeek = 0x8;
// System message types (DPSYS_*): the first int32 of a message from kDpIdSystem.
constexpr int32_t kDpSysSessionLost = 0x31;
// Session flags (DPSESSION_*).
constexpr uint32_t kDpSessionNewPlayersDisabled = 0x1;
constexpr uint32_t kDpSessionJoinDisabled = 0x20;

// DPNAME: a player's short and long names (either may be null).
struct DpName {
    const char* shortName = nullptr;
    const char* longName = nullptr;
};

// DPSESSIONDESC2 (80 bytes in the original; its size word says so). The name
// belongs to the DirectPlay object and lasts until its next call.
struct DpSessionDesc {
    uint32_t size = 80;
    uint32_t flags = 0;
    Guid instance{};
    Guid application{};
    uint32_t maxPlayers = 0;
    uint32_t currentPlayers = 0;
    const char* sessionName = nullptr;
};
constexpr uint32_t kDpSessionDescSize = 80;

} // namespace plat
