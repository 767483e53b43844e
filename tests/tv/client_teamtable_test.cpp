#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "Awapi/draw_list.h"
#include "Awapi/light_set.h"
#include "Awapi/model/dummy_object.h"
#include "Awapi/model/model_node.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/object.h"
#include "Tv/client/teamhooks.h"
#include "Tv/client/teamtable.h"
#include "Tv/world/collision_polygon.h"
#include "core/clock.h"
#include "core/stringtable.h"
#include "tests/tv/defs_level_fixture.h"

namespace {

TeamGameSettings game;
std::vector<std::string> captions;

TeamGameSettings CurrentGame() { return game; }

void RecordCaption(float x, float y, const char* text, int32_t kind, float width) {
    EXPECT_EQ(x, 0.5f);
    EXPECT_EQ(y, 0.5f);
    EXPECT_EQ(kind, 1);
    captions.push_back(std::string(text) + (width == 1.0f ? " (wide)" : ""));
}

// A game of `players` players of `type`, the local player on team 1.
void SetGame(int32_t type, int32_t players) {
    game = TeamGameSettings{};
    game.GameType = type;
    game.PlayerCount = players;
    game.TeamCount = type == 0 ? 3 : players + 2;
}

// The hooks installed and the table destroyed around every test.
template <class Base>
class TeamFixture : public Base {
protected:
    void SetUp() override {
        Base::SetUp();
        SetGame(0, 1);
        captions.clear();
        SetTeamGameQuery(CurrentGame);
        SetCaptionHook(RecordCaption);
    }
    void TearDown() override {
        TeamTable::Destroy();
        SetTeamGameQuery(nullptr);
        SetCaptionHook(nullptr);
        Base::TearDown();
    }
    static TeamRecord& Team(int32_t i) {
        TeamRecord* team = TeamTable::GetTeam(i);
        EXPECT_NE(team, nullptr) << "team " << i;
        return *team;
    }
};

using TeamTableTest = TeamFixture<::testing::Test>;

TEST_F(TeamTableTest, ResetMakesPlayerTeamsAroundTheNeutralAndComputerTeams) {
    SetGame(3, 4);
    game.LocalTeam = 3;
    game.PauseAllowance = 45;
    TeamTable::Reset();
    ASSERT_EQ(TeamCount, 6u);
    for (int32_t i = 0; i < 6; ++i) {
        const TeamRecord& team = Team(i);
        const bool player = i != 0 && i != 2;
        EXPECT_EQ(team.TeamIndex, i);
        EXPECT_EQ(team.Active, 1);
        EXPECT_EQ(team.PlayerTeam, player) << "team " << i;
        EXPECT_EQ(team.RemotePlayer, player && i != 3) << "team " << i;
        EXPECT_EQ(team.Neutral, i == 0) << "team " << i;
        EXPECT_EQ(team.PauseTimeLeft, player ? 45.0f : 0.0f) << "team " << i;
        EXPECT_EQ(team.Formation, 2);
        EXPECT_EQ(team.FlagMarker, nullptr);
        EXPECT_NE(team.TeamLights, nullptr);
    }

    // A new game starts every record afresh.
    Team(1).TeamScore = 3;
    Team(1).Winner = 1;
    Team(1).Formation = 0;
    Team(1).AddObjective(0, 1, 1, nullptr, nullptr, "Win");
    TeamTable::Reset();
    EXPECT_EQ(Team(1).TeamScore, 0);
    EXPECT_EQ(Team(1).Winner, 0);
    EXPECT_EQ(Team(1).Formation, 2);
    EXPECT_TRUE(Team(1).Objectives.IsEmpty());
}

// Team numbers come from messages, scripts and files: only the table's own answer.
TEST_F(TeamTableTest, GetTeamAnswersOnlyTeamsOfTheTable) {
    EXPECT_EQ(TeamTable::GetTeam(0), nullptr); // no table yet
    SetGame(5, 4);
    TeamTable::Reset();
    for (int32_t team : {0, 5}) EXPECT_NE(TeamTable::GetTeam(team), nullptr) << team;
    for (int32_t team : {-1, 6, 9, 10, INT_MIN, INT_MAX}) EXPECT_EQ(TeamTable::GetTeam(team), nullptr) << team;

    game.TeamCount = 50; // a count beyond every team number is held to the numbers there are
    TeamTable::Reset();
    EXPECT_EQ(TeamCount, static_cast<uint32_t>(kMaxTeams));
    game.TeamCount = -1;
    TeamTable::Reset();
    EXPECT_EQ(TeamCount, 0u);
    EXPECT_EQ(TeamTable::GetTeam(0), nullptr);
}

TEST_F(TeamTableTest, ATeamRecordsTwelveMines) {
    TeamTable::Reset();
    char actors[14];
    auto mine = [&](int i) { return reinterpret_cast<ServerObject*>(&actors[i]); };
    TeamRecord& team = Team(1);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(team.AddMine(mine(i)), i);
    EXPECT_EQ(team.AddMine(mine(12)), -1); // thirteen slots are still free
    EXPECT_EQ(team.AddMine(mine(5)), 5);   // a mine already recorded keeps its slot

    // Removal clears every slot that holds the mine, also beyond the twelve.
    team.RemoveMine(mine(5));
    team.MineSlots[20] = mine(3);
    team.RemoveMine(mine(3));
    EXPECT_EQ(team.MineSlots[3], nullptr);
    EXPECT_EQ(team.MineSlots[5], nullptr);
    EXPECT_EQ(team.MineSlots[20], nullptr);
    EXPECT_EQ(team.AddMine(mine(13)), 3);

    // The level start clears every team but the neutral one.
    Team(0).AddMine(mine(0));
    TeamTable::ClearAllMineSlots();
    EXPECT_EQ(Team(0).MineSlots[0], mine(0));
    for (ServerObject* slot : team.MineSlots) EXPECT_EQ(slot, nullptr);
}

class ObjectiveTest : public TeamTableTest {
protected:
    void SetUp() override {
        TeamTableTest::SetUp();
        saved_ = ResourceStrings;
        ResourceStrings = StringTable{entries_, 3};
        TeamTable::Reset();
    }
    void TearDown() override {
        ResourceStrings = saved_;
        TeamTableTest::TearDown();
    }

private:
    char primary_[13] = "Primary done", secondary_[15] = "Secondary done", tertiary_[14] = "Tertiary done";
    StringTableEntry entries_[3] = {{3200, primary_}, {3201, secondary_}, {3202, tertiary_}};
    StringTable saved_;
};

TEST_F(ObjectiveTest, CompletionsCountDownThenShowTheDoneTextOfThePriority) {
    TeamRecord& team = Team(1);
    team.AddObjective(0, 7, 3, "Find ", " crates", "Find the crates");
    team.AddObjective(1, 8, 2, nullptr, nullptr, "Hold the bridge");
    for (int i = 0; i < 4; ++i) team.CompleteObjective(7);
    team.CompleteObjective(8);
    team.CompleteObjective(8);
    team.CompleteObjective(9);
    EXPECT_EQ(captions, (std::vector<std::string>{"Find 2 crates", "Find 1 crates", "Primary done (wide)", "1",
                                                  "Secondary done (wide)"}));
}

TEST_F(ObjectiveTest, FailedAndFinishedObjectivesAreNeitherShownNorCompleted) {
    TeamRecord& team = Team(1);
    team.AddObjective(0, 1, 2, nullptr, nullptr, "Open");
    team.AddObjective(2, 2, 2, nullptr, nullptr, "Failed");
    team.AddObjective(2, 3, 1, nullptr, nullptr, "Finished");
    team.FailObjective(2);
    team.CompleteObjective(3);
    team.CompleteObjective(2);
    team.ShowObjectives();
    EXPECT_EQ(captions, (std::vector<std::string>{"Tertiary done (wide)", "Open"}));
    EXPECT_EQ(team.Objectives.Back()->Count, 0);
    EXPECT_EQ((*team.Objectives.At(1))->Count, -1);
}

// The console's commands reach every team.
TEST_F(ObjectiveTest, TheTableCompletesAndFailsOnEveryTeam) {
    Team(1).AddObjective(0, 4, 2, nullptr, nullptr, "A");
    Team(2).AddObjective(0, 4, 3, nullptr, nullptr, "B");
    TeamTable::CompleteObjective(4);
    EXPECT_EQ(captions, (std::vector<std::string>{"1", "2"}));
    TeamTable::FailObjective(4);
    EXPECT_EQ(Team(1).Objectives.Front()->Count, -1);
    EXPECT_EQ(Team(2).Objectives.Front()->Count, -1);
}

// A centre polygon at the origin with four neighbours 2 m away.
class FormationTest : public TeamTableTest {
protected:
    void SetUp() override {
        TeamTableTest::SetUp();
        TeamTable::Reset();
        const Vector3 places[5] = {{0, 0, 0}, {2, 0, 0}, {-2, 0, 0}, {0, 0, 2}, {0, 0, -2}};
        for (int i = 0; i < 5; ++i) polygons[i].SetReferencePoint(places[i].x, places[i].y, places[i].z);
        for (int i = 1; i < 5; ++i) {
            polygons[0].AddNeighbour(&polygons[i]);
            polygons[i].AddNeighbour(&polygons[0]);
        }
    }
    CollisionQuad polygons[5];
    CollisionQuad& centre = polygons[0];
    CollisionQuad& east = polygons[1];
    CollisionQuad& west = polygons[2];
    CollisionQuad& north = polygons[3];
    CollisionQuad& south = polygons[4];
};

TEST_F(FormationTest, EachFormationStepsTowardsTheUnitsPlace) {
    struct Case {
        int32_t formation;
        CollisionPolygon* a;
        Vector3 d, o;
        CollisionPolygon* leader;
        CollisionPolygon* expected;
    } cases[] = {
        // 0: the offset turned to the heading, from the leader's polygon.
        {0, &west, {1, 0, 0}, {0, 0, 2}, &centre, &east},
        {0, &centre, {0, 0, 1}, {2, 0, 0}, &centre, &east},
        {0, &centre, {0, 0, -1}, {0, 0, 2}, &centre, &south},
        // 1: abreast, to the left of the direction.
        {1, &centre, {0, 0, 1}, {9, 9, 9}, nullptr, &west},
        {1, &centre, {1, 0, 0}, {9, 9, 9}, nullptr, &north},
        // 2: behind.
        {2, &centre, {0, 0, 1}, {9, 9, 9}, nullptr, &south},
        // Any other value stays.
        {3, &east, {0, 0, 1}, {0, 0, 0}, &centre, &east},
        {-1, &east, {0, 0, 1}, {0, 0, 0}, &centre, &east},
    };
    TeamRecord& team = Team(1);
    for (const Case& c : cases) {
        team.Formation = c.formation;
        EXPECT_EQ(team.FormationPoint(c.a, c.d, c.o, c.leader), c.expected)
            << "formation " << c.formation << " d (" << c.d.x << ", " << c.d.z << ")";
    }
}

using TeamSetupTest = TeamFixture<LevelTest>;

Colour Ambient(const TeamRecord& team) {
    const plat::ColorValue& e = team.TeamLights->Material.emissive;
    return Colour::FromFloats(e.r, e.g, e.b, e.a);
}

void ExpectColour(const TeamRecord& team, float r, float g, float b) {
    const Colour c = Ambient(team);
    EXPECT_EQ(c.Red, r) << "team " << team.TeamIndex;
    EXPECT_EQ(c.Green, g) << "team " << team.TeamIndex;
    EXPECT_EQ(c.Blue, b) << "team " << team.TeamIndex;
    EXPECT_EQ(c.Alpha, 1.0f) << "team " << team.TeamIndex;
}

TEST_F(TeamSetupTest, TheStoryGameColoursTheThreeSides) {
    TeamTable::Reset();
    TeamTable::SetupTeams({});
    ExpectColour(Team(0), 0.5f, 0.5f, 0.5f);
    ExpectColour(Team(1), 0.0f, 0.0f, 0.6f);
    ExpectColour(Team(2), 0.6f, 0.0f, 0.0f);
    EXPECT_EQ(Team(1).FlagMarker, nullptr);
}

// Lobby positions run against the team order: team 1 takes the last player's colour.
TEST_F(TeamSetupTest, PlayerTeamsTakeTheColourOfTheMirroredLobbyPosition) {
    SetGame(3, 4);
    game.PlayerTable[0] = 2; // blue
    game.PlayerTable[1] = 3; // green
    game.PlayerTable[2] = 4; // yellow
    game.PlayerTable[3] = 9; // red, as every other choice
    TeamTable::Reset();
    TeamTable::SetupTeams({});
    ExpectColour(Team(1), 0.7f, 0.1f, 0.1f);
    ExpectColour(Team(3), 0.7f, 0.7f, 0.1f);
    ExpectColour(Team(4), 0.1f, 0.7f, 0.1f);
    ExpectColour(Team(5), 0.1f, 0.1f, 0.7f);
}

AwDummyObject Dummy(const char* name, float at) {
    AwDummyObject dummy;
    dummy.Name = name;
    dummy.Position = Vector3(at, 0, at);
    return dummy;
}

class FlagTest : public TeamSetupTest {
protected:
    void CopyFlagModel() {
        std::filesystem::create_directories(dir / "Qifs/objects");
        CopySample("objects/tf_flag.qif");
    }
};

// Each team's flag and capture point stand at the dummies of its mirrored
// slot's team number; no team uses the digit 2.
TEST_F(FlagTest, FlagsStandAtTheDummiesOfTheMirroredTeam) {
    CopyFlagModel();
    std::vector<AwDummyObject> dummies;
    for (int n = 1; n <= 5; ++n) {
        dummies.push_back(Dummy(("Flag_" + std::to_string(n)).c_str(), 10.0f * n));
        dummies.push_back(Dummy(("CAPTURE_" + std::to_string(n)).c_str(), 100.0f * n));
    }
    struct Case {
        int32_t players, team, digit;
    } cases[] = {{4, 1, 5}, {4, 3, 4}, {4, 4, 3}, {4, 5, 1}, {2, 1, 3}, {2, 3, 1}};
    for (const Case& c : cases) {
        SetGame(5, c.players);
        TeamTable::Reset();
        TeamTable::SetupTeams(dummies);
        const TeamRecord& team = Team(c.team);
        EXPECT_EQ(team.FlagHome.x, 10.0f * c.digit) << c.players << " players, team " << c.team;
        EXPECT_EQ(team.CapturePoint.x, 100.0f * c.digit) << c.players << " players, team " << c.team;
        for (int32_t computer : {0, 2}) EXPECT_EQ(Team(computer).FlagMarker, nullptr);
    }
}

TEST_F(FlagTest, TheLastMatchingDummyWinsAndMissingOnesGiveTheTeamsCorner) {
    CopyFlagModel();
    SetGame(5, 2);
    TeamTable::Reset();
    TeamTable::SetupTeams({Dummy("FLAG_3", 1), Dummy("flag_3", 2), Dummy("Flag_2", 7)});
    EXPECT_EQ(Team(1).FlagHome.x, 2.0f);
    const TeamRecord& team = Team(3); // Flag_1 and Capture_1 are missing
    for (const Vector3& p : {team.FlagHome, team.FlagPosition, team.CapturePoint}) {
        EXPECT_EQ(p.x, 3.0f);
        EXPECT_EQ(p.y, 0.0f);
        EXPECT_EQ(p.z, 3.0f);
    }
}

TEST_F(FlagTest, TheMarkerStandsAtItsFlagAndWavesFromItsTimeBase) {
    CopyFlagModel();
    SetGame(5, 2);
    TeamTable::Reset();
    const uint32_t before = GameClock.GetTime32();
    TeamTable::SetupTeams({Dummy("Flag_3", 4)});
    const uint32_t after = GameClock.GetTime32();
    TeamRecord& team = Team(1);
    ASSERT_NE(team.FlagMarker, nullptr);
    ASSERT_NE(FlagModel, nullptr);
    EXPECT_TRUE(FlagModel->HasSequence(0));
    EXPECT_FALSE(FlagModel->HasSequence(1));
    EXPECT_EQ(team.FlagPresent, 1);
    EXPECT_EQ(team.FlagCarried, 0);
    EXPECT_EQ(team.FlagMarker->Position().x, 4.0f);
    EXPECT_LE(team.FlagTime - before, after - before);
    EXPECT_EQ(team.FlagMarker->MovementStart, team.FlagTime);
    EXPECT_TRUE(team.FlagMarker->IsPlayingSequence(0));
    ASSERT_EQ(team.FlagMarker->Players.Count(), 1);
    EXPECT_EQ(team.FlagMarker->Players.Front()->LoopCount, -1);

    team.PlaceMarker(6, -1, 8, 1234);
    EXPECT_EQ(team.FlagPosition.z, 8.0f);
    EXPECT_EQ(team.FlagMarker->Position().z, 8.0f);
    EXPECT_EQ(team.FlagTime, 1234u);
    EXPECT_EQ(team.FlagMarker->MovementStart, 1234u);

    team.ReleaseFlagMarker();
    EXPECT_EQ(team.FlagMarker, nullptr);
    team.PlaceMarker(1, 2, 3, 99); // the position alone
    EXPECT_EQ(team.FlagPosition.x, 1.0f);
    EXPECT_EQ(team.FlagTime, 1234u);
}

// Without the model file the marker is still built, from an empty model.
TEST_F(FlagTest, AMissingFlagModelStillGivesAMarker) {
    SetGame(5, 2);
    TeamTable::Reset();
    TeamTable::SetupTeams({});
    ASSERT_NE(Team(1).FlagMarker, nullptr);
    EXPECT_FALSE(Team(1).FlagMarker->IsPlayingSequence(0));
    EXPECT_EQ(Team(3).FlagPresent, 1);
}

// A carried flag is drawn by its carrier; the others at their stands.
TEST_F(FlagTest, OnlyFlagsNobodyCarriesAreDrawnAtTheirStands) {
    CopyFlagModel();
    SetGame(5, 2);
    TeamTable::Reset();
    TeamTable::SetupTeams({});
    Team(3).FlagCarried = 1;
    TeamTable::DrawFlags();
    EXPECT_EQ(Team(1).FlagMarker->RefCount, 2); // the draw list's reference
    EXPECT_EQ(Team(3).FlagMarker->RefCount, 1);
    AwDrawList::Discard();
    EXPECT_EQ(Team(1).FlagMarker->RefCount, 1);
}

} // namespace
