// The lobby's messages, chat, team pauses and the team and mine-slot checks
// of the client-to-server catalogue.

#include <cstring>
#include <string>

#include "Tv/client/teamtable.h"
#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/lobby_state.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server_state.h"
#include "Tv/server/shell_state.h"
#include "core/clock.h"
#include "tests/tv/server_orders_fixture.h"
#include "tests/tv/sim_fixture.h"

namespace {

using ServerOrdersLobby = ServerTest;

TEST_F(ServerOrdersLobby, LobbyMessagesTakeOnlyPlayersOneToFourAndSlotsZeroToFour) {
    struct Case {
        std::vector<int32_t> fields;
        bool applies;
    };
    const Case cases[] = {
        {{MSG_PLAYER_OPTION, 4, 4, 9}, true},  {{MSG_PLAYER_OPTION, 1, 0, 7}, true},
        {{MSG_PLAYER_OPTION, 0, 0, 5}, false}, {{MSG_PLAYER_OPTION, 5, 0, 5}, false},
        {{MSG_PLAYER_OPTION, 1, 5, 5}, false}, {{MSG_PLAYER_OPTION, 1, -1, 5}, false},
        {{MSG_PLAYER_READY, 2}, true},         {{MSG_PLAYER_READY, 0}, false},
        {{MSG_PLAYER_READY, 5}, false},        {{MSG_PLAYER_NOT_READY, -3}, false},
        {{MSG_CYCLE_LOBBY_CHOICE, 9}, false},
    };
    for (const Case& c : cases) {
        const uint64_t dropped = ClientRecordDropCount();
        Dispatch(RecordOf(c.fields)); // the simulation is stopped: lobby messages apply in every phase
        EXPECT_EQ(ClientRecordDropCount(), dropped + (c.applies ? 0 : 1)) << c.fields[0] << " " << c.fields[1];
    }
    int32_t set = 0;
    for (int32_t i = 0; i < 20; ++i) set += LobbyRobotChoices[i] != 0;
    EXPECT_EQ(set, 2);
    EXPECT_EQ(LobbyRobotChoices[19], 9);
    EXPECT_EQ(LobbyRobotChoices[0], 7);
    EXPECT_EQ(LobbyReadyFlags[1], 1);
    EXPECT_EQ(LobbyReadyFlags[0] + LobbyReadyFlags[2] + LobbyReadyFlags[3], 0);

    Dispatch(MessageOf({MSG_PLAYER_NOT_READY, 2}));
    EXPECT_EQ(LobbyReadyFlags[1], 0);
}

TEST_F(ServerOrdersLobby, ChatIsKeptInTheFrontEndAndRelayedTerminated) {
    CurrentGameState = kGameStateFrontEnd;
    Dispatch(ClientRecord(MSG_CHAT).Text("hello all"));
    char kept[kLobbyChatTextSize];
    TvGetLobbyChatText(kept);
    EXPECT_STREQ(kept, "hello all");
    std::vector<RecordedMessage> relayed = recorder.Sent(MSG_CHAT_TEXT);
    ASSERT_EQ(relayed.size(), 1u);
    ASSERT_EQ(relayed[0].bytes.size(), 259u);
    EXPECT_STREQ(reinterpret_cast<const char*>(relayed[0].bytes.data() + 4), "hello all");

    // 255 characters without a terminator: dropped, nothing kept or relayed.
    std::vector<uint8_t> unterminated = RecordOf({MSG_CHAT});
    unterminated.resize(259, 'z');
    Dispatch(unterminated);
    TvGetLobbyChatText(kept);
    EXPECT_STREQ(kept, "hello all");
    EXPECT_EQ(recorder.CountSent(MSG_CHAT_TEXT), 1);

    // In play it is relayed only.
    CurrentGameState = kGameStatePlay;
    SimulationRunning = true;
    Dispatch(ClientRecord(MSG_CHAT).Text(std::string(254, 'q')));
    relayed = recorder.Sent(MSG_CHAT_TEXT);
    ASSERT_EQ(relayed.size(), 2u);
    EXPECT_EQ(relayed[1].bytes[4 + 253], 'q');
    EXPECT_EQ(relayed[1].bytes[4 + 254], 0);
    TvGetLobbyChatText(kept);
    EXPECT_STREQ(kept, "hello all");
}

class ServerOrdersTeams : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(6, 6);
        SimulationRunning = true;
        MakeSession(2); // two players: teams up to 3 may pause
        SessionTeamCount = 4;
        TeamTable::Reset();
        first = MakeUnit(1, {3, 0, 3});
        third = MakeUnit(3, {7, 0, 7});
        ASSERT_TRUE(first && third);
        recorder.Clear();
    }
    static float PauseLeft(int32_t team) { return TeamTable::GetTeam(team)->PauseTimeLeft; }

    ServerUnit* first = nullptr;
    ServerUnit* third = nullptr;
};

