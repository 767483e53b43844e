// The session's player list, the receive path and the host's game-start and lobby messages.
#include <cstring>

#include "Tv/frontend/levelnames.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/lobby_state.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/server/receive_message.h"
#include "Tv/server/server_state.h"
#include "Tv/server/session_start.h"
#include "tests/tv/server_fixture.h"

namespace {

using ServerSessionTest = ServerTest;

std::vector<FakeDirectPlay::Sent> SendsOfType(FakeDirectPlay& dp, int32_t type) {
    std::vector<FakeDirectPlay::Sent> sends;
    for (FakeDirectPlay::Sent& sent : dp.Sends())
        if (sent.Type() == type) sends.push_back(std::move(sent));
    return sends;
}

std::string TextAt(const std::vector<uint8_t>& bytes, size_t offset) {
    return offset < bytes.size() ? std::string(reinterpret_cast<const char*>(bytes.data() + offset)) : "";
}

TEST_F(ServerSessionTest, PlayerSlotsAndIndices) {
    MakeSession(3);
    EXPECT_EQ(TvGetPlayerCount(), 3u);
    EXPECT_EQ(TvPlayerSlotForId(TvGetPlayer(0)->Id), 1);
    EXPECT_EQ(TvPlayerSlotForId(TvGetPlayer(2)->Id), 4);
    EXPECT_EQ(TvPlayerSlotForId(0xDEAD), 1) << "nobody's id answers the first player's slot";
    const std::pair<int32_t, int32_t> slots[] = {{1, 0}, {3, 1}, {4, 2}, {5, -1}, {2, 0}, {0, 0}, {9, 0}};
    for (const auto& [slot, index] : slots) EXPECT_EQ(TvPlayerIndexForSlot(slot), index) << "slot " << slot;
    EXPECT_EQ(TvGetPlayer(3), nullptr);
    EXPECT_EQ(TvGetPlayer(-1), nullptr);
    EXPECT_TRUE(TvHasDirectPlay());
    UserMatchSettings.FriendlyFire = 2;
    EXPECT_TRUE(TvIsFriendlyFire());
}

TEST_F(ServerSessionTest, ReceivingTakesWholeMessagesAndTellsAnEmptyQueueFromAFailure) {
    FakeDirectPlay* dp = MakeSession(1);
    const plat::DpId player = TvGetPlayer(0)->Id;
    std::vector<uint8_t> chat = MessageOf({40}); // chat
    chat.resize(259, 'x');
    dp->Deliver(player, player, chat);
    bool ok = false;
    plat::DpId from = 0;
    MessageBuffer message = TvReceiveMessage(ok, from, dp, player);
    EXPECT_TRUE(ok);
    EXPECT_EQ(from, player);
    ASSERT_EQ(message.Size(), 259u);
    EXPECT_TRUE(std::equal(chat.begin(), chat.end(), message.Data()));
    message = TvReceiveMessage(ok, from, dp, player);
    EXPECT_FALSE(message);
    EXPECT_TRUE(ok);
    dp->FailCall(FakeDirectPlay::Call::Receive);
    message = TvReceiveMessage(ok, from, dp, player);
    EXPECT_FALSE(message);
    EXPECT_FALSE(ok);
}

TEST_F(ServerSessionTest, ClosingTheSessionBuildsTheServersPlayerList) {
    FakeDirectPlay* dp = MakeSession(2);
    StartServer(dp);
    EXPECT_TRUE(TvCloseSessionToJoins());
    EXPECT_EQ(dp->SessionFlags() & 0x21u, 0x21u);
    EXPECT_TRUE(ServerPlayerListBuilt);
    ASSERT_EQ(ServerPlayerList.Count(), 2);
    for (int32_t i = 0; i < 2; ++i) {
        const SessionPlayer* player = *ServerPlayerList.At(i);
        EXPECT_EQ(player->Id, TvGetPlayer(i)->Id);
        EXPECT_STREQ(player->Name.Get(), TvGetPlayer(i)->Name.Get());
        EXPECT_EQ(player->Acknowledged, 1);
        EXPECT_EQ(player->Ready, 0);
    }
    EXPECT_EQ(dp->GroupMembers(AllPlayersGroup), (std::vector<plat::DpId>{TvGetPlayer(0)->Id, TvGetPlayer(1)->Id}));

    dp->FailCall(FakeDirectPlay::Call::AddPlayerToGroup);
    EXPECT_FALSE(TvCloseSessionToJoins());
    EXPECT_FALSE(ServerPlayerListBuilt);
    EXPECT_EQ(ServerPlayerList.Count(), 2) << "the enumeration goes on after a failed add";
}

TEST_F(ServerSessionTest, TheStartMessageTellsEachPlayerItsTeam) {
    FakeDirectPlay* dp = MakeSession(2);
    StartServer(dp);
    ASSERT_TRUE(TvCloseSessionToJoins());
    TvSetLevelScriptName("sample.tvs");
    TvSetCommandScriptName("");
    CurrentGameType = kGameCaptureTheFlag;
    EXPECT_TRUE(TvSendStartGame());
    std::vector<FakeDirectPlay::Sent> starts = SendsOfType(*dp, MSG_START_GAME);
    ASSERT_EQ(starts.size(), 2u);
    for (int32_t i = 0; i < 2; ++i) {
        const std::vector<uint8_t>& bytes = starts[i].bytes;
        EXPECT_EQ(starts[i].to, TvGetPlayer(i)->Id);
        EXPECT_EQ(starts[i].flags, plat::kDpSendGuaranteed);
        ASSERT_EQ(bytes.size(), 16u + 11u + 1u);
        EXPECT_EQ(MessageInt(bytes, 4), kGameCaptureTheFlag);
        EXPECT_EQ(MessageInt(bytes, 8), 4);
        EXPECT_EQ(MessageInt(bytes, 12), i == 0 ? 1 : 3);
        EXPECT_EQ(TextAt(bytes, 16), "sample.tvs");
        EXPECT_EQ(bytes.back(), 0);
    }
    EXPECT_EQ(SessionTeamCount, 4);

    dp->TakeSends();
    CurrentGameType = kGameStory;
    GameOptions.LevelStatus = 3;
    EXPECT_TRUE(TvSendStartGame());
    starts = SendsOfType(*dp, MSG_START_GAME_LEVEL_OVER);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(MessageInt(starts[1].bytes, 8), 3);
    EXPECT_EQ(MessageInt(starts[1].bytes, 12), 1);

    dp->FailCall(FakeDirectPlay::Call::Send);
    dp->TakeSends();
    EXPECT_FALSE(TvSendStartGame());
    EXPECT_TRUE(dp->Sends().empty()) << "the senders stop at the first failing player";
}

TEST_F(ServerSessionTest, ThePlayerTableTellsEachPlayerItsLobbyPosition) {
    FakeDirectPlay* dp = MakeSession(3);
    StartServer(dp);
    const int32_t values[4] = {2, 3, 4, 1};
    EXPECT_TRUE(TvSendPlayerTable(values));
    const std::vector<FakeDirectPlay::Sent> tables = SendsOfType(*dp, MSG_PLAYER_TABLE);
    ASSERT_EQ(tables.size(), 3u);
    for (int32_t a = 0; a < 3; ++a) {
        const std::vector<uint8_t>& bytes = tables[a].bytes;
        ASSERT_EQ(bytes.size(), 168u);
        EXPECT_EQ(tables[a].to, TvGetPlayer(2 - a)->Id) << "the list read backwards";
        EXPECT_EQ(tables[a].flags, 0u);
        EXPECT_EQ(MessageInt(bytes, 164), a + 1);
        EXPECT_EQ(MessageInt(bytes, 4), 2);
        EXPECT_EQ(MessageInt(bytes, 16), 1);
        EXPECT_EQ(static_cast<uint32_t>(MessageInt(bytes, 20)), TvGetPlayer(0)->Id);
        EXPECT_EQ(MessageInt(bytes, 32), 0) << "no fourth player";
        EXPECT_EQ(TextAt(bytes, 36), "Host");
        EXPECT_EQ(TextAt(bytes, 36 + 32 * 2), "Third");
        EXPECT_EQ(TextAt(bytes, 36 + 32 * 3), "");
    }
}

TEST_F(ServerSessionTest, LobbyMessagesHaveTheirLayouts) {
    FakeDirectPlay* dp = MakeSession(1);
    StartServer(dp);
    CurrentGameType = kGameCooperative;
    MultiplayerSettingA = 15;
    LobbySessionValue = 77;
    LobbyReadyFlags[2] = 1;
    UserMatchSettings.FriendlyFire = 5;
    const int32_t six[6] = {1, 2, 3, 4, 5, 6};
    int32_t twenty[20];
    for (int32_t i = 0; i < 20; ++i) twenty[i] = 10 + i;
    const std::string longest(63, 'a');
    EXPECT_TRUE(TvSendLobbySetup(six, twenty, 99, longest.c_str()));
    EXPECT_TRUE(TvSendLobbySetup(six, twenty, 99, (longest + "bcd").c_str()));
    const std::vector<FakeDirectPlay::Sent> setups = SendsOfType(*dp, MSG_LOBBY_SETUP);
    ASSERT_EQ(setups.size(), 2u);
    for (const FakeDirectPlay::Sent& setup : setups) {
        ASSERT_EQ(setup.bytes.size(), 192u);
        EXPECT_EQ(setup.to, plat::kDpIdAllPlayers);
        EXPECT_EQ(MessageInt(setup.bytes, 24), 6);
        EXPECT_EQ(MessageInt(setup.bytes, 104), 29);
        EXPECT_EQ(MessageInt(setup.bytes, 108), 99);
        EXPECT_EQ(MessageInt(setup.bytes, 112), 15);
        EXPECT_EQ(MessageInt(setup.bytes, 116), kGameCooperative);
        EXPECT_EQ(MessageInt(setup.bytes, 120), 77);
        EXPECT_EQ(setup.bytes[126], 1);
        EXPECT_EQ(TextAt(setup.bytes, 128), longest);
        EXPECT_EQ(setup.bytes[191], 0);
    }

    const int32_t five[5] = {2, 1, 1, 2, 0};
    EXPECT_TRUE(TvSendLobbySettings(five));
    const std::vector<FakeDirectPlay::Sent> settings = SendsOfType(*dp, MSG_LOBBY_SETTINGS);
    ASSERT_EQ(settings.size(), 1u);
    const std::vector<uint8_t>& bytes = settings[0].bytes;
    ASSERT_EQ(bytes.size(), 38u);
    EXPECT_EQ(MessageInt(bytes, 4), 2);
    EXPECT_EQ(MessageInt(bytes, 20), 0);
    EXPECT_EQ(bytes[24], 0);
    EXPECT_EQ(MessageInt(bytes, 25), kGameCooperative);
    EXPECT_EQ(bytes[31], 1);
    EXPECT_EQ(MessageInt(bytes, 33), 77);
    EXPECT_EQ(bytes[37], 1);

    TvSetLobbyChatText("hello");
    EXPECT_TRUE(TvSendLobbyChat());
    const std::vector<FakeDirectPlay::Sent> chats = SendsOfType(*dp, MSG_CHAT_TEXT);
    ASSERT_EQ(chats.size(), 1u);
    EXPECT_EQ(chats[0].bytes.size(), 259u);
    EXPECT_EQ(TextAt(chats[0].bytes, 4), "hello");
    EXPECT_EQ(chats[0].flags, plat::kDpSendGuaranteed);
}

TEST_F(ServerSessionTest, EveryPlayerLeftIsToldOnlyWhileTheSessionHasPlayers) {
    StartServer();
    EXPECT_TRUE(TvSendPlayerLeft(-1));
    EXPECT_EQ(recorder.CountSent(MSG_PLAYER_LEFT), 0);
    EXPECT_TRUE(TvSendPlayerLeft(2));
    const std::vector<RecordedMessage> left = recorder.Sent(MSG_PLAYER_LEFT);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].bytes, MessageOf({MSG_PLAYER_LEFT, 2}));
}

} // namespace
