// Any bytes as a stream of client-to-server records (a 16-bit little-endian
// sender id, a 16-bit length, then that many bytes of record; a last record
// cut short by the end of the input goes as it is) through the server's
// dispatcher, on a small server rebuilt for every input: a flat level with
// its waypoint graph, three teams, a unit and a bot of team 1, a lead
// character, a bot and a remote mine of team 2 and a background creature,
// the simulation running a world step after every record. Whatever the
// records say, the dispatcher applies or drops them without faults.

#include <cstdint>
#include <memory>

#include "Tv/client/teamtable.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/client_dispatch.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/lobby_state.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/server_registration.h"
#include "Tv/server/server_state.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/ai_level.h"
#include "Tv/sim/server_object.h"
#include "Tv/sim/waypoint_graph.h"
#include "Tv/sim/world_tick.h"
#include "Tv/world/level_world.h"
#include "core/bytes.h"
#include "core/clock.h"
#include "platform/fpu.h"
#include "platform/virtual_clock.h"
#include "tests/tv/flat_level.h"

namespace {

constexpr uint64_t kStepNs = 50'000'000; // one world step after each record

plat::VirtualClock& FuzzClock() {
    static plat::VirtualClock clock;
    return clock;
}

void StartOnce() {
    static bool started = false;
    if (started) return;
    FuzzClock();
    RecalibrateClocks(200);
    RegisterServerCore();
    started = true;
}

ObjectDefinition* Character(const char* name, int32_t aiCore, int32_t weapon) {
    ObjectDefinition* definition = DefinitionRegistry::NewDefinition();
    definition->name = OwnedText(name);
    definition->aiCore = aiCore;
    definition->character = std::make_unique<CharacterRecord>();
    CharacterRecord& c = *definition->character;
    c.weapon = weapon;
    c.secondaryWeapon = 33;
    c.walkingSpeed = 1 << 16;
    c.strideLength = 2.0f;
    c.turningSpeed = 2048;
    c.collisionRadius = 0.3f;
    c.collisionHeight = c.boundsHeight = 1.8f;
    c.strength = 100;
    c.canTurn = true;
    c.size = 1.0f;
    c.sightRange = 10;
    c.sightRangeSquared = 100;
    c.sightAngle = 512;
    c.elevationAngle = 1024;
    c.shotSpeedMultiplier = c.damageMultiplier = 1;
    return definition;
}

ObjectDefinition* Shot(const char* name) {
    ObjectDefinition* definition = DefinitionRegistry::NewDefinition();
    definition->name = OwnedText(name);
    definition->aiCore = 99;
    definition->projectile = std::make_unique<ProjectileRecord>();
    definition->projectile->damage = 10;
    definition->projectile->maxRange = 400;
    return definition;
}

void Place(int32_t team, const ObjectDefinition* definition, float x, float z) {
    const int32_t id = TvCreateServerActor(team, definition, {x, 0, z}, Quaternion{0, 0, 0, 1});
    if (ServerObject* actor = TvFindActor(id)) actor->Start(ServerClock.GetTime(), ServerClock.GetSeconds());
}

void BuildServer() {
    CurrentGameType = kGameStory;
    SessionTeamCount = 3;
    TeamTable::Reset();
    MakeFlatLevelWorld(6, 4.0f);
    TvLoadPathGraph();
    ObjectDefinition* bolt = Shot("bolt");
    Shot("tavrin_power");
    Shot("tavrin_power_second");
    if (WeaponParameters** slot = WeaponTableSlot(1, DefaultAmmoType(1)); slot && !*slot) {
        auto* row = new WeaponParameters;
        row->projectile = bolt;
        row->firingSpeed = 20;
        row->roundTime = 0.5f;
        row->reloadTime = 2;
        row->magazineSize = 10;
        row->salvoSize = 1;
        *slot = row;
    }
    Place(1, Character("walker", 1, 33), 2, 2);
    Place(1, Character("gunner", 0, 1), 6, 2);
    Place(2, Character("tavrin", 1, 33), 10, 10);
    Place(2, Character("gunner2", 0, 1), 14, 10);
    Place(2, Character("mine", kAiCoreMine, 1), 18, 18);
    ObjectDefinition* rat = DefinitionRegistry::NewDefinition();
    rat->name = OwnedText("rat");
    rat->aiCore = 11;
    Place(0, rat, 20, 4);
    SimulationRunning = true;
}

void TearDownServer() {
    SimulationRunning = false;
    TvReleaseAllActors();
    TvEndLevelAi();
    PathRequestList.Clear();
    PathInProgressList.Clear();
    TvReleaseLevelWorld();
    EmptyWeaponTables();
    DefinitionRegistry::ReleaseAll();
    TeamTable::Destroy();
    TvResetActorIds();
    ServerToClientQueue.Clear();
    GameOptions = GameOptionsRecord{};
    PausingTeam = -1;
    PauseStartTime = SpeedBeforePause = kLargestFloat;
    SpeedChangePending = false;
    PendingGameSpeed = 1.0f;
    ServerClock.SetSpeed(1.0f);
    GameClock.SetSpeed(1.0f);
    for (auto& flag : LobbyReadyFlags) flag = 0;
    for (auto& choice : LobbyRobotChoices) choice = 0;
    TvSetLobbyChatText("");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::SetGameFpuMode();
    StartOnce();
    BuildServer();
    ByteReader in(data, size);
    while (in.remaining() >= 4) {
        const plat::DpId sender = in.U16();
        const size_t length = in.U16();
        const size_t take = length < in.remaining() ? length : in.remaining();
        DispatchClientMessage(sender, in.cursor(), static_cast<uint32_t>(take));
        in.Skip(take);
        FuzzClock().Advance(kStepNs);
        TvWorldTick(ServerClock.GetTime(), ServerClock.GetSeconds());
    }
    TearDownServer();
    return 0;
}
