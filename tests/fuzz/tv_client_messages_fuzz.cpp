// Any bytes as a stream of server-to-client records (a 16-bit little-endian
// length, then that many bytes of record; a last record cut short by the end
// of the input goes as it is) through the client's dispatcher, on a small
// client rebuilt for every input: a few definitions, a flat level, one
// object of every client class the factory tells apart, four teams, and the
// client in play with a known player index. Whatever the records say, the
// dispatcher applies or drops them without faults.

#include <cstdint>
#include <memory>

#include "Tv/client/client_factory.h"
#include "Tv/client/client_objects.h"
#include "Tv/client/teamtable.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/frontend/levelnames.h"
#include "Tv/server/client_link.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/server_message_dispatch.h"
#include "Tv/server/session_players.h"
#include "Tv/server/shell_state.h"
#include "Tv/world/level_world.h"
#include "core/bytes.h"
#include "core/clock.h"
#include "platform/fpu.h"
#include "platform/virtual_clock.h"
#include "tests/fuzz/fuzz_definitions.h"
#include "tests/tv/flat_level.h"

namespace {

// One definition per client class the factory chooses (ids 0 upward, in this order).
constexpr FuzzKind kKinds[] = {
    {"crate", kAiCoreScavenger, -1, false},
    {"scavenger", 99, 33, false},
    {"gunbot", 99, 1, false},
    {"mine", kAiCoreMine, -1, false},
    {"blocker", 5, -1, false},
    {"lift", kAiCoreTrackObject, -1, false},
    {"tumbleweed", 9, -1, false},
    {"medkit", kAiCorePickup, -1, false},
    {"rat", 11, -1, false},
    {"bird", 12, -1, false},
    {"centipede", 13, -1, false},
    {"centibody", 14, -1, false},
    {"node", 15, -1, false},
    {"popup", 18, -1, false},
    {"president", 19, -1, false},
    {"turret", 20, -1, false},
    {"bolt", 99, -1, true},
};

void BuildClient() {
    CurrentGameState = kGameStatePlay;
    CurrentGameType = kGameCaptureTheFlag;
    LocalTeam = 1;
    SessionTeamCount = 4;
    TeamTable::Reset();
    ClientLobby.OwnPlayerIndex = 2;
    GameClock.SetSpeed(1.0f);
    GameClock.SetSeconds(100.0f);
    MakeFlatLevelWorld(4, 25.0f);
    DefinitionNextId = 0;
    int32_t id = 0;
    for (const FuzzKind& kind : kKinds) {
        const ObjectDefinition* definition = AddFuzzDefinition(kind);
        const Vector3 position{static_cast<Real>(id) * 5.0f, 0, 10.0f};
        TvNewClientObject(id % 4, *definition, position, Quaternion{0, 0, 0, 1}, id, 0);
        ++id;
    }
}

void TearDownClient() {
    ReleaseAllClientObjects();
    TvClearSelection();
    TvForgetRemovedProjectiles();
    TvReleaseLevelWorld();
    DefinitionRegistry::ReleaseAll();
    TeamTable::Destroy();
    TvSetSessionPlayers({});
    TvResetClientLobby();
    TvSetLevelScriptName("");
    TvSetCommandScriptName("");
    ClientToServerQueue.Clear();
    GameOptions = GameOptionsRecord{};
    LobbyTextShown = 0;
    ClientBaseSpeed = 1.0f;
    ClockCorrection = 1.0f;
    GamePaused = 0;
    CutsceneActive = 0;
    TimedTeamEffect = TimedTeamEffectState{};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::SetGameFpuMode();
    StartFuzzClock();
    BuildClient();
    ByteReader in(data, size);
    while (in.remaining() >= 2) {
        const size_t length = in.U16();
        const size_t take = length < in.remaining() ? length : in.remaining();
        TvHandleServerMessage(in.cursor(), take);
        in.Skip(take);
    }
    TearDownClient();
    return 0;
}
