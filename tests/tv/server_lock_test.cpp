// The server lock and the server thread's start and stop.
#include "Tv/server/message_types.h"
#include "Tv/server/server.h"
#include "Tv/server/server_hooks.h"
#include "Tv/server/server_state.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "tests/tv/server_fixture.h"

namespace {

using ServerLockTest = ServerTest;

// An actor whose destruction the test can see.
class WatchedActor : public ServerObject {
public:
    WatchedActor(bool* destroyed)
        : ServerObject(1, nullptr, {0, 0, 0}, {0, 0, 0, 1}, kActorFlagsPlain, TvNextActorId()), destroyed_(destroyed) {}
    ~WatchedActor() override { *destroyed_ = true; }

private:
    bool* destroyed_;
};

TEST_F(ServerLockTest, NestedLockOnTheMainThreadGrantsAndReleasesOnce) {
    StartServer();
    const uint32_t before = TvServerPassesEnded();
    TvLockServer();
    TvLockServer();
    EXPECT_EQ(TvGetServerLockCount(), 2);
    TvUnlockServer();
    EXPECT_EQ(TvGetServerLockCount(), 1);
    TvUnlockServer();
    EXPECT_EQ(TvGetServerLockCount(), 0);
    TvWaitForServerPass(before + 1);
    // One request made one pass; one release was consumed by it.
    EXPECT_EQ(TvServerPassesEnded(), before + 1);
    EXPECT_FALSE(ServerLockRequestEvent.Wait(0));
    EXPECT_FALSE(ServerLockGrantEvent.Wait(0));
    EXPECT_FALSE(ServerLockReleaseEvent.Wait(0));
    TvUnlockServer(); // one release too many changes nothing
    EXPECT_EQ(TvGetServerLockCount(), 0);
}

TEST_F(ServerLockTest, LockOnTheServerThreadDoesNothing) {
    static int32_t countInside = -1;
    static bool requestSet = true;
    ServerHooks hooks;
    hooks.evaluateTriggers = [] {
        TvLockServer();
        TvLockServer();
        countInside = TvGetServerLockCount();
        requestSet = ServerLockRequestEvent.Wait(0);
        TvUnlockServer();
        TvUnlockServer();
    };
    SetServerHooks(hooks);
    StartServer();
    TvStartSimulation();
    RunPasses(4);
    EXPECT_EQ(countInside, 0);
    EXPECT_FALSE(requestSet);
}

TEST_F(ServerLockTest, WithoutAServerTheLockDoesNothing) {
    TvLockServer();
    EXPECT_EQ(TvGetServerLockCount(), 0);
    TvUnlockServer();
    TvStopServer();
    EXPECT_FALSE(TvIsServerRunning());
}

TEST_F(ServerLockTest, QuitSignalledWithALockRequestAndAMessageQuitsWithoutGranting) {
    bool destroyed = false;
    StartServer();
    TvLockServer();
    new WatchedActor(&destroyed);
    // All three wait while the server is held inside this lock's pass.
    ServerQuitEvent.Set();
    ServerLockRequestEvent.Set();
    ServerMessageEvent.Set();
    TvUnlockServer();
    TvWaitForServerPass(UINT32_MAX);
    EXPECT_FALSE(TvIsServerRunning());
    EXPECT_FALSE(ServerLockGrantEvent.Wait(0));
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(recorder.CountSent(MSG_END_OF_GAME), 1);
    ServerLockRequestEvent.Reset();
    ServerMessageEvent.Reset();
}

TEST_F(ServerLockTest, StoppingWhileHoldingTheLockReleasesItFirst) {
    StartServer();
    TvLockServer();
    TvLockServer();
    TvStopServer();
    EXPECT_FALSE(TvIsServerRunning());
    EXPECT_EQ(TvGetServerLockCount(), 0);
    EXPECT_EQ(recorder.CountSent(MSG_END_OF_GAME), 1);
}

TEST_F(ServerLockTest, StartFailsWhileRunningAndAgainWorksAfterAStop) {
    StartServer();
    EXPECT_FALSE(TvStartServer(nullptr));
    TvStopServer();
    StartServer();
    EXPECT_TRUE(TvIsServerRunning());
    EXPECT_EQ(TvRunServerPass(ServerPassKind::Wake), 1u);
}

TEST_F(ServerLockTest, FailedDirectPlayCallsFailTheStartAndKeepNoReference) {
    for (FakeDirectPlay::Call call : {FakeDirectPlay::Call::CreatePlayer, FakeDirectPlay::Call::CreateGroup}) {
        SCOPED_TRACE(static_cast<int>(call));
        FakeDirectPlay* dp = new FakeDirectPlay;
        dp->FailCall(call);
        EXPECT_FALSE(TvStartServer(dp));
        EXPECT_FALSE(TvIsServerRunning());
        EXPECT_EQ(dp->RefCount(), 1u);
        dp->Release();
    }
}

TEST_F(ServerLockTest, MultiplayerServerMakesItsPlayerAndGroupAndDropsItsReferenceAtTheEnd) {
    FakeDirectPlay* dp = MakeSession(2);
    StartServer(dp);
    EXPECT_EQ(dp->LocalPlayerCount(), 1);
    EXPECT_EQ(dp->GroupCount(), 1);
    EXPECT_EQ(dp->RefCount(), 3u); // the test's, the session's and the server's
    TvStopServer();
    EXPECT_EQ(dp->RefCount(), 2u);
    // The end of game went to both players, guaranteed.
    int32_t endOfGame = 0;
    for (const FakeDirectPlay::Sent& sent : dp->Sends())
        if (sent.Type() == MSG_END_OF_GAME) {
            ++endOfGame;
            EXPECT_EQ(sent.flags, plat::kDpSendAsync | plat::kDpSendGuaranteed);
        }
    EXPECT_EQ(endOfGame, 2);
}

} // namespace
