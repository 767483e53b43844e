// Capture the flag: the server's check, the carrier's capture, the drop and what the unit's operations send.
#include <string>
#include <vector>

#include "Tv/client/teamtable.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/unit_flags.h"
#include "Tv/world/mover_world.h"
#include "tests/tv/sim_fixture.h"

namespace {

struct FlagEvent {
    int32_t type, unitId, team;
    bool operator==(const FlagEvent&) const = default;
};

class CaptureFlagTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(25, 10);
        CurrentGameType = kGameCaptureTheFlag;
        SessionTeamCount = 5; // teams 1, 3 and 4 are players'
        TeamTable::Reset();
        SetFlag(1, {2, 0, 2}, {2, 0, 16});
        SetFlag(3, {40, 0, 2}, {40, 0, 16});
        SetFlag(4, {20, 0, 18}, {20, 0, 10});
    }

    // A team's flag at home, as the level start leaves it (without a marker model).
    static void SetFlag(int32_t team, const Vector3& home, const Vector3& capturePoint) {
        TeamRecord* record = TeamTable::GetTeam(team);
        record->FlagHome = record->FlagPosition = home;
        record->CapturePoint = capturePoint;
        record->FlagPresent = 1;
        record->FlagCarried = 0;
        record->FlagState = kFlagAtHome;
    }
    static TeamRecord& Flag(int32_t team) { return *TeamTable::GetTeam(team); }
    // The flag lies where a carrier dropped it.
    static void DropAt(int32_t team, const Vector3& at) {
        Flag(team).FlagState = kFlagDropped;
        Flag(team).FlagCarried = 0;
        Flag(team).FlagPosition = at;
    }
    // The unit carries another team's flag.
    static void GiveFlag(ServerUnit* unit, int32_t team) {
        unit->CarriedFlag = team;
        Flag(team).FlagCarried = 1;
        Flag(team).FlagState = kFlagCarried;
    }

    std::vector<FlagEvent> FlagEvents() {
        std::vector<FlagEvent> events;
        for (const RecordedMessage& m : recorder.Messages()) {
            if (m.direction != MessageDirection::ServerToClient || m.type < kMsgFlagTaken || m.type > kMsgFlagCaptured)
                continue;
            EXPECT_EQ(m.bytes.size(), 12u);
            events.push_back({m.type, MessageInt(m.bytes, 4), MessageInt(m.bytes, 8)});
        }
        return events;
    }
    // The scripts the server asked the machines to run.
    std::vector<std::string> Scripts() {
        std::vector<std::string> names;
        for (const RecordedMessage& m : recorder.Sent(MSG_RUN_SCRIPT))
            names.emplace_back(reinterpret_cast<const char*>(m.bytes.data() + 4));
        return names;
    }
};

TEST_F(CaptureFlagTest, NothingHappensAtExactlySixSquared) {
    // Offsets of squared length exactly 6 and just below.
    const Vector3 atSix{1, 1, 2};
    const Vector3 belowSix{1, 1, 1.99f};
    ServerUnit* red = MakeUnit(1, {10, 0, 10});
    ServerUnit* blue = MakeUnit(3, {30, 0, 10});
    for (const Vector3& offset : {atSix, belowSix}) {
        const bool acts = offset.z < 2;
        SetFlag(1, {2, 0, 2}, {2, 0, 16});
        SetFlag(3, {40, 0, 2}, {40, 0, 16});
        red->CarriedFlag = 0;
        red->SetPositionQuiet(Flag(3).FlagPosition + offset);
        TvCaptureTheFlagCheck();
        EXPECT_EQ(red->CarriedFlag == 3, acts) << "take at " << offset.z;

        DropAt(3, {30, 0, 4});
        red->SetPositionQuiet({10, 0, 10});
        blue->SetPositionQuiet(Flag(3).FlagPosition + offset);
        TvCaptureTheFlagCheck();
        EXPECT_EQ(Flag(3).FlagState == kFlagAtHome, acts) << "return at " << offset.z;

        red->CarriedFlag = 0;
        GiveFlag(red, 3);
        red->SetPositionQuiet(Flag(1).CapturePoint + offset);
        TvCheckCapture(red);
        EXPECT_EQ(red->CarriedFlag == 0, acts) << "capture at " << offset.z;
        blue->SetPositionQuiet({30, 0, 10});
    }
}

TEST_F(CaptureFlagTest, TakingAFlagMarksItCarriedAndAnnouncesIt) {
    ServerUnit* taker = MakeUnit(1, {40, 0, 3});
    TvCaptureTheFlagCheck();
    EXPECT_EQ(FlagEvents(), (std::vector<FlagEvent>{{kMsgFlagTaken, taker->Id, 3}}));
    EXPECT_EQ(taker->CarriedFlag, 3);
    EXPECT_EQ(taker->GetCarriedFlag(), 3);
    EXPECT_TRUE(Flag(3).FlagCarried);
    EXPECT_EQ(Flag(3).FlagState, kFlagCarried);
    TvCaptureTheFlagCheck();
    EXPECT_EQ(FlagEvents().size(), 1u) << "a carried flag is left alone";
}

