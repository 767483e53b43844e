#include "tests/support/fake_direct_play.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/threads.h"

using plat::DpId;
using plat::HResult;

int32_t FakeDirectPlay::Sent::Type() const {
    if (bytes.size() < 4) return -1;
    int32_t type;
    std::memcpy(&type, bytes.data(), 4);
    return type;
}

DpId FakeDirectPlay::AddPlayer(const std::string& name) {
    std::lock_guard hold(mutex_);
    const DpId id = nextRemoteId_++;
    players_.push_back({id, name, false, false, nullptr, {}});
    return id;
}

DpId FakeDirectPlay::AddClientPlayer(const std::string& name) {
    std::lock_guard hold(mutex_);
    if (!FindLocked(plat::kDpIdServerPlayer))
        players_.push_back({plat::kDpIdServerPlayer, "server", false, true, nullptr, {}});
    const DpId id = nextLocalId_++;
    players_.push_back({id, name, true, false, nullptr, {}});
    return id;
}

void FakeDirectPlay::RemovePlayer(DpId id) {
    std::lock_guard hold(mutex_);
    std::erase_if(players_, [id](const Player& p) { return p.id == id; });
    for (auto& [group, members] : groups_) std::erase(members, id);
}

void FakeDirectPlay::SetQueueCount(DpId to, uint32_t messages) {
    std::lock_guard hold(mutex_);
    queueCounts_[to] = messages;
}

void FakeDirectPlay::SetAnyQueueCount(uint32_t flag, uint32_t messages) {
    std::lock_guard hold(mutex_);
    anyQueueCounts_[flag] = messages;
}

void FakeDirectPlay::LoseSession(DpId to) {
    std::vector<uint8_t> bytes(4);
    std::memcpy(bytes.data(), &plat::kDpSysSessionLost, 4);
    Deliver(plat::kDpIdSystem, to, bytes);
}

void FakeDirectPlay::OnReceive(std::function<void()> hook) {
    std::lock_guard hold(mutex_);
    onReceive_ = std::move(hook);
}

void FakeDirectPlay::FailCall(Call call, HResult result, int times) {
    std::lock_guard hold(mutex_);
    failures_[call] = {result, times};
}

void FakeDirectPlay::Deliver(DpId from, DpId to, const std::vector<uint8_t>& bytes) {
    plat::Event* event = nullptr;
    {
        std::lock_guard hold(mutex_);
        Player* player = FindLocked(to);
        if (!player) return;
        player->inbox.emplace_back(from, bytes);
        event = player->receiveEvent;
    }
    if (event) event->Set();
}

std::vector<FakeDirectPlay::Sent> FakeDirectPlay::Sends() const {
    std::lock_guard hold(mutex_);
    return sends_;
}

std::vector<FakeDirectPlay::Sent> FakeDirectPlay::TakeSends() {
    std::lock_guard hold(mutex_);
    return std::exchange(sends_, {});
}

std::vector<DpId> FakeDirectPlay::GroupMembers(DpId group) const {
    std::lock_guard hold(mutex_);
    const auto it = groups_.find(group);
    return it == groups_.end() ? std::vector<DpId>{} : it->second;
}

int32_t FakeDirectPlay::LocalPlayerCount() const {
    std::lock_guard hold(mutex_);
    return static_cast<int32_t>(
        std::count_if(players_.begin(), players_.end(), [](const Player& p) { return p.local; }));
}

int32_t FakeDirectPlay::GroupCount() const {
    std::lock_guard hold(mutex_);
    return static_cast<int32_t>(groups_.size());
}

uint32_t FakeDirectPlay::SessionFlags() const {
    std::lock_guard hold(mutex_);
    return sessionFlags_;
}

int32_t FakeDirectPlay::CallCount(Call call) const {
    std::lock_guard hold(mutex_);
    const auto it = calls_.find(call);
    return it == calls_.end() ? 0 : it->second;
}

uint32_t FakeDirectPlay::RefCount() {
    const uint32_t count = AddRef() - 1;
    Release();
    return count;
}

