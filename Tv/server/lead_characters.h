#pragma once
// The five lead characters, by definition name: "TAVRIN", "ZUDAD", "DODO",
// "DORIZ" and "DREVANIS" (index 0 to 4), and the cooperative game's team for
// each. One rule serves the server's actor creation, the client's object
// factory and the saved-game loader.

#include <cstdint>

constexpr int32_t kLeadCharacterCount = 5;
extern const char* const LeadCharacterNames[kLeadCharacterCount];

// The name's index (compared without regard to case), or -1 for any other name or none.
int32_t LeadCharacterIndex(const char* name);

// The cooperative game's team of a lead character: the team of the lobby
// position CoopCharacterTable holds for it (position P, the first session
// player, plays team 1; position 1 plays team P + 1), team 1 for an entry of
// 0 (nobody chose it), and `team` unchanged for an entry outside 1 to P or a
// name that is no lead character.
int32_t TvCoopTeamOf(const char* name, int32_t team);
