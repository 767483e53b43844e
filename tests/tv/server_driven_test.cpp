// Driven runs of the server repeat exactly.
#include "Tv/server/actor_actions.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server.h"
#include "Tv/server/server_hooks.h"
#include "Tv/server/session_players.h"
#include "Tv/server/session_start.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "core/clock.h"
#include "core/random.h"
#include "tests/tv/server_fixture.h"

namespace {

using ServerDrivenTest = ServerTest;

// Every fourth pass the server offers a pose update to both players, whose
// queues are long enough for the one-in-ten throttle, and spawns a crate.
ObjectDefinition* crate = nullptr;

void TriggerWork() {
    ByteWriter pose;
    pose.I32(111);
    pose.I32(static_cast<int32_t>(TvRandomDraw()));
    pose.F32(ServerClock.GetSeconds());
    TvBroadcast(pose, false);
    TvSpawnActor(2, crate, {static_cast<float>(TvRandomDraw() % 100), 0, 0}, {0, 0, 0, 1}, -1);
}

std::vector<RecordedMessage> RunScenario(TestRecorder& recorder, FakeDirectPlay* dp, uint32_t seed) {
    recorder.Clear();
    for (int32_t i = 0; i < 2; ++i) dp->SetQueueCount(TvGetPlayer(i)->Id, 21);
    TvDriveServer(true, seed);
    EXPECT_TRUE(TvStartServer(dp));
    EXPECT_TRUE(TvCloseSessionToJoins());
    TvStartSimulation();
    for (int32_t i = 0; i < 40; ++i) {
        if (i % 3 == 0) {
            TvRunServerPass(ServerPassKind::Timeout);
            continue;
        }
        dp->Deliver(TvGetPlayer(i % 2)->Id, plat::kDpIdServerPlayer, MessageOf({MSG_SPEED_ACK, i}));
        TvRunServerPass(ServerPassKind::Wake);
        if (i % 10 == 1) {
            TvKillActor(ActorIdCounter - 1);
            TvWaitForServerIdle();
        }
    }
    TvStopServer();
    TvResetActorIds();
    return recorder.Messages();
}

TEST_F(ServerDrivenTest, ARunRepeatedGivesTheSameRecording) {
    crate = MakeDefinition("crate", 1);
    ServerHooks hooks;
    hooks.evaluateTriggers = &TriggerWork;
    SetServerHooks(hooks);
    UserMatchSettings.NetDetailLevel = 0;
    FakeDirectPlay* dp = MakeSession(2);
    const std::vector<RecordedMessage> first = RunScenario(recorder, dp, 17);
    const std::vector<RecordedMessage> second = RunScenario(recorder, dp, 17);
    EXPECT_GT(first.size(), 40u);
    EXPECT_EQ(first, second);
    const std::vector<RecordedMessage> other = RunScenario(recorder, dp, 18);
    EXPECT_NE(first, other) << "the seed reaches the server's random draws";
}

} // namespace
