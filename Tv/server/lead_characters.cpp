#include "Tv/server/lead_characters.h"

#include "Tv/server/game_settings.h"
#include "Tv/server/session_players.h"
#include "core/hashtable.h"

const char* const LeadCharacterNames[kLeadCharacterCount] = {"TAVRIN", "ZUDAD", "DODO", "DORIZ", "DREVANIS"};

int32_t LeadCharacterIndex(const char* name) {
    if (!name) return -1;
    for (int32_t k = 0; k < kLeadCharacterCount; ++k)
        if (NameEquals(name, LeadCharacterNames[k])) return k;
    return -1;
}

int32_t TvCoopTeamOf(const char* name, int32_t team) {
    const int32_t k = LeadCharacterIndex(name);
    if (k < 0) return team;
    const int32_t position = CoopCharacterTable[k];
    if (position == 0) return 1;
    const auto players = static_cast<int32_t>(TvGetPlayerCount());
    if (position < 1 || position > players || players > kMaxSessionPlayers) return team;
    return PlayerSlotOfIndex(players - position);
}
