#include "Tv/server/session_players.h"

#include "core/rwlock.h"

List<SessionPlayer*> SessionPlayerList;

namespace {

RwLock sessionPlayerLock;
// The list's count, which the server thread reads without the lock.
std::atomic<uint32_t> sessionPlayerCount{0};
std::atomic<plat::DirectPlay*> sessionDirectPlay{nullptr};

} // namespace

void FreeSessionPlayers(List<SessionPlayer*>& list) {
    for (SessionPlayer* player : list) delete player;
    list.Clear();
}

SessionPlayerReadLock::SessionPlayerReadLock() { sessionPlayerLock.Lock(false); }

SessionPlayerReadLock::~SessionPlayerReadLock() { sessionPlayerLock.Unlock(false); }

void TvSetSessionPlayers(const std::vector<std::pair<plat::DpId, const char*>>& players) {
    sessionPlayerLock.Lock(true);
    FreeSessionPlayers(SessionPlayerList);
    for (const auto& [id, name] : players) SessionPlayerList.PushBack(new SessionPlayer(id, name));
    sessionPlayerCount = static_cast<uint32_t>(SessionPlayerList.Count());
    sessionPlayerLock.Unlock(true);
}

void TvSetDirectPlay(plat::DirectPlay* directPlay) {
    if (directPlay) directPlay->AddRef();
    if (plat::DirectPlay* old = sessionDirectPlay.exchange(directPlay)) old->Release();
}

plat::DirectPlay* TvGetDirectPlay() { return sessionDirectPlay.load(); }

bool TvHasDirectPlay() { return sessionDirectPlay.load() != nullptr; }

uint32_t TvGetPlayerCount() { return sessionPlayerCount; }

SessionPlayer* TvGetPlayer(int32_t index) {
    // A walk, not the list's index array: readers on two threads would both build that.
    if (index < 0) return nullptr;
    for (SessionPlayer* player : SessionPlayerList)
        if (index-- == 0) return player;
    return nullptr;
}

int32_t TvPlayerSlotForId(plat::DpId id) {
    for (int32_t i = 0; i < kMaxSessionPlayers; ++i) {
        const SessionPlayer* player = TvGetPlayer(i);
        if (player && player->Id == id) return PlayerSlotOfIndex(i);
    }
    return 1;
}

int32_t TvPlayerIndexForSlot(int32_t slot) {
    int32_t index;
    switch (slot) {
    case 1: index = 0; break;
    case 3: index = 1; break;
    case 4: index = 2; break;
    case 5: index = 3; break;
    default: return 0;
    }
    return index < static_cast<int32_t>(TvGetPlayerCount()) ? index : -1;
}