HResult FakeDirectPlay::Enter(Call call) {
    ++calls_[call];
    const auto it = failures_.find(call);
    if (it == failures_.end() || it->second.times <= 0) return plat::kDpOk;
    --it->second.times;
    return it->second.result;
}

FakeDirectPlay::Player* FakeDirectPlay::FindLocked(DpId id) {
    const auto it = std::find_if(players_.begin(), players_.end(), [id](const Player& p) { return p.id == id; });
    return it == players_.end() ? nullptr : &*it;
}

HResult FakeDirectPlay::CreatePlayer(DpId* id, const plat::DpName* name, plat::Event* receiveEvent, const void*,
                                     uint32_t, uint32_t flags) {
    std::lock_guard hold(mutex_);
    if (const HResult r = Enter(Call::CreatePlayer); r != plat::kDpOk) return r;
    if (!id) return plat::kDpErrInvalidParams;
    const bool server = (flags & plat::kDpPlayerServerPlayer) != 0;
    *id = server ? plat::kDpIdServerPlayer : nextLocalId_++;
    players_.push_back({*id, name && name->shortName ? name->shortName : "", true, server, receiveEvent, {}});
    return plat::kDpOk;
}

HResult FakeDirectPlay::DestroyPlayer(DpId id) {
    std::lock_guard hold(mutex_);
    if (const HResult r = Enter(Call::DestroyPlayer); r != plat::kDpOk) return r;
    const size_t before = players_.size();
    std::erase_if(players_, [id](const Player& p) { return p.id == id; });
    return players_.size() == before ? plat::kDpErrInvalidPlayer : plat::kDpOk;
}

HResult FakeDirectPlay::CreateGroup(DpId* id, const plat::DpName*, const void*, uint32_t, uint32_t) {
    std::lock_guard hold(mutex_);
    if (const HResult r = Enter(Call::CreateGroup); r != plat::kDpOk) return r;
    if (!id) return plat::kDpErrInvalidParams;
    *id = nextGroupId_++;
    groups_[*id];
    return plat::kDpOk;
}

HResult FakeDirectPlay::AddPlayerToGroup(DpId group, DpId player) {
    std::lock_guard hold(mutex_);
    if (const HResult r = Enter(Call::AddPlayerToGroup); r != plat::kDpOk) return r;
    const auto it = groups_.find(group);
    if (it == groups_.end() || !FindLocked(player)) return plat::kDpErrInvalidPlayer;
    it->second.push_back(player);
    return plat::kDpOk;
}

HResult FakeDirectPlay::EnumPlayers(const plat::Guid*, const plat::DpEnumPlayersCallback& callback, uint32_t) {
    std::vector<Player> players;
    {
        std::lock_guard hold(mutex_);
        if (const HResult r = Enter(Call::EnumPlayers); r != plat::kDpOk) return r;
        players = players_;
    }
    // The callback may call back into the session: it runs without the lock.
    for (const Player& p : players) {
        const plat::DpName name{p.name.c_str(), p.name.c_str()};
        if (!callback(p.id, plat::kDpPlayerTypePlayer, name, p.server ? plat::kDpEnumPlayersServerPlayer : 0)) break;
    }
    return plat::kDpOk;
}

HResult FakeDirectPlay::GetMessageQueue(DpId from, DpId to, uint32_t flags, uint32_t* messages, uint32_t* bytes) {
    std::lock_guard hold(mutex_);
    if (const HResult r = Enter(Call::GetMessageQueue); r != plat::kDpOk) return r;
    if (from == plat::kDpIdAllPlayers && to == plat::kDpIdAllPlayers) {
        if (messages) *messages = AnyQueueCountLocked(flags);
        if (bytes) *bytes = 0;
        return plat::kDpOk;
    }
    if (!FindLocked(to)) return plat::kDpErrInvalidPlayer;
    if (messages) *messages = queueCounts_[to];
    if (bytes) *bytes = 0;
    return plat::kDpOk;
}

