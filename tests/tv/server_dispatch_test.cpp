// The drain and the dispatcher of client messages, and the messages the
// server core answers itself.
#include "Tv/server/client_dispatch.h"
#include "Tv/server/game_options.h"
#include "Tv/server/lobby_state.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server.h"
#include "Tv/server/server_state.h"
#include "Tv/server/session_start.h"
#include "tests/tv/server_fixture.h"

namespace {

using ServerDispatchTest = ServerTest;

void PushToServer(const std::vector<uint8_t>& bytes) {
    ClientToServerQueue.Push(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

// The client-to-server types taken in each pass, in order.
std::vector<std::pair<uint32_t, int32_t>> TakenByPass(TestRecorder& recorder) {
    std::vector<std::pair<uint32_t, int32_t>> taken;
    for (const RecordedMessage& m : recorder.Messages())
        if (m.direction == MessageDirection::ClientToServer) taken.emplace_back(m.pass, m.type);
    return taken;
}

TEST(ServerClientSizes, EveryTypeHasTheCatalogueSize) {
    struct Case {
        std::vector<int32_t> fields;
        size_t extraBytes;
        bool fits;
    };
    const Case cases[] = {
        {{4, 1}, 0, true},                  // speed acknowledgement, 8
        {{4}, 0, false},                    // too short
        {{6}, 0, true},                     // READY, 4
        {{6, 0}, 0, false},                 // READY with a stray word
        {{52}, 0, true},                    // settings request, 4
        {{9, 1, 0}, 0, true},               // stop, 12
        {{9, 1, 0}, 1, false},              // one byte more
        {{40}, 255, true},                  // chat, 259
        {{59}, 52, true},                   // direct control, 56
        {{8, 0, 0, 0, 2, 11, 12}, 0, true}, // group order of two units, 20 + 8
        {{8, 0, 0, 0, 2, 11}, 0, false},    // one unit id missing
        {{8, 0, 0, 0, -1}, 0, false},       // a negative count
        {{33, 0, 0, 0, 0}, 0, true},        // queued group order of none
        {{5}, 0, false},                    // server-to-client numbers
        {{55, 0, 0, 0, 0}, 0, false},
        {{60, 0}, 0, false},
        {{204}, 0, false},
        {{-1}, 0, false},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes;
        for (int32_t f : c.fields) {
            const std::vector<uint8_t> field = MessageOf({f});
            bytes.insert(bytes.end(), field.begin(), field.end());
        }
        bytes.resize(bytes.size() + c.extraBytes);
        EXPECT_EQ(CheckClientRecord(bytes.data(), static_cast<uint32_t>(bytes.size())) == nullptr, c.fits)
            << "type " << c.fields[0] << ", " << bytes.size() << " bytes";
    }
    EXPECT_NE(CheckClientRecord(nullptr, 0), nullptr);
}

TEST_F(ServerDispatchTest, WrongSizesAreDroppedAndOrderHandlersWaitForTheSimulation) {
    LobbyReadyFlags[0] = 0;
    StartServer();
    PushToServer(MessageOf({MSG_CANCEL_CUTSCENE}));
    PushToServer(MessageOf({MSG_PLAYER_READY, 1, 0})); // 12 bytes: dropped
    Pass(ServerPassKind::Wake);
    EXPECT_EQ(LobbyReadyFlags[0], 0);
    PushToServer(MessageOf({MSG_PLAYER_READY, 1}));
    Pass(ServerPassKind::Wake);
    EXPECT_EQ(LobbyReadyFlags[0], 1) << "lobby messages are handled in every phase";
    EXPECT_EQ(recorder.CountSent(MSG_END_CUTSCENE), 0) << "the cutscene's end waits for a running simulation";
    TvStartSimulation();
    PushToServer(MessageOf({MSG_CANCEL_CUTSCENE, 0})); // 8 bytes: dropped
    PushToServer(MessageOf({MSG_CANCEL_CUTSCENE}));
    Pass(ServerPassKind::Wake);
    EXPECT_EQ(recorder.CountSent(MSG_END_CUTSCENE), 1);
}

TEST_F(ServerDispatchTest, ASettingsRequestEndsTheDrainAndTheRestWaitsForTheNextPass) {
    GameOptions.SessionOption = 7;
    UserMatchSettings.FriendlyFire = 1;
    for (int32_t i = 0; i < kMissionStatCount; ++i) GameOptions.MissionStats[i] = 100 + i;
    StartServer();
    for (int32_t type : {6, 6, 52, 6, 4}) PushToServer(type == 4 ? MessageOf({4, 0}) : MessageOf({type}));
    const uint32_t first = Pass(ServerPassKind::Wake);
    const uint32_t second = Pass(ServerPassKind::Wake);
    const std::vector<std::pair<uint32_t, int32_t>> expected = {
        {first, 6}, {first, 6}, {first, 52}, {second, 6}, {second, 4}};
    EXPECT_EQ(TakenByPass(recorder), expected);

    const std::vector<RecordedMessage> replies = recorder.Sent(MSG_SETTINGS_AND_STATS);
    ASSERT_EQ(replies.size(), 1u);
    const std::vector<uint8_t>& reply = replies[0].bytes;
    ASSERT_EQ(reply.size(), 35u);
    EXPECT_EQ(reply[4], 1); // session option set
    EXPECT_EQ(reply[5], 1); // friendly fire
    EXPECT_EQ(reply[6], 0); // rule flag B
    for (int32_t i = 0; i < kMissionStatCount; ++i) EXPECT_EQ(MessageInt(reply, 7 + 4 * i), 100 + i);
    EXPECT_EQ(replies[0].pass, first);
}

TEST_F(ServerDispatchTest, SystemMessagesAreFreedUnread) {
    FakeDirectPlay* dp = MakeSession(1);
    StartServer(dp);
    const plat::DpId player = TvGetPlayer(0)->Id;
    dp->Deliver(plat::kDpIdSystem, plat::kDpIdServerPlayer, MessageOf({52}));
    dp->Deliver(player, plat::kDpIdServerPlayer, MessageOf({6}));
    Pass(ServerPassKind::Wake);
    const std::vector<std::pair<uint32_t, int32_t>> taken = TakenByPass(recorder);
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].second, 6);
    EXPECT_EQ(recorder.CountSent(MSG_SETTINGS_AND_STATS), 0);
}

TEST_F(ServerDispatchTest, ReadyCountsOnlyForListedPlayersOnceTheListIsBuilt) {
    FakeDirectPlay* dp = MakeSession(2);
    StartServer(dp);
    const plat::DpId first = TvGetPlayer(0)->Id;
    dp->Deliver(first, plat::kDpIdServerPlayer, MessageOf({6}));
    Pass(ServerPassKind::Wake);
    ASSERT_TRUE(TvCloseSessionToJoins());
    TvWaitForServerIdle();
    EXPECT_EQ((*ServerPlayerList.At(0))->Ready, 0) << "READY before the list was built";
    MatchDecided = true;
    dp->Deliver(0x7777, plat::kDpIdServerPlayer, MessageOf({6})); // nobody's id
    Pass(ServerPassKind::Wake);
    EXPECT_TRUE(MatchDecided) << "a READY without a record changes nothing";
    dp->Deliver(first, plat::kDpIdServerPlayer, MessageOf({6}));
    Pass(ServerPassKind::Wake);
    EXPECT_EQ((*ServerPlayerList.At(0))->Ready, 1);
    EXPECT_EQ((*ServerPlayerList.At(1))->Ready, 0);
    EXPECT_FALSE(MatchDecided);
}

TEST_F(ServerDispatchTest, AGoRequestIsAnsweredWithTheGoWhileTheSimulationRuns) {
    FakeDirectPlay* dp = MakeSession(1);
    StartServer(dp);
    const plat::DpId player = TvGetPlayer(0)->Id;
    dp->Deliver(player, plat::kDpIdServerPlayer, MessageOf({7}));
    Pass(ServerPassKind::Wake);
    TvStartSimulation();
    dp->TakeSends();
    dp->Deliver(player, plat::kDpIdServerPlayer, MessageOf({7}));
    Pass(ServerPassKind::Wake);
    const std::vector<FakeDirectPlay::Sent> sends = dp->TakeSends();
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].to, player);
    EXPECT_EQ(sends[0].from, plat::kDpIdServerPlayer);
    EXPECT_EQ(sends[0].flags, plat::kDpSendGuaranteed);
    EXPECT_EQ(sends[0].bytes, MessageOf({MSG_GO}));
    EXPECT_EQ(recorder.CountSent(MSG_GO), 1);
}

} // namespace
