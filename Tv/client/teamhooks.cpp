#include "Tv/client/teamhooks.h"

namespace {
TeamGameQuery gameQuery = nullptr;
CaptionHook captionHook = nullptr;
} // namespace

void SetTeamGameQuery(TeamGameQuery query) { gameQuery = query; }

TeamGameSettings CurrentTeamGameSettings() { return gameQuery ? gameQuery() : TeamGameSettings{}; }

void SetCaptionHook(CaptionHook hook) { captionHook = hook; }

void ShowCaption(float x, float y, const char* text, int32_t kind, float width) {
    if (captionHook) captionHook(x, y, text, kind, width);
}
