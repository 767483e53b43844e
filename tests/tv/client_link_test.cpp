// The client's link to the server: sends and their throttle, the level-start
// handshake on a virtual clock, time reports, the per-frame poll, the lobby
// and chat requests and the bounded list of removed projectiles. None of
// these tests runs the server thread.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Tv/client/client_factory.h"
#include "Tv/client/client_objects.h"
#include "Tv/server/client_link.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/level_start.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/message_types.h"
#include "Tv/server/shell_state.h"
#include "core/clock.h"
#include "tests/support/fake_direct_play.h"
#include "tests/tv/server_fixture.h"

namespace {

using Call = FakeDirectPlay::Call;

constexpr int32_t kTimeReport = 54;

struct DropMark {
    int32_t type;
    std::string reason;
};

class DropRecorder : public TestRecorder {
public:
    void Drop(uint32_t, int32_t type, const uint8_t*, uint32_t, const char* reason) override {
        drops.push_back({type, reason});
    }
    std::vector<DropMark> drops;
};

std::vector<uint8_t> FloatRecord(int32_t type, float value) {
    std::vector<uint8_t> bytes = MessageOf({type, 0});
    std::memcpy(bytes.data() + 4, &value, 4);
    return bytes;
}

class ClientLinkTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        SetMessageRecorder(&drops);
        CurrentGameState = kGameStateFrontEnd;
    }
    void TearDown() override {
        TvDetachClient();
        ClientBaseSpeed = ClockCorrection = 1.0f;
        TvForgetRemovedProjectiles();
        TvResetClientObjects();
        CurrentGameState = 0;
        ServerTest::TearDown();
    }

    // A client attached to a session hosted elsewhere.
    void AttachToSession() {
        session = new FakeDirectPlay;
        player = session->AddClientPlayer("client");
        ASSERT_TRUE(TvAttachClient(session, player));
    }

    // The types of the client's sends so far (taken from the session).
    std::vector<int32_t> SentTypes() {
        std::vector<int32_t> types;
        for (const FakeDirectPlay::Sent& sent : session->TakeSends()) types.push_back(sent.Type());
        return types;
    }

    DropRecorder drops;
    plat::DpId player = 0;
};

TEST_F(ClientLinkTest, UnguaranteedSendsAreShedFrom29WaitingGuaranteedOnesAlwaysGo) {
    AttachToSession();
    struct Case {
        uint32_t waiting;
        bool guaranteed;
        bool goes;
    };
    for (const Case c : {Case{0, false, true}, Case{28, false, true}, Case{29, false, false}, Case{500, false, false},
                         Case{29, true, true}, Case{500, true, true}}) {
        SCOPED_TRACE(testing::Message() << c.waiting << " waiting, guaranteed " << c.guaranteed);
        session->SetAnyQueueCount(plat::kDpMessageQueueSend, c.waiting);
        drops.drops.clear();
        const std::vector<uint8_t> order = MessageOf({9, 77, 0});
        EXPECT_TRUE(TvSendToServer(order.data(), 12, c.guaranteed));
        const std::vector<FakeDirectPlay::Sent> sent = session->TakeSends();
        ASSERT_EQ(sent.size(), c.goes ? 1u : 0u);
        ASSERT_EQ(drops.drops.size(), c.goes ? 0u : 1u);
        if (!c.goes) {
            EXPECT_EQ(drops.drops[0].type, 9);
            continue;
        }
        EXPECT_TRUE(sent[0].ex);
        EXPECT_EQ(sent[0].from, player);
        EXPECT_EQ(sent[0].to, plat::kDpIdServerPlayer);
        EXPECT_EQ(sent[0].bytes, order);
        EXPECT_EQ(sent[0].flags, plat::kDpSendAsync | (c.guaranteed ? plat::kDpSendGuaranteed : 0));
        EXPECT_EQ(sent[0].priority, c.guaranteed ? 1u : 0u);
        EXPECT_EQ(sent[0].timeoutMs, c.guaranteed ? 0u : 10'000u);
    }
}

TEST_F(ClientLinkTest, FailedDirectPlayCallsAnswerFalse) {
    AttachToSession();
    const std::vector<uint8_t> order = MessageOf({9, 77, 0});
    session->FailCall(Call::SendEx);
    EXPECT_FALSE(TvSendToServer(order.data(), 12, true));
    session->FailCall(Call::GetMessageQueue);
    EXPECT_FALSE(TvSendToServer(order.data(), 12, true));
    EXPECT_TRUE(session->Sends().empty());
    session->FailCall(Call::Send);
    EXPECT_FALSE(TvClientReady());
}

TEST_F(ClientLinkTest, SinglePlayerSendsAreQueuedWithTheirSizeAndRecorded) {
    ASSERT_TRUE(TvAttachClient(nullptr, 0));
    const std::vector<uint8_t> order = MessageOf({9, 77, 0});
    EXPECT_TRUE(TvSendToServer(order.data(), 12, false));
    MessageBuffer queued = ClientToServerQueue.Pop();
    ASSERT_TRUE(queued);
    EXPECT_EQ(std::vector<uint8_t>(queued.Data(), queued.Data() + queued.Size()), order);
    const std::vector<RecordedMessage> recorded = drops.Messages();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].direction, MessageDirection::ClientSend);
    EXPECT_EQ(recorded[0].bytes, order);
}

