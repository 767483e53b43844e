// The level-start handshake and the dropped-player check.
#include <chrono>
#include <thread>

#include "Tv/server/game_settings.h"
#include "Tv/server/level_start.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server.h"
#include "Tv/server/server_state.h"
#include "Tv/server/session_start.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "core/clock.h"
#include "tests/tv/server_fixture.h"

namespace {

using ServerHandshakeTest = ServerTest;

int32_t CountSends(FakeDirectPlay& dp, int32_t type) {
    int32_t count = 0;
    for (const FakeDirectPlay::Sent& sent : dp.Sends()) count += sent.Type() == type;
    return count;
}

// Waits (real time) until `done` holds, at most ten seconds.
template <class F>
bool Eventually(F done) {
    for (int32_t i = 0; i < 10000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}

// Waits until the level-start loop has gone round once more (it checks the
// players every round), so the times it read are the clock's present ones.
bool NextRound(FakeDirectPlay& dp) {
    const int32_t enumerations = dp.CallCount(FakeDirectPlay::Call::EnumPlayers);
    return Eventually([&] { return dp.CallCount(FakeDirectPlay::Call::EnumPlayers) > enumerations; });
}

void Briefly() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

TEST_F(ServerHandshakeTest, ASilentPlayerIsAskedAfterFifteenSecondsAndEveryEightAndTheGoFollowsTheLastReady) {
    FakeDirectPlay* dp = MakeSession(2);
    StartServer(dp, false);
    ASSERT_TRUE(TvCloseSessionToJoins());
    const plat::DpId ready = TvGetPlayer(0)->Id, silent = TvGetPlayer(1)->Id;
    dp->Deliver(ready, plat::kDpIdServerPlayer, MessageOf({MSG_READY}));
    ASSERT_TRUE(Eventually([] { return (*ServerPlayerList.At(0))->Ready == 1; }));
    LevelStartTime = 12.5f;

    bool result = false;
    std::thread level([&result] { result = TvWaitForPlayersReady(); });
    // A failed assertion still lets the level thread finish.
    struct Finish {
        std::thread& level;
        FakeDirectPlay& dp;
        plat::DpId silent;
        ~Finish() {
            if (!level.joinable()) return;
            dp.Deliver(silent, plat::kDpIdServerPlayer, MessageOf({MSG_READY}));
            level.join();
        }
    } finish{level, *dp, silent};
    ASSERT_TRUE(NextRound(*dp));

    AdvanceSeconds(14.9);
    Briefly();
    EXPECT_EQ(CountSends(*dp, MSG_ARE_YOU_READY), 0);
    AdvanceSeconds(0.2);
    ASSERT_TRUE(Eventually([&] { return CountSends(*dp, MSG_ARE_YOU_READY) == 1; }));
    ASSERT_TRUE(NextRound(*dp));
    AdvanceSeconds(7.9);
    Briefly();
    EXPECT_EQ(CountSends(*dp, MSG_ARE_YOU_READY), 1);
    AdvanceSeconds(0.2);
    ASSERT_TRUE(Eventually([&] { return CountSends(*dp, MSG_ARE_YOU_READY) == 2; }));
    EXPECT_EQ(CountSends(*dp, MSG_GO), 0);

    dp->Deliver(silent, plat::kDpIdServerPlayer, MessageOf({MSG_READY}));
    level.join();
    EXPECT_TRUE(result);
    for (const FakeDirectPlay::Sent& sent : dp->Sends()) {
        if (sent.Type() == MSG_ARE_YOU_READY) {
            EXPECT_EQ(sent.to, silent);
            EXPECT_EQ(sent.flags, 0u);
        }
        if (sent.Type() == MSG_GO) {
            EXPECT_EQ(sent.to, AllPlayersGroup);
            EXPECT_EQ(sent.flags, plat::kDpSendGuaranteed);
        }
    }
    EXPECT_EQ(CountSends(*dp, MSG_GO), 1);
    EXPECT_EQ(ServerClock.GetSpeed(), 1.0f);
    EXPECT_NEAR(ServerClock.GetSeconds(), 12.5f, 0.01f);
}

TEST_F(ServerHandshakeTest, SinglePlayerStartsTheClockAtOnce) {
    StartServer();
    LevelStartTime = 3.0f;
    ServerClock.SetSpeed(0.25f);
    EXPECT_TRUE(TvWaitForPlayersReady());
    EXPECT_EQ(ServerClock.GetSpeed(), 1.0f);
    EXPECT_NEAR(ServerClock.GetSeconds(), 3.0f, 0.01f);
}

TEST_F(ServerHandshakeTest, AFailingDirectPlayEndsTheWait) {
    FakeDirectPlay* dp = MakeSession(1);
    StartServer(dp);
    ASSERT_TRUE(TvCloseSessionToJoins());
    dp->FailCall(FakeDirectPlay::Call::EnumPlayers, plat::kDpErrGeneric, 2);
    EXPECT_FALSE(TvWaitForPlayersReady());
    EXPECT_FALSE(TvCheckDroppedPlayers());
    EXPECT_FALSE((*ServerPlayerList.At(0))->Gone) << "nobody is marked gone when the enumeration fails";
}

class ServerDroppedPlayerTest : public ServerTest {
protected:
    // Three players: indices 0, 1, 2 play teams 1, 3 and 4.
    void StartThree() {
        StartServer(MakeSession(3));
        ASSERT_TRUE(TvCloseSessionToJoins());
        TvWaitForServerIdle();
    }
    std::vector<int32_t> TeamsOf(const std::vector<ServerObject*>& actors) {
        std::vector<int32_t> teams;
        for (const ServerObject* a : actors) teams.push_back(a->Team);
        return teams;
    }
};

TEST_F(ServerDroppedPlayerTest, ACooperativePlayersActorsGoToTheLastPlayerStillPresent) {
    CurrentGameType = kGameCooperative;
    const int32_t table[5] = {3, 1, 2, 1, 0};
    for (int32_t k = 0; k < 5; ++k) CoopCharacterTable[k] = table[k];
    StartThree();
    const std::vector<ServerObject*> third = {MakeActor(4), MakeActor(4)};
    ServerObject* second = MakeActor(3);

    session->RemovePlayer(TvGetPlayer(2)->Id); // the last player, team 4, lobby position 1
    EXPECT_TRUE(TvCheckDroppedPlayers());
    TvWaitForServerIdle();
    EXPECT_EQ(TeamsOf(third), (std::vector<int32_t>{3, 3})) << "not back to the dropped player's own team";
    EXPECT_EQ(TeamActorListOf(3)->Count(), 3);
    EXPECT_EQ(TeamActorListOf(4)->Count(), 0);
    const std::vector<RecordedMessage> changes = recorder.Sent(MSG_OWNER_CHANGED);
    const std::vector<RecordedMessage> tables = recorder.Sent(MSG_LOBBY_CHOICES);
    ASSERT_EQ(changes.size(), 2u);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(changes[0].bytes.size(), 12u);
    EXPECT_EQ(MessageInt(changes[0].bytes, 8), 3);
    EXPECT_EQ(tables[1].bytes, MessageOf({MSG_LOBBY_CHOICES, 3, 2, 2, 2, 0}));
    EXPECT_TRUE((*ServerPlayerList.At(2))->Gone);

    // A second check finds nobody new; then one player is left: team 1 takes everything.
    EXPECT_TRUE(TvCheckDroppedPlayers());
    EXPECT_EQ(recorder.CountSent(MSG_OWNER_CHANGED), 2);
    session->RemovePlayer(TvGetPlayer(1)->Id);
    EXPECT_TRUE(TvCheckDroppedPlayers());
    TvWaitForServerIdle();
    EXPECT_EQ(TeamsOf(third), (std::vector<int32_t>{1, 1}));
    EXPECT_EQ(second->Team, 1);
    EXPECT_EQ(TeamActorListOf(1)->Count(), 3);
}

TEST_F(ServerDroppedPlayerTest, InOtherGameTypesADroppedPlayersTeamIsRemoved) {
    CurrentGameType = kGamePresident;
    StartThree();
    MakeActor(4);
    MakeActor(4);
    ServerObject* other = MakeActor(3);
    session->RemovePlayer(TvGetPlayer(2)->Id);
    EXPECT_TRUE(TvCheckDroppedPlayers());
    TvWaitForServerIdle();
    EXPECT_EQ(recorder.CountSent(MSG_REMOVE_OBJECT), 2);
    EXPECT_EQ(TeamActorListOf(4)->Count(), 0);
    EXPECT_EQ(TvFindActor(other->Id), other);
}

TEST_F(ServerDroppedPlayerTest, TheServerChecksEveryHundredthPassWhileTheSimulationRuns) {
    CurrentGameType = kGamePresident;
    StartThree();
    MakeActor(4);
    TvStartSimulation();
    session->RemovePlayer(TvGetPlayer(2)->Id);
    RunPasses(101);
    EXPECT_EQ(recorder.CountSent(MSG_REMOVE_OBJECT), 1);
}

} // namespace
