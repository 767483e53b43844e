#include "Tv/server/server_registration.h"

#include "Tv/client/teamhooks.h"
#include "Tv/console/console_hooks.h"
#include "Tv/defs/grammar.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/server_hooks.h"
#include "Tv/server/session_players.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/server_blocker.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_centipede.h"
#include "Tv/sim/server_creature.h"
#include "Tv/sim/server_node.h"
#include "Tv/sim/server_pickup.h"
#include "Tv/sim/server_popup.h"
#include "Tv/sim/server_president.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/server_track_object.h"
#include "Tv/sim/server_tumbleweed.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/unit_flags.h"
#include "Tv/sim/world_tick.h"

namespace {

TeamGameSettings ServerTeamGameSettings() {
  TeamGameSettings settings;
  settings.GameType = CurrentGameType;
  settings.PlayerCount = static_cast<int32_t>(TvGetPlayerCount());
  settings.TeamCount = SessionTeamCount;
  settings.LocalTeam = LocalTeam;
  settings.PauseAllowance = PauseAllowance;
  for (int32_t i = 0; i < kMaxPlayers; ++i)
    settings.PlayerTable[i] = PlayerTable[i];
  return settings;
}

int32_t GameDifficulty() { return GameOptions.Difficulty; }

} // namespace

void RegisterServerCore() {
  RegisterServerObject();
  RegisterServerUnit();
  RegisterServerBot();
  RegisterServerProjectile();
  RegisterServerTumbleweed();
  RegisterServerPickup();
  RegisterServerCreatures();
  RegisterServerTrackObject();
  RegisterServerBlocker();
  RegisterServerNode();
  RegisterServerCentipede();
  RegisterServerPresident();
  RegisterServerPopup();
  ServerHooks hooks = InstalledServerHooks(); // keep what others installed
  hooks.cutsceneFreeze = &TvCutsceneFreeze;
  SetServerHooks(hooks);
  RegisterCaptureTheFlagHooks();
  SetTeamGameQuery(&ServerTeamGameSettings);
  SetCaptionHook(&TvShowCaption);
  SetScriptDifficultyHook(&GameDifficulty);
}
