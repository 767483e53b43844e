// The server's senders over a DirectPlay session: culling, throttling and
// the one-player sends.
#include "Tv/server/game_settings.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server.h"
#include "Tv/server/server_state.h"
#include "Tv/server/session_start.h"
#include "Tv/sim/server_object.h"
#include "core/random.h"
#include "tests/tv/server_fixture.h"

namespace {

class ServerBroadcastTest : public ServerTest {
protected:
    void StartSession(int32_t players) {
        StartServer(MakeSession(players));
        TvLockServer();
    }
    void TearDown() override {
        while (TvGetServerLockCount() > 0) TvUnlockServer();
        ServerTest::TearDown();
    }
    // Sets a player's DirectPlay queue and makes the server read it.
    void SetQueue(int32_t index, uint32_t messages) {
        session->SetQueueCount(TvGetPlayer(index)->Id, messages);
        TvRefreshPlayerQueueCounts();
    }
    // Whether one broadcast reached player `index`.
    bool Reached(int32_t index, bool guaranteed, const Vector3& position = kNoPosition) {
        session->TakeSends();
        TvBroadcast(MessageOf({57, 1}).data(), 8, guaranteed, position);
        for (const FakeDirectPlay::Sent& sent : session->TakeSends())
            if (sent.to == TvGetPlayer(index)->Id) return true;
        return false;
    }
};

TEST_F(ServerBroadcastTest, QueueThrottleByDetailLevel) {
    StartSession(1);
    struct Case {
        int32_t level;
        uint32_t queued;
        enum { Send, OneInTen, Drop } outcome;
    };
    const Case cases[] = {
        {0, 0, Case::Send},      {0, 18, Case::Send},  {0, 19, Case::OneInTen}, {0, 23, Case::OneInTen},
        {0, 24, Case::Drop},     {0, 500, Case::Drop}, {9, 9, Case::Send},      {9, 10, Case::OneInTen},
        {9, 14, Case::OneInTen}, {9, 15, Case::Drop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << ", " << c.queued << " queued");
        UserMatchSettings.NetDetailLevel = c.level;
        for (uint32_t seed = 1; seed <= 20; ++seed) {
            SetQueue(0, c.queued);
            RandomGenerator::ForCallingThread().Seed(seed);
            RandomGenerator reference(seed);
            const bool expected =
                c.outcome == Case::Send || (c.outcome == Case::OneInTen && reference.Next() % 10 == 1);
            EXPECT_EQ(Reached(0, false), expected) << "seed " << seed;
            SetQueue(0, c.queued);
            EXPECT_TRUE(Reached(0, true)) << "guaranteed messages always go";
        }
    }
}

TEST_F(ServerBroadcastTest, EveryOfferRaisesTheCountSentOrNot) {
    StartSession(1);
    SetQueue(0, 17);
    EXPECT_TRUE(Reached(0, false)); // 18
    EXPECT_TRUE(Reached(0, false)); // 19
    EXPECT_EQ(PlayerQueueCounts[0], 19u);
    for (int32_t i = 0; i < 10; ++i) Reached(0, false);
    EXPECT_EQ(PlayerQueueCounts[0], 29u);
    EXPECT_FALSE(Reached(0, false));
}

TEST_F(ServerBroadcastTest, SendsCarryTheDeliveryFlagsPriorityAndTimeOut) {
    StartSession(1);
    session->TakeSends();
    TvBroadcast(MessageOf({57, 1}).data(), 8, true);
    TvBroadcast(MessageOf({57, 2}).data(), 8, false);
    const std::vector<FakeDirectPlay::Sent> sends = session->TakeSends();
    ASSERT_EQ(sends.size(), 2u);
    EXPECT_TRUE(sends[0].ex);
    EXPECT_EQ(sends[0].from, plat::kDpIdServerPlayer);
    EXPECT_EQ(sends[0].flags, plat::kDpSendAsync | plat::kDpSendGuaranteed);
    EXPECT_EQ(sends[0].priority, 1u);
    EXPECT_EQ(sends[0].timeoutMs, 0u);
    EXPECT_EQ(sends[1].flags, plat::kDpSendAsync);
    EXPECT_EQ(sends[1].priority, 0u);
    EXPECT_EQ(sends[1].timeoutMs, 3000u);
}

TEST_F(ServerBroadcastTest, CullingByTheDetailLevelsRadiusSparesNoPositionAndTheLastPlayer) {
    StartSession(2);
    ServerObject* actor = MakeActor(1, {0, 0, 0}); // team 1 is player 0's
    for (const auto& [level, radius] : {std::pair{0, 120.0f}, std::pair{9, 30.0f}}) {
        SCOPED_TRACE(level);
        UserMatchSettings.NetDetailLevel = level;
        SetQueue(0, 0);
        EXPECT_TRUE(Reached(0, false, {radius - 0.01f, 0, 0}));
        EXPECT_FALSE(Reached(0, true, {radius, 0, 0})) << "strictly inside the radius only";
        EXPECT_FALSE(Reached(0, true, {0, radius, 0}));
        EXPECT_TRUE(Reached(0, true, kNoPosition));
        EXPECT_TRUE(Reached(1, true, {5000, 0, 0})) << "the last player is never culled";
    }
    // A culled message is not counted.
    SetQueue(0, 5);
    Reached(0, false, {1000, 0, 0});
    EXPECT_EQ(PlayerQueueCounts[0], 5u);
    actor->SetPosition({990, 0, 0});
    EXPECT_TRUE(Reached(0, false, {1000, 0, 0}));
}

TEST_F(ServerBroadcastTest, CountsAreAskedAgainAfterTwentySends) {
    StartSession(1);
    UserMatchSettings.NetDetailLevel = 9;
    SetQueue(0, 0);
    for (int32_t i = 0; i < 20; ++i) Reached(0, true);
    EXPECT_EQ(PlayerQueueCounts[0], 20u);
    EXPECT_TRUE(Reached(0, false)) << "the 21st send asked DirectPlay again";
    EXPECT_EQ(PlayerQueueCounts[0], 1u);
}

TEST_F(ServerBroadcastTest, OnePlayerSends) {
    StartSession(2);
    ASSERT_TRUE(TvCloseSessionToJoins());
    const ByteWriter message = [] {
        ByteWriter m;
        m.I32(160);
        m.I16(12088);
        return m;
    }();
    session->TakeSends();
    EXPECT_FALSE(TvSendToPlayer(2, message, true)) << "outside the player list";
    EXPECT_FALSE(TvSendToPlayer(-1, message, true));
    EXPECT_TRUE(session->TakeSends().empty());

    UserMatchSettings.NetDetailLevel = 0;
    SetQueue(1, 19);
    EXPECT_TRUE(TvSendToPlayer(1, message, false)) << "dropped quietly";
    EXPECT_TRUE(session->TakeSends().empty());
    EXPECT_TRUE(TvSendToPlayer(1, message, true));
    std::vector<FakeDirectPlay::Sent> sends = session->TakeSends();
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].to, TvGetPlayer(1)->Id);

    // The team's player: slot 3 is index 1; slot 5 has nobody with two players.
    SetQueue(1, 0);
    EXPECT_TRUE(TvSendPlayerNotice(3, 12088));
    EXPECT_TRUE(TvSendPlayerSound(5, 40));
    sends = session->TakeSends();
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].to, TvGetPlayer(1)->Id);
    EXPECT_EQ(sends[0].bytes.size(), 6u);

    // Message 3 to the owner of an actor on team 3.
    EXPECT_FALSE(TvSendToOwner(12345)) << "no such actor";
    CurrentGameType = kGameCooperative;
    ServerObject* actor = MakeActor(3);
    EXPECT_TRUE(TvSendToOwner(actor->Id));
    sends = session->TakeSends();
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].to, TvGetPlayer(1)->Id);
    EXPECT_EQ(sends[0].bytes, MessageOf({MSG_OWNER_NOTICE, actor->Id}));
}

