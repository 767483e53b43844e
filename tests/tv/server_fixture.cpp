#include "tests/tv/server_fixture.h"

#include <cstring>

#include "Tv/client/teamtable.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/frontend/levelnames.h"
#include "Tv/frontend/missionlist.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/damage_rules.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/lobby_state.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/respawn.h"
#include "Tv/server/server.h"
#include "Tv/server/server_hooks.h"
#include "Tv/server/server_registration.h"
#include "Tv/server/server_state.h"
#include "Tv/server/session_players.h"
#include "Tv/server/shell_state.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/ai_level.h"
#include "Tv/sim/server_object.h"
#include "core/clock.h"
#include "platform/timer.h"

namespace {

// Each test's clock starts where the previous one stopped, so the tick
// counters never see time go back.
uint64_t clockNs = 1'000'000'000;

void CalibrateOnce() {
    static bool calibrated = false;
    if (calibrated) return;
    plat::VirtualClock stepping;
    RecalibrateClocks(200);
    calibrated = true;
}

void ResetProcessState() {
    CurrentGameType = kGameStory;
    LocalTeam = 1;
    PauseAllowance = 60;
    RespawnDelay = 30;
    MultiplayerSettingA = 20;
    ScoreLimit = 3;
    const int32_t players[4] = {1, 2, 3, 4};
    std::memcpy(PlayerTable, players, sizeof(players));
    const int32_t coop[5] = {1, 1, 1, 1, 0};
    for (int32_t k = 0; k < 5; ++k) CoopCharacterTable[k] = coop[k];
    SessionTeamCount = 3;
    UserMatchSettings.FriendlyFire = 0;
    UserMatchSettings.RuleFlagB = 0;
    UserMatchSettings.RuleFlagC = 0;
    UserMatchSettings.NetDetailLevel = 0;
    CutsceneActive = 0;
    GameOptions = GameOptionsRecord{};
    DamageMultiplierPlayer = DamageMultiplierComputer = 1.0f;
    SpeedChangePending = false;
    PendingGameSpeed = 1.0f;
    PauseSequence = 0;
    PausingTeam = -1;
    PauseStartTime = SpeedBeforePause = kLargestFloat;
    MatchDecided = false;
    GameOverFlag = false;
    SendCounter = 0;
    for (uint32_t& count : PlayerQueueCounts) count = 0;
    ServerClock.SetSpeed(1.0f);
    GameClock.SetSpeed(1.0f);
    GameClock.SetTime(ServerClock.GetTime()); // a test may have moved it away
    TvResetActorIds();
    RespawnIdList.Clear();
    TvClearMissionList();
    TvSetLevelScriptName("");
    TvSetCommandScriptName("");
    SetServerHooks(ServerHooks{});
    for (auto& flag : LobbyReadyFlags) flag = 0;
    for (auto& choice : LobbyRobotChoices) choice = 0;
    LobbySessionValue = 0;
    TvSetLobbyChatText("");
}

} // namespace

void TestRecorder::Record(uint32_t pass, MessageDirection direction, int32_t type, const uint8_t* bytes,
                          uint32_t size) {
    std::lock_guard hold(mutex_);
    messages_.push_back({pass, direction, type, std::vector<uint8_t>(bytes, bytes + size)});
}

std::vector<RecordedMessage> TestRecorder::Messages() {
    std::lock_guard hold(mutex_);
    return messages_;
}

void TestRecorder::Clear() {
    std::lock_guard hold(mutex_);
    messages_.clear();
}

std::vector<RecordedMessage> TestRecorder::Sent(int32_t type) {
    std::vector<RecordedMessage> sent;
    for (RecordedMessage& m : Messages())
        if (m.direction == MessageDirection::ServerToClient && m.type == type) sent.push_back(std::move(m));
    return sent;
}

void ServerTest::SetUp() {
    CalibrateOnce();
    clock = std::make_unique<plat::VirtualClock>(0);
    clock->Set(clockNs);
    ResetProcessState();
    RegisterServerCore();
    TeamTable::Reset();
    SetMessageRecorder(&recorder);
}

void ServerTest::TearDown() {
    TvStopServer();
    TvDriveServer(false);
    SetMessageRecorder(nullptr);
    TvReleaseAllActors();
    TvEndLevelAi(); // noise events hold their units
    ServerToClientQueue.Clear();
    ClientToServerQueue.Clear();
    ScriptQueue.Clear();
    TvSetDirectPlay(nullptr);
    TvSetSessionPlayers({});
    if (session) session->Release();
    session = nullptr;
    TeamTable::Destroy();
    DefinitionRegistry::ReleaseAll();
    definitions_.clear();
    ResetProcessState();
    clockNs = plat::ReadTimeStampCounter() / plat::kTimeStampCyclesPerNanosecond + 1'000'000'000;
    clock.reset();
}

void ServerTest::StartServer(FakeDirectPlay* dp, bool driven, uint32_t seed) {
    TvDriveServer(driven, seed);
    ASSERT_TRUE(TvStartServer(dp));
}

void ServerTest::RunPasses(int32_t count, ServerPassKind kind) {
    for (int32_t i = 0; i < count; ++i) Pass(kind);
}

void ServerTest::AdvanceSeconds(double seconds) { clock->Advance(static_cast<uint64_t>(seconds * 1e9)); }

FakeDirectPlay* ServerTest::MakeSession(int32_t players) {
    session = new FakeDirectPlay;
    std::vector<std::pair<plat::DpId, const char*>> list;
    static const char* const names[] = {"Host", "Second", "Third", "Fourth"};
    for (int32_t i = 0; i < players; ++i) list.emplace_back(session->AddPlayer(names[i]), names[i]);
    TvSetDirectPlay(session);
    TvSetSessionPlayers(list);
    return session;
}

ObjectDefinition* ServerTest::MakeDefinition(const char* name, int32_t aiCore, bool character, bool projectile,
                                             bool registered) {
    ObjectDefinition* definition;
    if (registered) {
        definition = DefinitionRegistry::NewDefinition();
    } else {
        definitions_.push_back(std::make_unique<ObjectDefinition>(nextDefinitionId_++));
        definition = definitions_.back().get();
    }
    definition->name = OwnedText(name);
    definition->aiCore = aiCore;
    if (character) {
        definition->character = std::make_unique<CharacterRecord>();
        definition->character->weapon = 33;
    }
    if (projectile) definition->projectile = std::make_unique<ProjectileRecord>();
    return definition;
}

ServerObject* ServerTest::MakeActor(int32_t team, const Vector3& position) {
    ObjectDefinition* definition = MakeDefinition("crate", 1);
    const int32_t id = TvCreateServerActor(team, definition, position, Quaternion{0, 0, 0, 1});
    return TvFindActor(id);
}

int32_t MessageInt(const std::vector<uint8_t>& bytes, size_t offset) {
    int32_t v = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

float MessageFloat(const std::vector<uint8_t>& bytes, size_t offset) {
    float v = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

std::vector<uint8_t> MessageOf(std::initializer_list<int32_t> fields) {
    std::vector<uint8_t> bytes(fields.size() * 4);
    size_t offset = 0;
    for (int32_t field : fields) {
        std::memcpy(bytes.data() + offset, &field, 4);
        offset += 4;
    }
    return bytes;
}
