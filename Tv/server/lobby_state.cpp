#include "Tv/server/lobby_state.h"

#include <cstring>

#include "platform/threads.h"

Relaxed<int32_t> LobbyRobotChoices[20];
Relaxed<uint8_t> LobbyReadyFlags[4];
Relaxed<int32_t> LobbySessionValue{0};

namespace {

plat::CriticalSection chatGuard;
char chatText[kLobbyChatTextSize];

} // namespace

void TvSetLobbyChatText(const char* text) {
    plat::CriticalSectionLock hold(chatGuard);
    std::strncpy(chatText, text, kLobbyChatTextSize - 1);
    chatText[kLobbyChatTextSize - 1] = '\0';
}

void TvGetLobbyChatText(char* out) {
    plat::CriticalSectionLock hold(chatGuard);
    std::memcpy(out, chatText, kLobbyChatTextSize);
}
