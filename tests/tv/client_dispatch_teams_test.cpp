// Team messages on the client (no server thread).

#include <gtest/gtest.h>

#include <limits>

#include "Tv/client/teamtable.h"
#include "Tv/server/game_settings.h"
#include "tests/tv/client_dispatch_fixture.h"

TEST_F(ClientDispatchTest, TeamIndicesOutsideTheTableDropTheRecord) {
    MakeClientObject(4);
    const int32_t beyond = static_cast<int32_t>(TeamCount);
    for (int32_t type : {90, 91, 92, 93})
        for (int32_t team : {-1, beyond, 1 << 30}) ExpectDropped(Record(type, {4, team}));
    for (int32_t type : {155, 165})
        for (int32_t team : {-1, beyond}) ExpectDropped(Record(type, {team}));
    Dispatch(Record(90, {4, 1}));
    EXPECT_EQ(seen.sounds, (std::vector<SeenSound>{{93, ""}}));
}

TEST_F(ClientDispatchTest, ScoresAndFlagResetChangeTheirTeam) {
    CurrentGameType = kGamePresident;
    TeamTable::GetTeam(1)->FlagPresent = 1;
    Dispatch(Record(155, {1}));
    Dispatch(Record(155, {1}));
    Dispatch(Record(165, {1}));
    EXPECT_EQ(TeamTable::GetTeam(1)->TeamScore, 2);
    EXPECT_EQ(TeamTable::GetTeam(1)->FlagPresent, 0);
    EXPECT_EQ(seen.sounds, (std::vector<SeenSound>{{94, ""}, {94, ""}}));
    EXPECT_EQ(seen.calls, (std::vector<std::string>{"releasePresidentPanels", "releasePresidentPanels"}));
}

TEST_F(ClientDispatchTest, WinnersReadOneByteForEachOfTeamsZeroToFive) {
    SessionTeamCount = 6; // four players
    TeamTable::Reset();
    ASSERT_GE(TeamCount, 6u);
    ByteWriter winners = Record(156);
    const uint8_t bytes[6] = {0, 1, 0, 0, 7, 0};
    winners.Bytes(bytes, sizeof bytes);
    TeamTable::GetTeam(0)->Winner = 1;
    Dispatch(winners);
    for (uint32_t t = 0; t < TeamCount; ++t)
        EXPECT_EQ(TeamTable::GetTeam(static_cast<int32_t>(t))->Winner, t == 1 || t == 4 ? 1 : 0) << t;
    EXPECT_EQ(seen.calls, std::vector<std::string>{"showGameResult"});
}

TEST_F(ClientDispatchTest, PresidentExitNeedsAFinitePosition) {
    ByteWriter exit = Record(199, {4, 9});
    exit.F32(1.0f);
    exit.F32(2.0f);
    exit.F32(std::numeric_limits<float>::infinity());
    ExpectDropped(exit);
    ByteWriter fine = Record(199, {4, 9});
    for (int i = 0; i < 3; ++i) fine.F32(1.0f);
    Dispatch(fine); // exit 4 prints nothing; no president: nothing more
    EXPECT_TRUE(seen.lines.empty());
    EXPECT_EQ(drops.reasons.size(), 1u);
}