TEST_F(ServerBroadcastTest, SendToOwnerWithoutAPlayerListSendsNothing) {
    StartSession(1);
    ServerObject* actor = MakeActor(1);
    session->TakeSends();
    EXPECT_FALSE(TvSendToOwner(actor->Id));
    EXPECT_TRUE(session->TakeSends().empty());
}

TEST_F(ServerBroadcastTest, FailedSendsAreReportedAndBroadcastGoesOn) {
    StartSession(2);
    session->TakeSends();
    session->FailCall(FakeDirectPlay::Call::SendEx);
    EXPECT_TRUE(TvBroadcast(MessageOf({57, 1}).data(), 8, true));
    const std::vector<FakeDirectPlay::Sent> sends = session->TakeSends();
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].to, TvGetPlayer(1)->Id);
    session->FailCall(FakeDirectPlay::Call::Send);
    EXPECT_FALSE(TvSendToAll(MessageOf({141}).data(), 4, true));
}

TEST_F(ServerTest, SinglePlayerSendersQueueEveryMessageWithItsSize) {
    StartServer();
    TvLockServer();
    EXPECT_TRUE(TvBroadcast(MessageOf({57, 1, 2}).data(), 12, false, {1000, 0, 0}));
    EXPECT_TRUE(TvSendToAll(MessageOf({141}).data(), 4, true));
    EXPECT_TRUE(TvSendPlayerSound(1, 40));
    TvUnlockServer();
    const MessageBuffer first = ServerToClientQueue.Pop();
    const MessageBuffer second = ServerToClientQueue.Pop();
    const MessageBuffer third = ServerToClientQueue.Pop();
    EXPECT_EQ(first.Size(), 12u);
    EXPECT_EQ(second.Type(), 141);
    EXPECT_EQ(third.Size(), 5u);
    EXPECT_EQ(third.Type(), MSG_PLAYER_CUE);
}

} // namespace
