#include "Tv/client/teamtable.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/game_speed.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server.h"
#include "Tv/server/server_hooks.h"
#include "Tv/server/server_state.h"
#include "Tv/server/server_thread_parts.h"
#include "Tv/server/shell_state.h"
#include "Tv/server/win_rules.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/ai_tick.h"
#include "Tv/sim/server_object.h"
#include "Tv/sim/world_tick.h"
#include "core/clock.h"

namespace {

constexpr float kMultiplayerStepSeconds = 0.04f;
constexpr uint32_t kRulePasses = 4;
constexpr uint32_t kDroppedPlayerPasses = 100;
constexpr uint32_t kWinCheckAfterPasses = 750;
constexpr uint64_t kGameOverDelaySeconds = 3;

void BroadcastTypeOnly(int32_t type) {
    ByteWriter message;
    message.I32(type);
    TvBroadcast(message, true);
}

// A team pause ends when the team's pause time has run out.
void EndExpiredTeamPause() {
    if (PausingTeam == -1) return;
    TeamRecord* team = TeamTable::GetTeam(PausingTeam);
    const float paused = RealClock.GetSeconds() - PauseStartTime;
    if (team && !(paused > team->PauseTimeLeft)) return;
    if (team) team->PauseTimeLeft = 0.0f;
    PausingTeam = -1;
    PauseStartTime = kLargestFloat;
    BroadcastTypeOnly(MSG_UNPAUSE);
    TvSetGameSpeed(SpeedBeforePause);
    SpeedBeforePause = kLargestFloat;
}

// A pending slow-down applies once every player still present has acknowledged it.
void ApplyAcknowledgedSpeed() {
    if (!SpeedChangePending) return;
    TvCheckDroppedPlayers();
    for (const SessionPlayer* player : ServerPlayerList)
        if (!player->Gone && !player->Acknowledged) return;
    ServerClock.SetSpeed(PendingGameSpeed);
    SpeedChangePending = false;
}

// The story game steps every pass; the others at most once per 0.04 s of real time.
bool StepDue() {
    if (CurrentGameType == kGameStory) return true;
    const float now = RealClock.GetSeconds();
    if (now > ServerPass.lastStepTime + kMultiplayerStepSeconds) return true;
    if (now < ServerPass.lastStepTime) ServerPass.lastStepTime = now; // the clock went back
    return false;
}

void StepSimulation() {
    if (!CutsceneActive)
        TvAiTick(ServerClock.GetTime());
    else if (auto freeze = InstalledServerHooks().cutsceneFreeze)
        freeze();
    TvWorldTick(ServerClock.GetTime(), ServerClock.GetSeconds());
    ServerPass.lastStepTime = RealClock.GetSeconds();
}

bool LocalTeamAlive() {
    const List<ServerObject*>* list = TeamActorListOf(LocalTeam);
    if (!list) return false;
    for (const ServerObject* actor : *list)
        if (actor->IsAlive()) return true;
    return false;
}

void DetectEndOfGame() {
    if (GameOverFlag || LocalTeamAlive()) return;
    GameOverFlag = true;
    ServerPass.gameOverPending = true;
    ServerPass.gameOverDeadline = RealClock.GetTime() + kGameOverDelaySeconds * CurrentTicksPerSecond();
}

void RunRulePass() {
    const ServerHooks& hooks = InstalledServerHooks();
    if (hooks.evaluateTriggers) hooks.evaluateTriggers();
    const int32_t gameType = CurrentGameType;
    if (gameType != kGameStory && gameType != kGameCooperative && !MatchDecided &&
        ServerPass.passCounter > kWinCheckAfterPasses)
        MatchDecided = TvCheckWinConditions();
    if (gameType == kGameCaptureTheFlag && hooks.captureTheFlagCheck) hooks.captureTheFlagCheck();
    DetectEndOfGame();
}

} // namespace

void RunSimulationPass() {
    EndExpiredTeamPause();
    ApplyAcknowledgedSpeed();
    if (StepDue()) StepSimulation();
    if (++ServerPass.passCounter % kRulePasses == 0) RunRulePass();
    if (ServerDirectPlay && ServerPass.passCounter % kDroppedPlayerPasses == 0) TvCheckDroppedPlayers();
    if (ServerPass.gameOverPending && RealClock.GetTime() > ServerPass.gameOverDeadline) {
        BroadcastTypeOnly(MSG_END_OF_GAME);
        ServerPass.gameOverPending = false;
    }
}