TEST_F(ServerOrdersTeams, APauseNeedsPauseTimeAndNoOtherPauseAndAResumeChargesTheRealTimePaused) {
    TeamTable::GetTeam(1)->PauseTimeLeft = 0.0f;
    Dispatch(MessageOf({MSG_TEAM_PAUSE, 1}));
    EXPECT_EQ(PausingTeam, -1) << "no pause time left";
    EXPECT_EQ(recorder.CountSent(MSG_TEAM_EFFECT), 0);

    ASSERT_EQ(PauseLeft(3), 60.0f);
    Dispatch(MessageOf({MSG_TEAM_PAUSE, 3}));
    EXPECT_EQ(PausingTeam, 3);
    EXPECT_EQ(ServerClock.GetSpeed(), 0.0f);
    const std::vector<RecordedMessage> paused = recorder.Sent(MSG_TEAM_EFFECT);
    ASSERT_EQ(paused.size(), 1u);
    EXPECT_EQ(MessageInt(paused[0].bytes, 4), 3);
    EXPECT_EQ(MessageFloat(paused[0].bytes, 8), 60.0f);

    TeamTable::GetTeam(1)->PauseTimeLeft = 30.0f;
    Dispatch(MessageOf({MSG_TEAM_PAUSE, 1}));
    EXPECT_EQ(PausingTeam, 3) << "another team pauses";
    AdvanceSeconds(12.5);
    Dispatch(MessageOf({MSG_TEAM_RESUME, 1}));
    EXPECT_EQ(PausingTeam, 3) << "only the pausing team resumes";
    EXPECT_EQ(recorder.CountSent(MSG_UNPAUSE), 0);

    const float started = PauseStartTime;
    Dispatch(MessageOf({MSG_TEAM_RESUME, 3}));
    EXPECT_EQ(PausingTeam, -1);
    EXPECT_FLOAT_EQ(PauseLeft(3), 60.0f - (RealClock.GetSeconds() - started));
    EXPECT_NEAR(PauseLeft(3), 47.5f, 0.01f);
    EXPECT_EQ(ServerClock.GetSpeed(), 1.0f);
    EXPECT_EQ(SpeedBeforePause, kLargestFloat);
    EXPECT_EQ(recorder.CountSent(MSG_UNPAUSE), 1);

    // A resume while nobody pauses still tells every client to run.
    Dispatch(MessageOf({MSG_TEAM_RESUME, 1}));
    EXPECT_EQ(recorder.CountSent(MSG_UNPAUSE), 2);
    EXPECT_NEAR(PauseLeft(1), 30.0f, 0.0f);
}

TEST_F(ServerOrdersTeams, TeamsOutsideTheTableAndMineSlotsOutsideZeroTo24AreDropped) {
    const std::vector<std::vector<int32_t>> refused = {
        {MSG_TEAM_PAUSE, 4},
        {MSG_TEAM_PAUSE, -1},
        {MSG_TEAM_RESUME, 4},
        {MSG_TEAM_RESUME, -1},
        {MSG_DETONATE_TEAM_MINES, 4, 0},
        {MSG_DETONATE_TEAM_MINES, -1, 0},
        {MSG_DETONATE_MINE, 4, 0},
        {MSG_DETONATE_MINE, 2, 25},
        {MSG_DETONATE_MINE, 2, -1},
    };
    const uint64_t dropped = ClientRecordDropCount();
    for (const std::vector<int32_t>& fields : refused) Dispatch(RecordOf(fields));
    EXPECT_EQ(ClientRecordDropCount(), dropped + refused.size());
    EXPECT_TRUE(recorder.Messages().empty()) << "not even 154";
    EXPECT_EQ(PausingTeam, -1);
}

} // namespace
