#include "tests/tv/client_dispatch_fixture.h"

#include "Tv/client/client_factory.h"
#include "Tv/client/client_sounds.h"
#include "Tv/console/console_hooks.h"
#include "Tv/server/client_link.h"
#include "Tv/server/client_service_hooks.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/server_message_dispatch.h"
#include "Tv/server/shell_state.h"

namespace {

DispatchEffects* current = nullptr;

void Call(const char* name) { current->calls.emplace_back(name); }

ConsoleHooks RecordingConsole() {
    ConsoleHooks hooks;
    hooks.print = [](const char* text) { current->lines.emplace_back(text); };
    hooks.caption = [](float x, float y, const char* text, int32_t kind, float) {
        current->captions.push_back({x, y, text, kind});
    };
    hooks.batchLoadFile = [](const char* name) {
        current->batches.emplace_back(name);
        return true;
    };
    hooks.waitForWatchedObject = [](ClientObject* object) { current->watched.push_back(object); };
    hooks.doorOpenCollision = [](int32_t door) { current->doors.push_back(door); };
    hooks.doorCloseCollision = [](int32_t door) { current->doors.push_back(-door - 1); };
    return hooks;
}

ClientServiceHooks RecordingServices() {
    ClientServiceHooks hooks;
    hooks.openNetworkGameMenu = [] { Call("openNetworkGameMenu"); };
    hooks.releaseHudPanels = [] { Call("releaseHudPanels"); };
    hooks.releasePresidentPanels = [] { Call("releasePresidentPanels"); };
    hooks.showGameResult = [] { Call("showGameResult"); };
    hooks.updateMenuRobots = [](int32_t choice) { current->robotRefreshes.push_back(choice); };
    hooks.trackCameraObject = [](ClientObject*) { Call("trackCameraObject"); };
    hooks.startCameraTrack = [](const Vector3(&)[4], float, uint64_t) { Call("startCameraTrack"); };
    hooks.setCameraScriptMode = [](uint8_t) { Call("setCameraScriptMode"); };
    hooks.endCutscene = [] { Call("endCutscene"); };
    return hooks;
}

EffectHooks RecordingEffects() {
    EffectHooks hooks;
    hooks.addFogRevealer = [](const FogRevealer& revealer) { current->revealers.push_back(revealer); };
    hooks.addDefogger = [](ClientObject*) { Call("addDefogger"); };
    hooks.removeDefogger = [](ClientObject*) { Call("removeDefogger"); };
    hooks.spotlight = [](const Vector3& position, uint32_t) { current->spotlights.push_back(position); };
    hooks.airstrike = [](const Vector3&, const Vector3&) { Call("airstrike"); };
    return hooks;
}

// Everything a test can see of the dispatcher's reach, for before/after comparisons.
size_t Reach(const DispatchEffects& e) {
    return e.lines.size() + e.captions.size() + e.sounds.size() + e.batches.size() + e.calls.size() +
           e.robotRefreshes.size() + e.doors.size() + e.watched.size() + e.revealers.size() + e.spotlights.size();
}

} // namespace

void DropRecorder::Drop(uint32_t, int32_t, const uint8_t*, uint32_t, const char* reason) {
    reasons.emplace_back(reason);
}

void ClientDispatchTest::SetUp() {
    ServerTest::SetUp();
    current = &seen;
    SetMessageRecorder(&drops);
    SetConsoleHooks(RecordingConsole());
    SetClientServiceHooks(RecordingServices());
    SetEffectHooks(RecordingEffects());
    SetSoundPlayObserver([](int32_t sample, const char* options) { current->sounds.push_back({sample, options}); });
    TvResetClientLobby();
    LobbyTextShown = 0;
    ClientBaseSpeed = 1.0f;
    ClockCorrection = 1.0f;
    CurrentGameState = kGameStatePlay;
    TimedTeamEffect = TimedTeamEffectState{};
    GamePaused = 0;
}

void ClientDispatchTest::TearDown() {
    ReleaseAllClientObjects();
    SetSoundPlayObserver(nullptr);
    SetEffectHooks(EffectHooks{});
    SetClientServiceHooks(ClientServiceHooks{});
    SetConsoleHooks(ConsoleHooks{});
    TvClearSelection();
    TvResetClientLobby();
    ClientBaseSpeed = 1.0f;
    ClockCorrection = 1.0f;
    CurrentGameState = 0;
    current = nullptr;
    ServerTest::TearDown();
}

void ClientDispatchTest::Dispatch(const ByteWriter& record) { Dispatch(record.bytes()); }

void ClientDispatchTest::Dispatch(const std::vector<uint8_t>& record) {
    TvHandleServerMessage(record.data(), record.size());
}

void ClientDispatchTest::ExpectDropped(const ByteWriter& record) {
    const size_t dropsBefore = drops.reasons.size();
    const size_t reachBefore = Reach(seen);
    const size_t sendsBefore = ClientSends().size();
    Dispatch(record);
    EXPECT_EQ(drops.reasons.size(), dropsBefore + 1) << "type " << MessageInt(record.bytes(), 0);
    EXPECT_EQ(Reach(seen), reachBefore) << "type " << MessageInt(record.bytes(), 0);
    EXPECT_EQ(ClientSends().size(), sendsBefore);
}

std::vector<RecordedMessage> ClientDispatchTest::ClientSends() {
    std::vector<RecordedMessage> sends;
    for (RecordedMessage& m : drops.Messages())
        if (m.direction == MessageDirection::ClientSend) sends.push_back(std::move(m));
    return sends;
}

ClientObject* ClientDispatchTest::MakeClientObject(int32_t id, int32_t team, const Vector3& position) {
    ObjectDefinition* definition = MakeDefinition("crate", 1);
    TvBuildClientObject(team, *definition, position, Quaternion{0, 0, 0, 1}, id);
    return TvFindClientObject(id);
}

ByteWriter Record(int32_t type, std::initializer_list<int32_t> ints) {
    ByteWriter w;
    w.I32(type);
    for (int32_t v : ints) w.I32(v);
    return w;
}
