#include "Tv/server/server.h"
#include "Tv/server/server_state.h"
#include "Tv/sim/actor_registry.h"

void TvStartSimulation() {
    // The actors are the server thread's once it runs: start them under the lock.
    ServerLockHold hold;
    TvStartAllActors();
    SimulationRunning = true;
}

void TvStopSimulation() {
    ServerLockHold hold;
    SimulationRunning = false;
    TvReleaseAllActors();
    GameOverFlag = false;
}

bool TvIsSimulationRunning() { return SimulationRunning; }

void TvSetGameOver(bool flag) { GameOverFlag = flag; }
