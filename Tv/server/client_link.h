#pragma once
// The client's end of the link to the server (main thread only): attaching to
// a server (a DirectPlay session, or the local queues in single player),
// sending to it, the per-frame poll that dispatches the server's messages,
// the client half of the level-start handshake, the time reports that keep
// the game clock in step, and the lobby requests of the front end.
//
// In single player the client talks to the server thread of this process
// through ClientToServerQueue and ServerToClientQueue; in multiplayer through
// the session's DirectPlay object, from the client's own player to the
// server player (id 1), and it dispatches only records from the server player.

#include <cstdint>

#include "core/bytes.h"
#include "platform/dplay/direct_play.h"

struct ClientLinkState {
    plat::DirectPlay* DirectPlay = nullptr; // one reference held while attached; null in single player
    plat::DpId PlayerId = 0;                // the client's own player (multiplayer)
    bool Attached = false;
};
extern ClientLinkState ClientLink;

// The game speed the server last announced (messages 136 and 137); 1.0 at start.
extern float ClientBaseSpeed;
// 0.8 to 1.2: how much faster the game clock runs than ClientBaseSpeed to
// catch up with the server clock (message 202; multiplayer only); 1.0 at start.
extern float ClockCorrection;
// Set once the lobby's welcome text (message 143) has been printed; cleared by message 135.
extern uint8_t LobbyTextShown;

// Ids of projectiles whose end (71) came before their creation (70), so a late
// 70 builds nothing. At most kRemovedProjectileIdLimit are kept: the oldest is
// forgotten first. Emptied by TvClientReady.
constexpr int32_t kRemovedProjectileIdLimit = 256;
void TvRememberRemovedProjectile(int32_t id);
bool TvIsRemovedProjectile(int32_t id);
int32_t TvRemovedProjectileCount();
void TvForgetRemovedProjectiles();

// Attaches the client to the server: `directPlay` and the client's own player
// in multiplayer (a reference is taken), null in single player (the outward
// queue is emptied). False, changing nothing, when already attached.
bool TvAttachClient(plat::DirectPlay* directPlay, plat::DpId playerId);
// Releases every client object (the selection emptied) and the DirectPlay
// reference, and empties the outward queue.
void TvDetachClient();
bool TvIsClientAttached();
// Releases every client object and empties the selection, without detaching (level unload).
void TvClearClientObjects();

// Sends one message of `size` bytes to the server. Single player: queued,
// true. Multiplayer: a message that is not guaranteed is dropped (and counts
// as sent) while 29 or more messages wait to be sent; false when DirectPlay
// fails (passed to AwReportError). Every message sent, or dropped, reaches
// the message recorder.
bool TvSendToServer(const void* message, uint32_t size, bool guaranteed);
inline bool TvSendToServer(const ByteWriter& m, bool guaranteed) {
    return TvSendToServer(m.bytes().data(), static_cast<uint32_t>(m.size()), guaranteed);
}

// Once per frame: dispatches the waiting server messages (at most 50 in
// multiplayer; in single player the server thread is woken for its pass and
// the local queue is drained), updates every client object, and in the play
// state sends the time report. False after a DirectPlay receive error.
bool TvPollServerMessages();
// The briefing screen's poll: drains everything waiting but applies only
// message 162 (the others are discarded unread); otherwise as TvPollServerMessages.
bool TvPollBriefingMessages();

// After the level has loaded. Multiplayer: forgets the removed projectiles and
// tells the server the client is ready (message 6); false when the send fails.
// Single player: true.
bool TvClientReady();
// Waits for the server's go. Single player: at once. Multiplayer: answers
// every "are you ready" (5) with 6, asks again with 7 after 15 s and then at
// every tenth empty receive; false after 120 s, when the session is lost, on a
// receive error or a failed send. On the go the game clock runs from
// LevelStartTime and every client object starts.
bool TvWaitForGo();
// Multiplayer, outside cutscenes: the game clock's time to the server (message
// 54), at most once every 2 s of real time.
void TvSendTimeReport();

// The game clock's speed: ClientBaseSpeed x ClockCorrection in multiplayer,
// ClientBaseSpeed in single player.
void TvApplyClientClockSpeed();

// Lobby and chat requests (player: the 1-based session player number). A chat
// text longer than 254 characters is cut to 254.
bool TvSendChat(const char* text);
bool TvSendPlayerOption(int32_t slot, int32_t player, int32_t value);
bool TvSendCycleLobbyChoice(int32_t player);
bool TvSendPlayerReady(int32_t player);
bool TvSendPlayerNotReady(int32_t player);
