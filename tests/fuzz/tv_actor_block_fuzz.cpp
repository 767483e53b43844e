// Any bytes as a saved game's actor block followed by its inventory block, on
// a small server world rebuilt for every input: a flat level, one registered
// definition per server class (ids 0 upward in the order below) and a weapon
// row. The blocks go through the loader's steps as the saved-game code runs
// them (entries, start, inventories, fix-up), and whatever was loaded is saved
// again. Whatever the bytes say, the loader refuses or loads them without
// faults or leaks.

#include <cstdint>
#include <memory>

#include "Tv/client/teamtable.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/server_registration.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/actor_save.h"
#include "Tv/sim/ai_level.h"
#include "Tv/world/level_world.h"
#include "core/bytes.h"
#include "core/clock.h"
#include "platform/fpu.h"
#include "platform/virtual_clock.h"
#include "tests/fuzz/fuzz_definitions.h"
#include "tests/tv/flat_level.h"

namespace {

// One definition per server class the factory tells apart, and a shot.
constexpr FuzzKind kKinds[] = {
    {"crate", kAiCoreScavenger, -1, false},
    {"scavenger", kAiCoreScavenger, 33, false},
    {"gunbot", kAiCoreBot, 1, false},
    {"blocker", 5, -1, false},
    {"lift", kAiCoreTrackObject, -1, false},
    {"tumbleweed", 9, -1, false},
    {"medkit", kAiCorePickup, 33, false},
    {"rat", 11, -1, false},
    {"bird", 12, -1, false},
    {"centipede", 13, 1, false},
    {"centibody", 14, 1, false},
    {"node", 15, 33, false},
    {"popup", 18, 1, false},
    {"president", 19, 33, false},
    {"turret", 20, 1, false},
    {"bolt", kAiCoreReserved, -1, true},
};

void StartOnce() {
    static bool started = false;
    if (started) return;
    StartFuzzClock();
    RegisterServerCore();
    started = true;
}

void BuildWorld() {
    TeamTable::Reset();
    ServerClock.SetSpeed(1.0f);
    MakeFlatLevelWorld(4, 25.0f);
    DefinitionNextId = 0;
    TvResetActorIds();
    ObjectDefinition* shot = nullptr;
    for (const FuzzKind& kind : kKinds) {
        ObjectDefinition* definition = AddFuzzDefinition(kind);
        if (kind.projectile) shot = definition;
    }
    auto* row = new WeaponParameters;
    row->projectile = shot;
    row->firingSpeed = 20;
    row->magazineSize = 10;
    row->salvoSize = 1;
    *WeaponTableSlot(1, DefaultAmmoType(1)) = row;
}

void TearDownWorld() {
    TvReleaseAllActors();
    TvEndLevelAi();
    ServerToClientQueue.Clear();
    EmptyWeaponTables();
    TvReleaseLevelWorld();
    DefinitionRegistry::ReleaseAll();
    TeamTable::Destroy();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::SetGameFpuMode();
    StartOnce();
    BuildWorld();
    ByteReader in(data, size);
    if (TvLoadActors(in)) {
        TvStartAllActors();
        if (TvLoadInventories(in)) TvFixUpLoadedActors();
        ByteWriter out;
        TvSaveActors(out);
        TvSaveInventories(out);
    }
    TearDownWorld();
    return 0;
}
