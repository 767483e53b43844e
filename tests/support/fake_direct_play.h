#pragma once
// A scripted DirectPlay session for tests: the server's player and group are
// made by the code under test, remote players are added and removed by the
// test (in creation order), or the test plays a client in a session hosted
// elsewhere; every send is recorded, queue counts are set by hand, messages
// are delivered to a player's receive queue, the session can be lost, and any
// call can be made to fail. Safe from any thread.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/dplay/direct_play.h"

class FakeDirectPlay final : public plat::DirectPlay {
public:
    enum class Call {
        CreatePlayer,
        DestroyPlayer,
        CreateGroup,
        AddPlayerToGroup,
        EnumPlayers,
        GetMessageQueue,
        Send,
        SendEx,
        Receive,
        GetSessionDesc,
        SetSessionDesc,
    };

    struct Sent {
        plat::DpId from, to;
        uint32_t flags;
        std::vector<uint8_t> bytes;
        bool ex;              // through SendEx
        uint32_t priority;    // SendEx only
        uint32_t timeoutMs;   // SendEx only
        int32_t Type() const; // the message's first int32, or -1
    };

    // Reference count 1; give it back with Release().
    FakeDirectPlay() = default;

    // A remote player joins; ids count up from 0x100 in creation order.
    plat::DpId AddPlayer(const std::string& name);
    // A local client player of a session hosted elsewhere: the remote server
    // player (kDpIdServerPlayer) joins first when it is missing. Ids of local
    // players count up from 0x20000.
    plat::DpId AddClientPlayer(const std::string& name);
    // The player leaves the session: it is no longer enumerated, and sends to it
    // fail.
    void RemovePlayer(plat::DpId id);
    // What GetMessageQueue answers for messages queued to a player (0 until set).
    void SetQueueCount(plat::DpId to, uint32_t messages);
    // What GetMessageQueue answers for all players (from and to 0) with that
    // kDpMessageQueue* flag. Until set: the messages waiting in the local
    // players' receive queues, and 0 waiting to be sent.
    void SetAnyQueueCount(uint32_t flag, uint32_t messages);
    // The session is lost: the system message kDpSysSessionLost goes to `to`.
    void LoseSession(plat::DpId to);
    // Runs at the start of every Receive, outside the session's lock (a test
    // moves its virtual clock there); an empty function removes it.
    void OnReceive(std::function<void()> hook);
    // The next `times` calls of `call` answer `result` and do nothing else.
    void FailCall(Call call, plat::HResult result = plat::kDpErrGeneric, int times = 1);
    // Queues a message for player `to` and sets its receive event.
    void Deliver(plat::DpId from, plat::DpId to, const std::vector<uint8_t>& bytes);

    std::vector<Sent> Sends() const;
    // The recorded sends, which are then forgotten.
    std::vector<Sent> TakeSends();
    std::vector<plat::DpId> GroupMembers(plat::DpId group) const;
    // Local players made with CreatePlayer, and groups made with CreateGroup.
    int32_t LocalPlayerCount() const;
    int32_t GroupCount() const;
    uint32_t SessionFlags() const;
    int32_t CallCount(Call call) const;
    uint32_t RefCount();

    plat::HResult CreatePlayer(plat::DpId* id, const plat::DpName* name, plat::Event* receiveEvent, const void* data,
                               uint32_t dataSize, uint32_t flags) override;
    plat::HResult DestroyPlayer(plat::DpId id) override;
    plat::HResult CreateGroup(plat::DpId* id, const plat::DpName* name, const void* data, uint32_t dataSize,
                              uint32_t flags) override;
    plat::HResult AddPlayerToGroup(plat::DpId group, plat::DpId player) override;
    plat::HResult EnumPlayers(const plat::Guid* instance, const plat::DpEnumPlayersCallback& callback,
                              uint32_t flags) override;
    plat::HResult GetMessageQueue(plat::DpId from, plat::DpId to, uint32_t flags, uint32_t* messages,
                                  uint32_t* bytes) override;
    plat::HResult Send(plat::DpId from, plat::DpId to, uint32_t flags, const void* data, uint32_t size) override;
    plat::HResult SendEx(plat::DpId from, plat::DpId to, uint32_t flags, const void* data, uint32_t size,
                         uint32_t priority, uint32_t timeoutMs, void* context, uint32_t* messageId) override;
    plat::HResult Receive(plat::DpId* from, plat::DpId* to, uint32_t flags, void* data, uint32_t* size) override;
    plat::HResult GetSessionDesc(plat::DpSessionDesc* desc, uint32_t* size) override;
    plat::HResult SetSessionDesc(const plat::DpSessionDesc& desc) override;

private:
    struct Player {
        plat::DpId id;
        std::string name;
        bool local;
        bool server;
        plat::Event* receiveEvent;
        std::deque<std::pair<plat::DpId, std::vector<uint8_t>>> inbox;
    };
    struct Failure {
        plat::HResult result;
        int times;
    };

    ~FakeDirectPlay() override = default;
    // Counts the call; a scripted failure's result, or kDpOk (under the lock).
    plat::HResult Enter(Call call);
    Player* FindLocked(plat::DpId id);
    uint32_t AnyQueueCountLocked(uint32_t flags) const;
    plat::HResult RecordSend(plat::DpId from, plat::DpId to, uint32_t flags, const void* data, uint32_t size, bool ex,
                             uint32_t priority, uint32_t timeoutMs);

    mutable std::mutex mutex_;
    std::vector<Player> players_; // creation order
    std::map<plat::DpId, std::vector<plat::DpId>> groups_;
    std::map<plat::DpId, uint32_t> queueCounts_;
    std::map<uint32_t, uint32_t> anyQueueCounts_; // by kDpMessageQueue* flag
    std::function<void()> onReceive_;
    std::map<Call, Failure> failures_;
    std::map<Call, int32_t> calls_;
    std::vector<Sent> sends_;
    plat::DpId nextRemoteId_ = 0x100;
    plat::DpId nextGroupId_ = 0x10000;
    plat::DpId nextLocalId_ = 0x20000;
    uint32_t sessionFlags_ = 0;
    std::string sessionName_ = "fake session";
};
