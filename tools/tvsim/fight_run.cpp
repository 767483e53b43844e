#include "tools/tvsim/fight_run.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "Tv/client/teamtable.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/headless_level.h"
#include "Tv/server/message_recorder.h"
#include "Tv/server/server.h"
#include "Tv/server/server_driver.h"
#include "Tv/server/server_registration.h"
#include "Tv/server/session_players.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/unit_deaths.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "platform/virtual_clock.h"
#include "tools/tvsim/client_run.h"
#include "tools/tvsim/console_run.h"
#include "tools/tvsim/run_recorder.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kFightTeams = 10;      // in the story game every team of the table takes part
constexpr plat::DpId kFirstPlayerId = 2; // the run's players are 2, 3, ...
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

// The session's players of a multiplayer game type, for the length of a run.
class RunPlayers {
public:
    explicit RunPlayers(uint32_t count) {
        std::vector<std::pair<plat::DpId, const char*>> players;
        for (uint32_t i = 0; i < count; ++i) players.emplace_back(kFirstPlayerId + i, "player");
        TvSetSessionPlayers(players);
    }
    ~RunPlayers() { TvSetSessionPlayers({}); }
    RunPlayers(const RunPlayers&) = delete;
    RunPlayers& operator=(const RunPlayers&) = delete;
};

// What a run ends with: live units by team, for every team that had units
// after the load or has them at the end; the rounds each unit given orders
// carries, in the order the units were first named.
struct FightOutcome {
    std::map<int32_t, int32_t> alive;
    std::vector<std::pair<std::string, int32_t>> rounds;
    TwinReport twins; // with the client
};

std::vector<std::string> OrderedUnits(const std::vector<ScenarioOrder>& orders) {
    std::vector<std::string> units;
    for (const ScenarioOrder& order : orders)
        if (std::find(units.begin(), units.end(), order.unit) == units.end()) units.push_back(order.unit);
    return units;
}

// The load under the server lock, in the run's game type: the flags of
// capture the flag set up from the level's dummies, the orders given.
bool LoadFight(const FightOptions& options, const fs::path& level, const LevelVariables& variables) {
    if (!TvLoadHeadlessLevel(level, "tvsim")) return false;
    if (options.gameType == kGameCaptureTheFlag) TeamTable::SetupTeams(LevelDummyList);
    if (const std::string problem = QueueScenarioOrders(options.orders, variables); !problem.empty()) {
        std::fprintf(stderr, "tvsim: %s\n", problem.c_str());
        return false;
    }
    return true;
}

