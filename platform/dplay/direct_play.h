#pragma once
// The DirectPlay 4 shaped session object (IDirectPlay4A): players, groups,
// sends with delivery flags and queue counts, receives and the session's
// description, with the original calls' arguments and results. Only the calls
// the game makes are here; the session layer's backends implement them.
// Every call is safe from any thread (the server thread and the main thread
// share one object); failures are negative results.

#include <cstdint>
#include <functional>

#include "platform/d3d/com_object.h"
#include "platform/dplay/dplay_types.h"

namespace plat {

class Event;

// Gets each player or group (its id, kDpPlayerType*, its names and
// kDpEnumPlayers* flags); returns false to stop the enumeration.
using DpEnumPlayersCallback = std::function<bool(DpId id, uint32_t playerType, const DpName& name, uint32_t flags)>;

class DirectPlay : public ComObject {
public:
    // A new local player; `receiveEvent` (may be null) is set whenever a
    // message for it arrives. kDpPlayerServerPlayer makes the server player,
    // whose id is kDpIdServerPlayer.
    virtual HResult CreatePlayer(DpId* id, const DpName* name, Event* receiveEvent, const void* data, uint32_t dataSize,
                                 uint32_t flags) = 0;
    virtual HResult DestroyPlayer(DpId id) = 0;
    virtual HResult CreateGroup(DpId* id, const DpName* name, const void* data, uint32_t dataSize, uint32_t flags) = 0;
    virtual HResult AddPlayerToGroup(DpId group, DpId player) = 0;
    // Every player of the session (`instance` null: the open session), in the
    // order they joined.
    virtual HResult EnumPlayers(const Guid* instance, const DpEnumPlayersCallback& callback, uint32_t flags) = 0;

    // The messages and bytes waiting in the send queue (kDpMessageQueueSend)
    // from `from` to `to`; either output may be null.
    virtual HResult GetMessageQueue(DpId from, DpId to, uint32_t flags, uint32_t* messages, uint32_t* bytes) = 0;
    // To a player, a group or kDpIdAllPlayers; kDpSendGuaranteed delivers in
    // order without a time-out.
    virtual HResult Send(DpId from, DpId to, uint32_t flags, const void* data, uint32_t size) = 0;
    // As Send, with a priority, a time-out in milliseconds (0: none) and, with
    // kDpSendAsync, kDpErrPending while the message is still going out.
    virtual HResult SendEx(DpId from, DpId to, uint32_t flags, const void* data, uint32_t size, uint32_t priority,
                           uint32_t timeoutMs, void* context, uint32_t* messageId) = 0;
    // The next message for `*to` (with kDpReceiveToPlayer) into `data` of
    // `*size` bytes: kDpErrBufferTooSmall with the size needed in `*size` when
    // it does not fit (or `data` is null), kDpErrNoMessages when there is none;
    // kDpReceivePeek leaves it queued. On success `*from` is the sender.
    virtual HResult Receive(DpId* from, DpId* to, uint32_t flags, void* data, uint32_t* size) = 0;

    // The session's description: with `desc` null, or `*size` below the size
    // needed, kDpErrBufferTooSmall and the size in `*size`.
    virtual HResult GetSessionDesc(DpSessionDesc* desc, uint32_t* size) = 0;
    virtual HResult SetSessionDesc(const DpSessionDesc& desc) = 0;

protected:
    DirectPlay() = default;
    ~DirectPlay() override = default;
};

} // namespace plat
