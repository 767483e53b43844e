#pragma once
// The session's players as the game reads them: the DirectPlay object of a
// multiplayer game and SessionPlayerList, the players other than the server
// player in the order DirectPlay reports them. Player index 0 plays team slot
// 1, index 1 slot 3, index 2 slot 4 and index 3 slot 5 (slot 2 is the
// computer's side); a session has at most four players.
//
// The session layer rebuilds the list on the main thread; the server thread
// reads the players while it holds a SessionPlayerReadLock, which the rebuild
// waits for, and their count at any time. The main thread reads freely.

#include <cstdint>
#include <utility>
#include <vector>

#include "Tv/defs/ownedtext.h"
#include "core/list.h"
#include "core/relaxed.h"
#include "platform/dplay/direct_play.h"

constexpr int32_t kMaxSessionPlayers = 4;

// A player of the session (also the record of the server's ServerPlayerList).
// The three bytes are written by the server thread and read by the main thread.
struct SessionPlayer : MemObject {
    SessionPlayer(plat::DpId id, const char* name) : Name(OwnedText::FromNullable(name)), Id(id) {}

    OwnedText Name;
    plat::DpId Id;
    Relaxed<uint8_t> Gone{0};         // has left the session (dropped-player check)
    Relaxed<uint8_t> Ready{0};        // has answered the level-start handshake
    Relaxed<uint8_t> Acknowledged{0}; // has acknowledged the pending speed change
};

// Empties a list of owned records.
void FreeSessionPlayers(List<SessionPlayer*>& list);

extern List<SessionPlayer*> SessionPlayerList;

// Shared hold on SessionPlayerList for the server thread.
class SessionPlayerReadLock {
public:
    SessionPlayerReadLock();
    ~SessionPlayerReadLock();
    SessionPlayerReadLock(const SessionPlayerReadLock&) = delete;
    SessionPlayerReadLock& operator=(const SessionPlayerReadLock&) = delete;
};

// Replaces SessionPlayerList with players {id, short name} in this order,
// waiting for the server thread's readers.
void TvSetSessionPlayers(const std::vector<std::pair<plat::DpId, const char*>>& players);

// The session's DirectPlay object (one reference held), or null in single
// player. Setting one takes a reference and drops the previous one's.
void TvSetDirectPlay(plat::DirectPlay* directPlay);
plat::DirectPlay* TvGetDirectPlay();
// A multiplayer game: the session has a DirectPlay object.
bool TvHasDirectPlay();

uint32_t TvGetPlayerCount();
// The player at that index, or null at or beyond the count.
SessionPlayer* TvGetPlayer(int32_t index);
// The team slot (1, 3, 4, 5) of the player among indices 0 to 3 with that id; 1 when none has it.
int32_t TvPlayerSlotForId(plat::DpId id);
// Slots 1, 3, 4, 5 give indices 0 to 3, or -1 when that index is not below
// the player count; any other slot gives 0.
int32_t TvPlayerIndexForSlot(int32_t slot);
// The team slot of player index i: 1 for index 0, i + 2 otherwise.
constexpr int32_t PlayerSlotOfIndex(int32_t index) { return index == 0 ? 1 : index + 2; }