TEST_F(CaptureFlagTest, AFlagTakenInAPassIsLeftAloneByTheOthers) {
    // The flag lies dropped; two enemies and an owner stand at it.
    DropAt(3, {30, 0, 4});
    ServerUnit* first = MakeUnit(1, {30, 0, 5});
    ServerUnit* second = MakeUnit(1, {31, 0, 4});
    ServerUnit* owner = MakeUnit(3, {30, 0, 3});
    TvCaptureTheFlagCheck();
    EXPECT_EQ(FlagEvents(), (std::vector<FlagEvent>{{kMsgFlagTaken, first->Id, 3}}));
    EXPECT_EQ(second->CarriedFlag, 0);
    EXPECT_EQ(Flag(3).FlagState, kFlagCarried) << "not returned from under its carrier";
    EXPECT_EQ(owner->CarriedFlag, 0);
}

TEST_F(CaptureFlagTest, OnlyLiveUnitsOfTheirOwnSideTakeFlags) {
    MakeActor(1, {40, 0, 3}); // a crate: no unit
    ServerUnit* dead = MakeUnit(1, {40, 0, 3});
    dead->Strength = 0;
    ServerUnit* converted = MakeUnit(1, {40, 0, 3});
    converted->ConvertEnd = NowSeconds() + 30;
    ServerUnit* carrier = MakeUnit(1, {40, 0, 3});
    GiveFlag(carrier, 4);
    TvCaptureTheFlagCheck();
    EXPECT_TRUE(FlagEvents().empty());
    EXPECT_EQ(carrier->CarriedFlag, 4) << "a carrier takes no second flag";
    EXPECT_FALSE(Flag(3).FlagCarried);

    ServerUnit* live = MakeUnit(1, {40, 0, 3});
    TvCaptureTheFlagCheck();
    EXPECT_EQ(live->CarriedFlag, 3);
}

TEST_F(CaptureFlagTest, ADroppedFlagIsRetakenByAnEnemyAndReturnedByItsTeam) {
    ServerUnit* carrier = MakeUnit(1, {25, 0, 6});
    GiveFlag(carrier, 3);
    carrier->DropFlag();
    EXPECT_EQ(carrier->CarriedFlag, 0);
    EXPECT_EQ(Flag(3).FlagState, kFlagDropped);
    EXPECT_FALSE(Flag(3).FlagCarried);
    EXPECT_EQ(Flag(3).FlagPosition.x, 25.0f);
    EXPECT_EQ(Flag(3).FlagPosition.z, 6.0f);

    carrier->SetPositionQuiet({10, 0, 10});
    ServerUnit* enemy = MakeUnit(1, {25, 0, 7});
    TvCaptureTheFlagCheck();
    EXPECT_EQ(enemy->CarriedFlag, 3);
    enemy->DropFlag();
    enemy->SetPositionQuiet({10, 0, 12});

    ServerUnit* owner = MakeUnit(3, {24, 0, 7});
    TvCaptureTheFlagCheck();
    EXPECT_EQ(Flag(3).FlagState, kFlagAtHome);
    EXPECT_EQ(Flag(3).FlagPosition.x, 40.0f) << "back home";
    EXPECT_EQ(FlagEvents(), (std::vector<FlagEvent>{{kMsgFlagDropped, carrier->Id, 3},
                                                    {kMsgFlagTaken, enemy->Id, 3},
                                                    {kMsgFlagDropped, enemy->Id, 3},
                                                    {kMsgFlagReturned, owner->Id, 3}}));
    TvCaptureTheFlagCheck();
    EXPECT_EQ(FlagEvents().size(), 4u) << "a flag at home is not returned again";
}

TEST_F(CaptureFlagTest, ACarrierScoresOnlyOnceItsOwnFlagIsHome) {
    ServerUnit* carrier = MakeUnit(1, {2, 0, 16});
    GiveFlag(carrier, 3);
    DropAt(1, {12, 0, 12});
    TvCheckCapture(carrier);
    EXPECT_EQ(carrier->CarriedFlag, 3);
    EXPECT_TRUE(recorder.Sent(kMsgTeamScores).empty());

    ServerUnit* mate = MakeUnit(1, {12, 0, 13});
    TvCaptureTheFlagCheck();
    EXPECT_EQ(Flag(1).FlagState, kFlagAtHome);
    TvCheckCapture(carrier);
    EXPECT_EQ(carrier->CarriedFlag, 0);
    EXPECT_EQ(Flag(3).FlagState, kFlagAtHome);
    EXPECT_FALSE(Flag(3).FlagCarried);
    EXPECT_EQ(Flag(3).FlagPosition.x, 40.0f);
    EXPECT_EQ(FlagEvents(),
              (std::vector<FlagEvent>{{kMsgFlagReturned, mate->Id, 1}, {kMsgFlagCaptured, carrier->Id, 3}}));
    const std::vector<RecordedMessage> scores = recorder.Sent(kMsgTeamScores);
    ASSERT_EQ(scores.size(), 1u);
    EXPECT_EQ(scores[0].bytes, MessageOf({kMsgTeamScores, 1}));
    EXPECT_EQ(Scripts(), std::vector<std::string>{"CaptureFlag_team1.tcs"});

    // Messages in order: the capture, the score, the script.
    std::vector<int32_t> order;
    for (const RecordedMessage& m : recorder.Messages())
        if (m.type == kMsgFlagCaptured || m.type == kMsgTeamScores || m.type == MSG_RUN_SCRIPT) order.push_back(m.type);
    EXPECT_EQ(order, (std::vector<int32_t>{kMsgFlagCaptured, kMsgTeamScores, MSG_RUN_SCRIPT}));
}

