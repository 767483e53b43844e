// One pass of the simulation, the AI step and then the world step (TvAiTick,
// TvWorldTick), with 200 bots fighting on the sample level: 100 scouts of
// team 1 facing 100 drones of team 2 across nine metres of open floor. The
// level loads on a driven server with a seeded generator; the bots are
// spawned and warmed up by whole server passes until most of them shoot.
// Nobody dies: the two characters' strength is raised out of reach.
// Each measured pass is a whole pass of the driven server thread, 50 ms of
// virtual time after the last (the hand-over to the thread is timed too); the
// messages queued for the absent client are dropped outside the timing.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "Awapi/aw3d/startup.h"
#include "Tv/client/teamtable.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/headless_level.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/message_recorder.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server.h"
#include "Tv/server/server_driver.h"
#include "Tv/server/server_registration.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_object.h"
#include "platform/virtual_clock.h"

namespace {

constexpr uint64_t kPassNs = 50 * plat::VirtualClock::kMillisecond;
constexpr int32_t kSide = 10; // bots per row and per column of a side
constexpr Real kSpacing = 1.2f;
constexpr uint32_t kWarmUpPasses = 600;
constexpr Real kUnreachableStrength = 1e9f;

// Counts the shots the passes announce (message 70).
class ShotCounter final : public MessageRecorder {
public:
    void Record(uint32_t, MessageDirection direction, int32_t type, const uint8_t*, uint32_t) override {
        if (direction == MessageDirection::ServerToClient && type == MSG_PROJECTILE_FIRED) ++shots;
    }
    int64_t shots = 0;
};

// Bots of both sides that are attacking.
int32_t CountFiring() {
    int32_t firing = 0;
    ForEachActor([&](const ServerObject* actor) { firing += actor->IsUnit() && actor->IsFiring() ? 1 : 0; });
    return firing;
}

int32_t CountUnits() {
    int32_t units = 0;
    ForEachActor([&](const ServerObject* actor) { units += actor->IsUnit() && actor->IsAlive() ? 1 : 0; });
    return units;
}

// A side in a square of kSide x kSide bots from its corner at (x0, -18), all facing one way.
void SpawnSide(int32_t team, const char* definitionName, Real x0, Real heading) {
    ObjectDefinition* definition = DefinitionRegistry::FindByName(definitionName);
    if (!definition || !definition->character) return;
    // Hits still land, but no bot of the side can die.
    definition->character->strength = kUnreachableStrength;
    const Quaternion facing = HeadingRotation(heading);
    for (int32_t i = 0; i < kSide * kSide; ++i) {
        const Vector3 at{x0 + kSpacing * static_cast<Real>(i % kSide), 0.0f,
                         -18.0f + kSpacing * static_cast<Real>(i / kSide)};
        TvSpawnActor(team, definition, at, facing, -1);
    }
}

class ServerPass : public benchmark::Fixture {
public:
    void SetUp(benchmark::State& state) override {
        clock_.emplace(0);
        clock_->Set(1'000'000'000);
        CurrentGameType = kGameStory;
        SessionTeamCount = 10;
        RegisterServerCore();
        TeamTable::Reset();
        TvResetActorIds();
        SetMessageRecorder(&shots_);
        TvDriveServer(true, 7);
        loaded_ = TvStartServer(nullptr);
        if (loaded_) {
            ServerLockHold hold;
            loaded_ = TvLoadHeadlessLevel(std::filesystem::path(TAVRIN_DATA_DIR) / "levels/sample.tvs", "bench");
            if (loaded_) TvStartSimulation();
        }
        TvWaitForServerIdle();
        if (!loaded_) {
            state.SkipWithError("the sample level does not load");
            return;
        }
        SpawnSide(1, "Scout", -18.0f, 1024.0f);
        SpawnSide(2, "Drone", 2.0f, -1024.0f);
        for (uint32_t pass = 0; pass < kWarmUpPasses && CountFiring() < 150; ++pass) {
            clock_->Advance(kPassNs);
            TvRunServerPass(ServerPassKind::Timeout);
            ServerToClientQueue.Clear();
        }
    }

    void TearDown(benchmark::State&) override {
        TvStopServer();
        TvDriveServer(false);
        TvUnloadHeadlessLevel();
        ServerToClientQueue.Clear();
        SetMessageRecorder(nullptr);
        clock_.reset();
    }

protected:
    // Made by SetUp: the benchmark's fixtures exist before main starts the engine.
    std::optional<plat::VirtualClock> clock_;
    ShotCounter shots_;
    bool loaded_ = false;
};

BENCHMARK_DEFINE_F(ServerPass, AiThenWorld)(benchmark::State& state) {
    if (!loaded_) return;
    state.counters["units"] = CountUnits();
    state.counters["firing"] = CountFiring();
    const int64_t shotsBefore = shots_.shots;
    for (auto _ : state) {
        state.PauseTiming();
        ServerToClientQueue.Clear();
        clock_->Advance(kPassNs);
        state.ResumeTiming();
        TvRunServerPass(ServerPassKind::Timeout);
    }
    state.counters["alive after"] = CountUnits();
    state.counters["shots per pass"] =
        benchmark::Counter(static_cast<double>(shots_.shots - shotsBefore), benchmark::Counter::kAvgIterations);
}
BENCHMARK_REGISTER_F(ServerPass, AiThenWorld)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (!TvStartHeadlessEngine()) {
        std::fputs("bench_server_pass: cannot start the engine\n", stderr);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    AwShutdown();
    return 0;
}
