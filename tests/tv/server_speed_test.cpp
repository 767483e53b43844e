// The game speed: single player at once, multiplayer slow-downs after every
// player's acknowledgement.
#include "Tv/server/game_speed.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server.h"
#include "Tv/server/server_state.h"
#include "Tv/server/session_start.h"
#include "core/clock.h"
#include "tests/tv/server_fixture.h"

namespace {

class ServerSpeedTest : public ServerTest {
protected:
    void StartSession(int32_t players) {
        StartServer(MakeSession(players));
        ASSERT_TRUE(TvCloseSessionToJoins());
        TvStartSimulation();
    }
    void Acknowledge(int32_t player, int32_t sequence) {
        session->Deliver(TvGetPlayer(player)->Id, plat::kDpIdServerPlayer, MessageOf({MSG_SPEED_ACK, sequence}));
        Pass(ServerPassKind::Wake);
    }
};

TEST_F(ServerTest, SinglePlayerSpeedChangesApplyAtOnce) {
    StartServer();
    TvSetGameSpeed(0.5f);
    EXPECT_EQ(ServerClock.GetSpeed(), 0.5f);
    EXPECT_EQ(GameClock.GetSpeed(), 0.5f);
    TvSetGameSpeed(2.0f);
    EXPECT_EQ(ServerClock.GetSpeed(), 2.0f);
    EXPECT_EQ(GameClock.GetSpeed(), 2.0f);
    EXPECT_EQ(recorder.Messages().size(), 0u);
}

TEST_F(ServerSpeedTest, ASlowDownWaitsForEveryPlayersAcknowledgementOfItsSequence) {
    StartSession(2);
    TvSetGameSpeed(0.5f);
    const std::vector<RecordedMessage> pauses = recorder.Sent(MSG_PAUSE);
    ASSERT_EQ(pauses.size(), 1u);
    ASSERT_EQ(pauses[0].bytes.size(), 12u);
    EXPECT_EQ(MessageFloat(pauses[0].bytes, 4), 0.5f);
    const int32_t sequence = MessageInt(pauses[0].bytes, 8);
    EXPECT_EQ(TvGetGameSpeed(), 0.5f);
    Pass();
    EXPECT_EQ(ServerClock.GetSpeed(), 1.0f);
    Acknowledge(0, sequence - 1);
    Acknowledge(1, sequence);
    EXPECT_EQ(ServerClock.GetSpeed(), 1.0f) << "an older sequence does not count";
    Acknowledge(0, sequence);
    EXPECT_EQ(ServerClock.GetSpeed(), 0.5f);
    EXPECT_FALSE(SpeedChangePending);
}

TEST_F(ServerSpeedTest, PlayersWhoLeftNeedNotAcknowledge) {
    StartSession(2);
    TvSetGameSpeed(0.0f);
    const int32_t sequence = PauseSequence;
    Acknowledge(0, sequence);
    EXPECT_EQ(ServerClock.GetSpeed(), 1.0f);
    session->RemovePlayer(TvGetPlayer(1)->Id);
    Pass();
    EXPECT_EQ(ServerClock.GetSpeed(), 0.0f);
}

TEST_F(ServerSpeedTest, ASpeedUpCancelsAPendingSlowDownAtOnce) {
    StartSession(1);
    TvSetGameSpeed(0.5f);
    ASSERT_TRUE(SpeedChangePending);
    TvSetGameSpeed(1.0f);
    EXPECT_FALSE(SpeedChangePending);
    EXPECT_EQ(ServerClock.GetSpeed(), 1.0f);
    const std::vector<RecordedMessage> speeds = recorder.Sent(MSG_GAME_SPEED);
    ASSERT_EQ(speeds.size(), 1u);
    EXPECT_EQ(speeds[0].bytes.size(), 8u);
    EXPECT_EQ(MessageFloat(speeds[0].bytes, 4), 1.0f);
    Acknowledge(0, PauseSequence);
    EXPECT_EQ(ServerClock.GetSpeed(), 1.0f);
}

} // namespace
