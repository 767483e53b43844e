#include "Tv/server/respawn.h"

#include "Tv/defs/definitionregistry.h"
#include "Tv/console/console_hooks.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/command_scripts.h"
#include "Tv/server/game_settings.h"
#include "core/serverthread.h"
#include "core/stringtable.h"

List<int32_t> RespawnIdList;

namespace {
constexpr uint32_t kUnknownDefinitionText = 11021;
}

void TvRespawnCharacter(const char* name, int32_t team, const Vector3& position, const Quaternion& orientation) {
    ObjectDefinition* definition = DefinitionRegistry::FindByName(name);
    if (!definition) {
        TvConsolePrint(StringTableLookup(kUnknownDefinitionText));
        return;
    }
    if (TvIsServerRunning()) RespawnIdList.PushBack(TvSpawnActor(team, definition, position, orientation, -1));
    TvRunCommandScript(CurrentGameType == kGameCaptureTheFlag ? "CTFRespawn.tcs" : "RTPRespawn.tcs");
}
