#include "tools/tvsim/fight_run.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

#include "Tv/client/teamtable.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/headless_level.h"
#include "Tv/server/message_recorder.h"
#include "Tv/server/server.h"
#include "Tv/server/server_driver.h"
#include "Tv/server/server_registration.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/unit_deaths.h"
#include "core/clock.h"
#include "platform/virtual_clock.h"
#include "tools/tvsim/run_recorder.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kFightTeams = 10; // every team of the table takes part
constexpr uint64_t kPassNs = 50 * plat::VirtualClock::kMillisecond;
constexpr uint64_t kStartNs = 1'000'000'000;

bool Readable(const fs::path& file) {
    std::error_code error;
    if (!fs::is_regular_file(file, error)) return false;
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

// Live units by team, for every team with units in the registry.
std::map<int32_t, int32_t> AliveByTeam() {
    std::map<int32_t, int32_t> alive;
    ForEachActor([&](const ServerObject* actor) {
        if (actor->IsUnit()) alive[actor->Team] += actor->IsAlive() ? 1 : 0;
    });
    return alive;
}

// The fight on a driven server: the load under the server lock (its pass
// is pass 1), then one pass per 50 ms of virtual time. `alive` gets every
// team that had units after the load or has them at the end.
bool Fight(const FightOptions& options, const fs::path& level, RunRecorder& recorder,
           std::map<int32_t, int32_t>& alive) {
    plat::VirtualClock clock(0);
    clock.Set(kStartNs);
    CurrentGameType = kGameStory;
    SessionTeamCount = kFightTeams;
    RegisterServerCore();
    RegisterServerProjectile();
    TeamTable::Reset();
    TvResetActorIds();
    SetMessageRecorder(&recorder);
    TvDriveServer(true, options.seed);
    bool loaded = TvStartServer(nullptr);
    if (!loaded) std::fputs("tvsim: cannot start the server\n", stderr);
    if (loaded) {
        ServerLockHold hold;
        loaded = TvLoadHeadlessLevel(level, "tvsim");
        if (loaded) {
            for (const auto& entry : AliveByTeam()) alive.insert(entry);
            TvStartSimulation();
        }
    }
    // The load's pass steps at the load's time: the clock moves only once it has ended.
    TvWaitForServerIdle();
    for (uint32_t pass = 0; loaded && pass < options.passes; ++pass) {
        clock.Advance(kPassNs);
        TvRunServerPass(ServerPassKind::Timeout);
    }
    // Counted before the server's end releases the actors; a driven server
    // touches nothing between passes.
    TvWaitForServerIdle();
    for (auto& entry : alive) entry.second = 0;
    if (loaded)
        for (const auto& [team, count] : AliveByTeam()) alive[team] = count;
    TvStopServer();
    TvDriveServer(false);
    SetMessageRecorder(nullptr);
    TvUnloadHeadlessLevel();
    return loaded;
}

} // namespace

bool RunFight(const FightOptions& options) {
    const fs::path level = fs::absolute(options.level);
    if (!Readable(level)) {
        std::fprintf(stderr, "tvsim: cannot read %s\n", options.level.c_str());
        return false;
    }
    // Opened before the load, which changes the current directory.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> trace(nullptr, &std::fclose);
    if (!options.trace.empty()) {
        trace.reset(std::fopen(options.trace.c_str(), "wb"));
        if (!trace) {
            std::fprintf(stderr, "tvsim: cannot write %s\n", options.trace.c_str());
            return false;
        }
    }
    RunRecorder recorder(trace != nullptr);
    std::map<int32_t, int32_t> alive;
    const int32_t deathsBefore = UnitDeathCount;
    if (!Fight(options, level, recorder, alive)) return false;
    const int32_t deaths = UnitDeathCount - deathsBefore;
    const std::string& text = recorder.Trace();
    if (trace &&
        (std::fwrite(text.data(), 1, text.size(), trace.get()) != text.size() || std::fclose(trace.release()) != 0)) {
        std::fprintf(stderr, "tvsim: cannot write %s\n", options.trace.c_str());
        return false;
    }
    for (const auto& [team, count] : alive) std::printf("team %d alive %d\n", team, count);
    std::printf("shots %d\ndeaths %d\n", recorder.Shots(), deaths);
    return true;
}