// The fight on a driven server: the load (its pass is pass 1), then one pass
// per 50 ms of virtual time. A client is attached before the load; after the
// handshake each pass wakes the server (taking the client's messages) and is
// followed by one client frame.
bool Fight(const FightOptions& options, const fs::path& level, RunRecorder& recorder, FightOutcome& outcome) {
    plat::VirtualClock clock(0);
    clock.Set(kStartNs);
    const bool story = options.gameType == kGameStory;
    CurrentGameType = static_cast<int32_t>(options.gameType);
    SessionTeamCount = story ? kFightTeams : static_cast<int32_t>(options.players) + 2;
    const RunPlayers players(story ? 0 : options.players);
    RegisterServerCore();
    TeamTable::Reset();
    TvResetActorIds();
    SetMessageRecorder(&recorder);
    std::unique_ptr<RunClient> client = options.client ? std::make_unique<RunClient>() : nullptr;
    TvDriveServer(true, options.seed);
    const LevelVariables variables;
    bool loaded = TvStartServer(nullptr);
    if (!loaded) std::fputs("tvsim: cannot start the server\n", stderr);
    if (loaded) {
        ServerLockHold hold;
        loaded = LoadFight(options, level, variables);
        if (loaded) {
            for (const auto& entry : AliveByTeam()) outcome.alive.insert(entry);
            TvStartSimulation();
        }
    }
    // The load's pass steps at the load's time: the clock moves only once it has ended.
    TvWaitForServerIdle();
    if (loaded && client && !client->Start()) {
        std::fputs("tvsim: the client's handshake failed\n", stderr);
        loaded = false;
    }
    const bool consoleRun = !options.script.empty() || options.console;
    std::unique_ptr<RunConsole> console = consoleRun ? std::make_unique<RunConsole>(options.console) : nullptr;
    if (loaded && console) loaded = console->Start(options.script);
    const bool untilDone = console && !options.passesGiven;
    const uint32_t passes = untilDone ? kConsolePassCap : options.passes;
    bool done = false;
    for (uint32_t pass = 0; loaded && !done && pass < passes; ++pass) {
        clock.Advance(kPassNs);
        TvRunServerPass(client ? ServerPassKind::Wake : ServerPassKind::Timeout);
        // The console's frame is the client's frame too.
        if (console)
            console->Frame();
        else if (client)
            client->Frame();
        done = untilDone && console->Finished();
    }
    if (loaded && untilDone && !done) {
        std::fprintf(stderr, "tvsim: the console run is not done after %u passes\n", kConsolePassCap);
        loaded = false;
    }
    console.reset();
    // Counted before the server's end releases the actors; a driven server
    // touches nothing between passes.
    TvWaitForServerIdle();
    for (auto& entry : outcome.alive) entry.second = 0;
    if (loaded) {
        for (const auto& [team, count] : AliveByTeam()) outcome.alive[team] = count;
        for (const std::string& unit : OrderedUnits(options.orders))
            outcome.rounds.emplace_back(unit, CarriedRounds(unit, variables));
        if (client) outcome.twins = client->Compare();
    }
    TvStopServer();
    client.reset();
    TvDriveServer(false);
    SetMessageRecorder(nullptr);
    TvUnloadHeadlessLevel();
    return loaded;
}

void PrintClientSummary(const TwinReport& twins, const std::map<std::string, int32_t>& drops) {
    for (const auto& [team, count] : twins.objectsByTeam) std::printf("client team %d objects %d\n", team, count);
    std::printf("twins matched %d missing %d extra %d\n", twins.matched, twins.missing, twins.extra);
    std::printf("largest twin distance %.3f\n", twins.largestDistance);
    int32_t dropped = 0;
    for (const auto& entry : drops) dropped += entry.second;
    std::printf("dropped %d\n", dropped);
    for (const auto& [reason, count] : drops) std::printf("dropped %d %s\n", count, reason.c_str());
}

} // namespace

bool RunFight(const FightOptions& input) {
    FightOptions options = input;
    const fs::path level = fs::absolute(options.level);
    for (const std::string* file : {&options.level, &options.script}) {
        if (!file->empty() && !Readable(fs::absolute(*file))) {
            std::fprintf(stderr, "tvsim: cannot read %s\n", file->c_str());
            return false;
        }
    }
    // The load changes the current directory.
    if (!options.script.empty()) options.script = fs::absolute(options.script).string();
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
    FightOutcome outcome;
    const int32_t deathsBefore = UnitDeathCount;
    if (!Fight(options, level, recorder, outcome)) return false;
    const int32_t deaths = UnitDeathCount - deathsBefore;
    const std::string& text = recorder.Trace();
    if (trace &&
        (std::fwrite(text.data(), 1, text.size(), trace.get()) != text.size() || std::fclose(trace.release()) != 0)) {
        std::fprintf(stderr, "tvsim: cannot write %s\n", options.trace.c_str());
        return false;
    }
    for (const auto& [team, count] : outcome.alive) std::printf("team %d alive %d\n", team, count);
    std::printf("shots %d\ndeaths %d\n", recorder.Shots(), deaths);
    for (const auto& [unit, rounds] : outcome.rounds) std::printf("unit %s rounds %d\n", unit.c_str(), rounds);
    if (options.client) PrintClientSummary(outcome.twins, recorder.Drops());
    return true;
}
