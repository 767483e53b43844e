#include "Tv/server/client_dispatch.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/message_recorder.h"
#include "Tv/server/receive_message.h"
#include "Tv/server/server_state.h"
#include "Tv/server/server_thread_parts.h"

namespace {

// The next client message and its sender: from DirectPlay for the server
// player in multiplayer, else from ClientToServerQueue (sender 1). None ends the drain.
MessageBuffer NextClientMessage(plat::DpId& sender) {
    if (!ServerDirectPlay) {
        sender = plat::kDpIdServerPlayer;
        return ClientToServerQueue.Pop();
    }
    bool ok;
    return TvReceiveMessage(ok, sender, ServerDirectPlay, plat::kDpIdServerPlayer);
}

} // namespace

void DrainClientMessages() {
    for (;;) {
        plat::DpId sender = plat::kDpIdSystem;
        const MessageBuffer message = NextClientMessage(sender);
        if (!message) return;
        if (sender == plat::kDpIdSystem) continue; // DirectPlay's own messages: freed unread
        RecordMessage(MessageDirection::ClientToServer, message.Data(), message.Size());
        if (DispatchClientMessage(sender, message) == DrainStep::End) return;
    }
}