TEST_F(ClientLinkTest, AttachHoldsOneReferenceASecondAttachChangesNothingDetachReleasesEverything) {
    AttachToSession();
    const uint32_t attached = session->RefCount();
    FakeDirectPlay* other = new FakeDirectPlay;
    EXPECT_FALSE(TvAttachClient(other, 5));
    EXPECT_FALSE(TvAttachClient(nullptr, 0));
    EXPECT_EQ(ClientLink.DirectPlay, session);
    EXPECT_EQ(ClientLink.PlayerId, player);
    EXPECT_EQ(other->RefCount(), 1u);
    other->Release();
    const int32_t id = TvCreateClientObject(0, *MakeDefinition("crate", 0), {1, 0, 1}, {0, 0, 0, 1});
    ASSERT_GE(id, 0);
    TvSelectObject(TvFindClientObject(id));
    TvDetachClient();
    EXPECT_FALSE(TvIsClientAttached());
    EXPECT_EQ(session->RefCount(), attached - 1);
    EXPECT_EQ(TvFindClientObject(id), nullptr);
    EXPECT_EQ(TvSelectedObjectCount(), 0);
    // Attaching in single player empties the outward queue.
    ClientToServerQueue.Push("\x09\0\0\0", 4);
    ASSERT_TRUE(TvAttachClient(nullptr, 0));
    EXPECT_TRUE(TvIsClientAttached());
    EXPECT_EQ(ClientToServerQueue.Count(), 0);
}

TEST_F(ClientLinkTest, SinglePlayerHandshakeStartsAtOnceAtTheLevelStartTime) {
    ASSERT_TRUE(TvAttachClient(nullptr, 0));
    LevelStartTime = 42.5f;
    GameClock.SetSpeed(0.25f);
    EXPECT_TRUE(TvClientReady());
    EXPECT_TRUE(TvWaitForGo());
    EXPECT_EQ(ClientToServerQueue.Count(), 0);
    EXPECT_EQ(GameClock.GetSpeed(), 1.0f);
    EXPECT_NEAR(GameClock.GetSeconds(), 42.5f, 1e-3f);
    LevelStartTime = 0.0f;
}

TEST_F(ClientLinkTest, ReadyForgetsRemovedProjectilesAndTellsTheServer) {
    AttachToSession();
    TvRememberRemovedProjectile(12);
    EXPECT_TRUE(TvClientReady());
    EXPECT_EQ(TvRemovedProjectileCount(), 0);
    const std::vector<FakeDirectPlay::Sent> sent = session->TakeSends();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Type(), MSG_READY);
    EXPECT_FALSE(sent[0].ex);
    EXPECT_EQ(sent[0].flags, plat::kDpSendGuaranteed);
    EXPECT_EQ(sent[0].to, plat::kDpIdServerPlayer);
}

TEST_F(ClientLinkTest, WaitAnswersEveryAreYouReadyAndStartsOnTheGo) {
    AttachToSession();
    LevelStartTime = 7.0f;
    ClockCorrection = 1.1f;
    ClientBaseSpeed = 0.5f;
    session->Deliver(plat::kDpIdServerPlayer, player, MessageOf({MSG_ARE_YOU_READY}));
    session->Deliver(plat::kDpIdServerPlayer, player, MessageOf({MSG_PAUSE, 0, 3})); // discarded
    session->Deliver(0x100, player, MessageOf({MSG_GO}));                            // not the server: discarded
    session->Deliver(plat::kDpIdServerPlayer, player, MessageOf({MSG_ARE_YOU_READY}));
    session->Deliver(plat::kDpIdServerPlayer, player, MessageOf({MSG_GO}));
    session->Deliver(plat::kDpIdServerPlayer, player, MessageOf({MSG_ARE_YOU_READY})); // after the go: left queued
    EXPECT_TRUE(TvWaitForGo());
    const std::vector<FakeDirectPlay::Sent> sent = session->TakeSends();
    ASSERT_EQ(sent.size(), 2u);
    for (const FakeDirectPlay::Sent& s : sent) {
        EXPECT_EQ(s.Type(), MSG_READY);
        EXPECT_EQ(s.flags, 0u);
    }
    EXPECT_EQ(ClientBaseSpeed, 1.0f);
    EXPECT_EQ(GameClock.GetSpeed(), 1.1f);
    EXPECT_NEAR(GameClock.GetSeconds(), 7.0f, 1e-3f);
    uint32_t waiting = 0;
    session->GetMessageQueue(0, 0, plat::kDpMessageQueueReceive, &waiting, nullptr);
    EXPECT_EQ(waiting, 1u);
    LevelStartTime = 0.0f;
}

