#include "Tv/server/server_state.h"

plat::DirectPlay* ServerDirectPlay = nullptr;
plat::DpId AllPlayersGroup = 0;

plat::Event ServerMessageEvent;
plat::Event ServerQuitEvent;
plat::Event ServerLockRequestEvent;
plat::Event ServerLockGrantEvent;
plat::Event ServerLockReleaseEvent;

List<SessionPlayer*> ServerPlayerList;
std::atomic<bool> ServerPlayerListBuilt{false};
std::atomic<bool> SimulationRunning{false};
std::atomic<bool> GameOverFlag{false};
std::atomic<bool> MatchDecided{false};

uint32_t PlayerQueueCounts[kMaxSessionPlayers] = {};
uint32_t SendCounter = 0;

std::atomic<bool> SpeedChangePending{false};
std::atomic<float> PendingGameSpeed{1.0f};
std::atomic<int32_t> PauseSequence{0};
int32_t PausingTeam = -1;
float PauseStartTime = kLargestFloat;
float SpeedBeforePause = kLargestFloat;

ServerPassState ServerPass;