HResult FakeDirectPlay::RecordSend(DpId from, DpId to, uint32_t flags, const void* data, uint32_t size, bool ex,
                                   uint32_t priority, uint32_t timeoutMs) {
    if (to != plat::kDpIdAllPlayers && !FindLocked(to) && !groups_.contains(to)) return plat::kDpErrInvalidPlayer;
    const auto* bytes = static_cast<const uint8_t*>(data);
    sends_.push_back({from, to, flags, std::vector<uint8_t>(bytes, bytes + size), ex, priority, timeoutMs});
    return plat::kDpOk;
}

HResult FakeDirectPlay::Send(DpId from, DpId to, uint32_t flags, const void* data, uint32_t size) {
    std::lock_guard hold(mutex_);
    if (const HResult r = Enter(Call::Send); r != plat::kDpOk) return r;
    return RecordSend(from, to, flags, data, size, false, 0, 0);
}

HResult FakeDirectPlay::SendEx(DpId from, DpId to, uint32_t flags, const void* data, uint32_t size, uint32_t priority,
                               uint32_t timeoutMs, void*, uint32_t*) {
    std::lock_guard hold(mutex_);
    if (const HResult r = Enter(Call::SendEx); r != plat::kDpOk) return r;
    const HResult r = RecordSend(from, to, flags, data, size, true, priority, timeoutMs);
    return r == plat::kDpOk && (flags & plat::kDpSendAsync) ? plat::kDpErrPending : r;
}

uint32_t FakeDirectPlay::AnyQueueCountLocked(uint32_t flags) const {
    if (const auto it = anyQueueCounts_.find(flags); it != anyQueueCounts_.end()) return it->second;
    if (flags != plat::kDpMessageQueueReceive) return 0;
    uint32_t waiting = 0;
    for (const Player& p : players_)
        if (p.local) waiting += static_cast<uint32_t>(p.inbox.size());
    return waiting;
}

HResult FakeDirectPlay::Receive(DpId* from, DpId* to, uint32_t flags, void* data, uint32_t* size) {
    std::function<void()> hook;
    {
        std::lock_guard hold(mutex_);
        hook = onReceive_;
    }
    if (hook) hook();
    std::lock_guard hold(mutex_);
    if (const HResult r = Enter(Call::Receive); r != plat::kDpOk) return r;
    if (!from || !to || !size || !(flags & plat::kDpReceiveToPlayer)) return plat::kDpErrInvalidParams;
    Player* player = FindLocked(*to);
    if (!player) return plat::kDpErrInvalidPlayer;
    if (player->inbox.empty()) return plat::kDpErrNoMessages;
    const auto& [sender, bytes] = player->inbox.front();
    const auto needed = static_cast<uint32_t>(bytes.size());
    if (!data || *size < needed) {
        *size = needed;
        return plat::kDpErrBufferTooSmall;
    }
    std::memcpy(data, bytes.data(), needed);
    *size = needed;
    *from = sender;
    if (!(flags & plat::kDpReceivePeek)) player->inbox.pop_front();
    return plat::kDpOk;
}

HResult FakeDirectPlay::GetSessionDesc(plat::DpSessionDesc* desc, uint32_t* size) {
    std::lock_guard hold(mutex_);
    if (const HResult r = Enter(Call::GetSessionDesc); r != plat::kDpOk) return r;
    if (!size) return plat::kDpErrInvalidParams;
    const uint32_t needed = plat::kDpSessionDescSize + static_cast<uint32_t>(sessionName_.size()) + 1;
    if (!desc || *size < needed) {
        *size = needed;
        return plat::kDpErrBufferTooSmall;
    }
    *desc = {};
    desc->flags = sessionFlags_;
    desc->currentPlayers = static_cast<uint32_t>(players_.size());
    desc->sessionName = sessionName_.c_str();
    return plat::kDpOk;
}

HResult FakeDirectPlay::SetSessionDesc(const plat::DpSessionDesc& desc) {
    std::lock_guard hold(mutex_);
    if (const HResult r = Enter(Call::SetSessionDesc); r != plat::kDpOk) return r;
    sessionFlags_ = desc.flags;
    return plat::kDpOk;
}