TEST_F(ClientLinkTest, WithoutAnAnswerTheWaitAsksAgainAfter15SecondsAndGivesUpAt120) {
    AttachToSession();
    // Every receive takes 0.1 s, so every tenth (the clock check) comes a second later.
    const float start = RealClock.GetSeconds();
    std::vector<float> askedAt;
    session->OnReceive([&] {
        clock->Advance(100 * plat::VirtualClock::kMillisecond);
        for (const FakeDirectPlay::Sent& sent : session->TakeSends()) {
            EXPECT_EQ(sent.Type(), MSG_WAITING_FOR_GO);
            EXPECT_EQ(sent.flags, plat::kDpSendGuaranteed);
            askedAt.push_back(RealClock.GetSeconds() - start);
        }
    });
    EXPECT_FALSE(TvWaitForGo());
    const float ended = RealClock.GetSeconds() - start;
    session->OnReceive({});
    EXPECT_NEAR(ended, 121.0f, 1.5f);
    ASSERT_GE(askedAt.size(), 100u);
    EXPECT_GT(askedAt.front(), 15.0f);
    EXPECT_LT(askedAt.front(), 17.0f);
    for (size_t i = 1; i < askedAt.size(); ++i) EXPECT_NEAR(askedAt[i] - askedAt[i - 1], 1.0f, 0.1f);
}

TEST_F(ClientLinkTest, WaitFailsWhenTheSessionIsLostOrReceiveFails) {
    AttachToSession();
    session->Deliver(plat::kDpIdSystem, player, MessageOf({0x21})); // another system message: ignored
    session->LoseSession(player);
    session->Deliver(plat::kDpIdServerPlayer, player, MessageOf({MSG_GO}));
    EXPECT_FALSE(TvWaitForGo());
    session->FailCall(Call::Receive);
    EXPECT_FALSE(TvWaitForGo());
    // The go is still waiting: a later wait takes it.
    EXPECT_TRUE(TvWaitForGo());
}

TEST_F(ClientLinkTest, TimeReportsAreAtLeastTwoSecondsApartAndNoneInACutsceneOrSinglePlayer) {
    AttachToSession();
    GameClock.SetSeconds(30.0f);
    std::vector<float> reportedAt;
    const float start = RealClock.GetSeconds();
    for (int32_t step = 0; step < 100; ++step) {
        CutsceneActive = step >= 60 && step < 80;
        TvSendTimeReport();
        for (const FakeDirectPlay::Sent& sent : session->TakeSends()) {
            ASSERT_EQ(sent.Type(), kTimeReport);
            EXPECT_EQ(sent.bytes.size(), 8u);
            EXPECT_EQ(sent.flags & plat::kDpSendGuaranteed, 0u);
            EXPECT_NEAR(MessageFloat(sent.bytes, 4), GameClock.GetSeconds(), 1e-3f);
            reportedAt.push_back(RealClock.GetSeconds() - start);
        }
        AdvanceSeconds(0.25);
    }
    // 25 s: reports every 2 s outside the 5 s of cutscene.
    ASSERT_GE(reportedAt.size(), 9u);
    EXPECT_LE(reportedAt.size(), 11u);
    for (size_t i = 1; i < reportedAt.size(); ++i) {
        EXPECT_GE(reportedAt[i] - reportedAt[i - 1], 1.9f);
        EXPECT_FALSE(reportedAt[i] > 15.1f && reportedAt[i] < 19.9f);
    }
    CutsceneActive = 0;

    TvDetachClient();
    ASSERT_TRUE(TvAttachClient(nullptr, 0));
    AdvanceSeconds(5.0);
    TvSendTimeReport();
    EXPECT_EQ(ClientToServerQueue.Count(), 0);
}

TEST_F(ClientLinkTest, ChatIsAlways259BytesAndCutTo254Characters) {
    ASSERT_TRUE(TvAttachClient(nullptr, 0));
    for (const size_t length : {size_t{0}, size_t{5}, size_t{254}, size_t{255}, size_t{400}}) {
        SCOPED_TRACE(length);
        const std::string text(length, 'x');
        EXPECT_TRUE(TvSendChat(text.c_str()));
        MessageBuffer sent = ClientToServerQueue.Pop();
        ASSERT_TRUE(sent);
        ASSERT_EQ(sent.Size(), 259u);
        EXPECT_EQ(sent.Type(), 40);
        const auto* chars = reinterpret_cast<const char*>(sent.Data() + 4);
        EXPECT_EQ(std::string(chars, strnlen(chars, 255)), text.substr(0, 254));
    }
}

