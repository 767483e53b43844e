#include "Tv/server/server.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server_driver.h"
#include "Tv/server/server_state.h"
#include "Tv/server/server_thread_parts.h"
#include "Tv/sim/actor_registry.h"
#include "core/bytes.h"
#include "core/clock.h"
#include "platform/fpu.h"

namespace {

plat::Thread serverThread;
bool serverThreadStarted = false;
// Holds the new thread until its id is published, so its clocks and random
// draws are the server thread's from its first instruction.
plat::Event threadIdPublished;

void ServerThreadMain() {
    threadIdPublished.Wait();
    plat::SetGameFpuMode();
    SeedServerRandom();
    for (;;) {
        const ServerWake wake = WaitForServerWork();
        BeginServerPass();
        if (ServerDirectPlay) TvRefreshPlayerQueueCounts();
        if (wake == ServerWake::Quit) break;
        if (wake == ServerWake::LockRequest) {
            ServerLockGrantEvent.Set();
            ServerLockReleaseEvent.Wait();
        }
        if (wake != ServerWake::Timeout) DrainClientMessages();
        if (SimulationRunning) RunSimulationPass();
        EndServerPass();
    }
    RunServerExit();
    EndServerPass();
    StopServerDriver();
}

bool CreateServerPlayerAndGroup(plat::DirectPlay* directPlay) {
    plat::DpId serverPlayer = 0;
    plat::HResult result =
        directPlay->CreatePlayer(&serverPlayer, nullptr, ServerArrivalEvent(), nullptr, 0, plat::kDpPlayerServerPlayer);
    if (result >= 0) result = directPlay->CreateGroup(&AllPlayersGroup, nullptr, nullptr, 0, 0);
    if (result >= 0) return true;
    AwReportError(result);
    return false;
}

} // namespace

bool TvStartServer(plat::DirectPlay* directPlay) {
    if (serverThreadStarted) return false;
    for (plat::Event* event : {&ServerMessageEvent, &ServerQuitEvent, &ServerLockRequestEvent, &ServerLockReleaseEvent,
                               &ServerLockGrantEvent, &threadIdPublished})
        event->Reset();
    PrepareServerDriver();
    if (directPlay) {
        if (!CreateServerPlayerAndGroup(directPlay)) {
            StopServerDriver();
            return false;
        }
        directPlay->AddRef();
        ServerDirectPlay = directPlay;
    }
    ServerPlayerListBuilt = false;
    SimulationRunning = false;
    // Cleared before the thread exists, so a level load that sets it at once is not undone.
    GameOverFlag = false;
    ServerPass = ServerPassState{};
    // The server thread's tick counter starts from the others' calibration.
    GameThreadTicks.CopyFrom(OtherThreadTicks);
    if (!serverThread.Start(&ServerThreadMain)) {
        StopServerDriver();
        if (ServerDirectPlay) ServerDirectPlay->Release();
        ServerDirectPlay = nullptr;
        return false;
    }
    serverThreadStarted = true;
    serverThread.SetPriority(plat::ThreadPriority::Highest);
    SetServerThread(serverThread.Id());
    threadIdPublished.Set();
    return true;
}

void TvStopServer() {
    if (!serverThreadStarted || OnServerThread()) return;
    // The server waits for the release of a lock this thread holds: it could never see the quit.
    while (TvGetServerLockCount() > 0) TvUnlockServer();
    ServerQuitEvent.Set();
    serverThread.Join();
    serverThreadStarted = false;
    ScriptQueue.Clear();
}

void TvWakeServer() {
    // A driven server makes the passes its driver asks for.
    if (TvIsServerRunning() && !TvIsServerDriven()) ServerMessageEvent.Set();
}

void RunServerExit() {
    ByteWriter endOfGame;
    endOfGame.I32(MSG_END_OF_GAME);
    TvBroadcast(endOfGame, true);
    TvReleaseAllActors();
    FreeSessionPlayers(ServerPlayerList);
    if (ServerDirectPlay) ServerDirectPlay->Release();
    ServerDirectPlay = nullptr;
    SimulationRunning = false;
    SetServerThread(0);
    ServerToClientQueue.Clear();
    ScriptQueue.Clear();
}