TEST_F(CaptureFlagTest, UnitsOfOtherTeamsNeverCapture) {
    ServerUnit* computer = MakeUnit(2, {10, 0, 10});
    TeamTable::GetTeam(2)->CapturePoint = computer->Position;
    GiveFlag(computer, 3);
    TvCheckCapture(computer);
    EXPECT_EQ(computer->CarriedFlag, 3);
    computer->DropFlag();
    EXPECT_EQ(Flag(3).FlagState, kFlagDropped) << "but they drop what they carry";
}

TEST_F(CaptureFlagTest, EachTeamRunsItsCaptureScript) {
    SessionTeamCount = 9;
    TeamTable::Reset();
    const std::pair<int32_t, const char*> cases[] = {
        {1, "CaptureFlag_team1.tcs"}, {2, "CaptureFlag_team2.tcs"}, {3, "CaptureFlag_team3.tcs"},
        {4, "CaptureFlag_team4.tcs"}, {5, "CaptureFlag_team5.tcs"}, {6, "CaptureFlag_team2.tcs"},
        {7, "CaptureFlag_team2.tcs"}, {0, "CaptureFlag_team2.tcs"},
    };
    Real x = 0;
    for (const auto& [team, script] : cases) {
        ServerUnit* unit = MakeUnit(team, {x += 2, 0, 2});
        GiveFlag(unit, 8);
        unit->CaptureFlag();
        ASSERT_FALSE(Scripts().empty());
        EXPECT_EQ(Scripts().back(), script) << "team " << team;
    }
}

TEST_F(CaptureFlagTest, ADodoCarriesItsFlagItsOwnWay) {
    const std::pair<const char*, bool> cases[] = {{"Dodo", true}, {"DODO", true}, {"Dodos", false}, {"dodge", false}};
    for (const auto& [name, dodo] : cases) {
        ServerUnit* unit = MakeUnit(1, {40, 0, 3}, MakeWalker(name));
        ASSERT_NE(unit->Mover, nullptr);
        unit->Mover->moveMask |= 0x4;
        const uint32_t before = unit->Mover->moveMask;
        unit->TakeFlag(3);
        EXPECT_EQ(unit->Mover->moveMask, dodo ? before | 0x1000u : before) << name;
        unit->CaptureFlag();
        EXPECT_EQ(unit->Mover->moveMask, before) << name;
        unit->SetPositionQuiet({10, 0, 10});
    }
}

TEST_F(CaptureFlagTest, KillingATeamDropsTheFlagsItsUnitsCarry) {
    StartServer();
    RegisterCaptureTheFlagHooks();
    int32_t carrierId;
    {
        ServerLockHold hold;
        ServerUnit* carrier = MakeUnit(1, {25, 0, 6});
        carrierId = carrier->Id;
        GiveFlag(carrier, 3);
        MakeActor(1, {12, 0, 12});
    }
    TvKillTeam(1);
    ServerLockHold hold;
    EXPECT_EQ(FlagEvents(), (std::vector<FlagEvent>{{kMsgFlagDropped, carrierId, 3}}));
    EXPECT_EQ(Flag(3).FlagState, kFlagDropped);
    EXPECT_EQ(Flag(3).FlagPosition.x, 25.0f);
    ASSERT_EQ(recorder.CountSent(MSG_FLAG_RESET), 1);
    EXPECT_EQ(recorder.Sent(MSG_FLAG_RESET)[0].bytes, MessageOf({MSG_FLAG_RESET, 1}));
}

TEST_F(CaptureFlagTest, TheServerChecksTheFlagsEveryFourthPass) {
    StartServer();
    RegisterCaptureTheFlagHooks();
    int32_t takerId;
    {
        ServerLockHold hold;
        takerId = MakeUnit(1, {40, 0, 3})->Id;
        TvStartSimulation();
    }
    RunPasses(4);
    TvWaitForServerIdle();
    ServerLockHold hold;
    EXPECT_EQ(FlagEvents(), (std::vector<FlagEvent>{{kMsgFlagTaken, takerId, 3}}));
}

} // namespace