TEST_F(ClientLinkTest, LobbyRequestsCarryThePlayerAndGoUnguaranteed) {
    AttachToSession();
    EXPECT_TRUE(TvSendPlayerOption(3, 2, 17));
    EXPECT_TRUE(TvSendCycleLobbyChoice(4));
    EXPECT_TRUE(TvSendPlayerReady(1));
    EXPECT_TRUE(TvSendPlayerNotReady(2));
    const std::vector<FakeDirectPlay::Sent> sent = session->TakeSends();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].bytes, MessageOf({42, 2, 3, 17}));
    EXPECT_EQ(sent[1].bytes, MessageOf({44, 4}));
    EXPECT_EQ(sent[2].bytes, MessageOf({45, 1}));
    EXPECT_EQ(sent[3].bytes, MessageOf({46, 2}));
    for (const FakeDirectPlay::Sent& s : sent) EXPECT_EQ(s.flags, plat::kDpSendAsync);
}

TEST_F(ClientLinkTest, RemovedProjectilesKeepTheNewestAndForgetTheOldestFirst) {
    for (int32_t id = 0; id < kRemovedProjectileIdLimit + 3; ++id) TvRememberRemovedProjectile(1000 + id);
    EXPECT_EQ(TvRemovedProjectileCount(), kRemovedProjectileIdLimit);
    for (const int32_t id : {1000, 1001, 1002}) EXPECT_FALSE(TvIsRemovedProjectile(id));
    for (const int32_t id : {1003, 1100, 1000 + kRemovedProjectileIdLimit + 2}) EXPECT_TRUE(TvIsRemovedProjectile(id));
    TvForgetRemovedProjectiles();
    EXPECT_FALSE(TvIsRemovedProjectile(1100));
}

TEST_F(ClientLinkTest, MultiplayerPollAppliesOnlyTheServersRecordsAtMost50AFrame) {
    AttachToSession();
    session->Deliver(0x100, player, FloatRecord(MSG_GAME_SPEED, 0.25f)); // another player's: dropped
    for (int32_t i = 0; i < 59; ++i)
        session->Deliver(plat::kDpIdServerPlayer, player, FloatRecord(MSG_GAME_SPEED, 0.5f));
    EXPECT_TRUE(TvPollServerMessages());
    EXPECT_EQ(ClientBaseSpeed, 0.5f);
    ASSERT_EQ(drops.drops.size(), 1u);
    EXPECT_EQ(drops.drops[0].type, MSG_GAME_SPEED);
    uint32_t waiting = 0;
    session->GetMessageQueue(0, 0, plat::kDpMessageQueueReceive, &waiting, nullptr);
    EXPECT_EQ(waiting, 10u);
    session->FailCall(Call::Receive, plat::kDpErrGeneric);
    EXPECT_FALSE(TvPollServerMessages());
}

TEST_F(ClientLinkTest, PollReportsTheTimeOnlyInThePlayState) {
    AttachToSession();
    AdvanceSeconds(3.0);
    TvPollServerMessages();
    EXPECT_TRUE(SentTypes().empty());
    CurrentGameState = kGameStatePlay;
    TvPollServerMessages();
    EXPECT_EQ(SentTypes(), std::vector<int32_t>{kTimeReport});
}

TEST_F(ClientLinkTest, BriefingPollAppliesOnlyTheSessionSettings) {
    AttachToSession();
    ClientLobby.SettingsReceived = 0;
    session->Deliver(plat::kDpIdServerPlayer, player, FloatRecord(MSG_GAME_SPEED, 0.5f));
    std::vector<uint8_t> settings(35, 0);
    settings[0] = MSG_SETTINGS_AND_STATS;
    session->Deliver(plat::kDpIdServerPlayer, player, settings);
    EXPECT_TRUE(TvPollBriefingMessages());
    EXPECT_EQ(ClientBaseSpeed, 1.0f);
    EXPECT_EQ(ClientLobby.SettingsReceived, 1);
}

TEST_F(ClientLinkTest, SinglePlayerPollDrainsTheLocalQueue) {
    ASSERT_TRUE(TvAttachClient(nullptr, 0));
    for (int32_t i = 0; i < 80; ++i) {
        const std::vector<uint8_t> record = FloatRecord(MSG_GAME_SPEED, 0.75f);
        ServerToClientQueue.Push(record.data(), static_cast<uint32_t>(record.size()));
    }
    EXPECT_TRUE(TvPollServerMessages());
    EXPECT_EQ(ServerToClientQueue.Count(), 0);
    EXPECT_EQ(ClientBaseSpeed, 0.75f);
    EXPECT_EQ(GameClock.GetSpeed(), 0.75f);
}

} // namespace
