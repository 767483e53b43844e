// The server unit: joining its team as it starts, its floor marks and its
// leaving, crouching into cover, the update's hand-overs, pickups and timed
// ends, standing orders and the module counts.
#include <gtest/gtest.h>

#include "Awapi/model/model_node.h"
#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/message_types.h"
#include "Tv/server/shell_state.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"
#include "tests/tv/sim_crouch_model.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr uint32_t kMarks = 0x100040;

class ServerUnitTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(4, 4); // 8 m square of 2 m quads; polygon i * 4 + j under x in [2i, 2i + 2), z in [2j, 2j + 2)
    }

    // A walker whose model can crouch (sequence 19).
    ObjectDefinition* Croucher() {
        ObjectDefinition* definition = MakeWalker("croucher");
        definition->model = CrouchingModel();
        return definition;
    }
};

TEST_F(ServerUnitTest, AUnitJoinsAPlayerTeamThroughStartExactlyOnce) {
    ObjectDefinition* cpu = MakeWalker("cpu");
    cpu->character->alwaysCpuControlled = true;
    const struct {
        const char* name;
        int32_t team;
        ObjectDefinition* definition;
        int32_t standingMode, cpuControlled, ownerNotices;
    } cases[] = {
        {"player team", 1, walker, kStandingModePlayer, 0, 1},
        {"always CPU-controlled", 1, cpu, kStandingModePlayer, 0, 0},
        {"computer team", 2, walker, 0, 1, 0},
    };
    for (const auto& c : cases) {
        recorder.Clear();
        ServerUnit* unit = MakeUnit(c.team, {3, 0, 3}, c.definition);
        ASSERT_NE(nullptr, unit) << c.name;
        EXPECT_EQ(c.team, unit->Team) << c.name;
        EXPECT_EQ(c.standingMode, unit->StandingMode) << c.name;
        EXPECT_EQ(c.cpuControlled, unit->CpuControlled) << c.name;
        const auto notices = recorder.Sent(MSG_OWNER_NOTICE);
        ASSERT_EQ(c.ownerNotices, static_cast<int32_t>(notices.size())) << c.name;
        if (!notices.empty()) {
            EXPECT_EQ(8u, notices[0].bytes.size()) << c.name;
            EXPECT_EQ(unit->Id, MessageInt(notices[0].bytes, 4)) << c.name;
        }
        // A player's unit walks where the computer's avoid, and its searches avoid what the computer's take.
        ASSERT_NE(nullptr, unit->Mover) << c.name;
        const bool player = c.team == 1;
        EXPECT_EQ(player ? 0u : 0x40000u, unit->Mover->moveMask & 0x40000) << c.name;
        EXPECT_EQ(player ? 0x80000u : 0x40000u, unit->Mover->pathMask & 0xC0000) << c.name;
    }
}

TEST_F(ServerUnitTest, ConstructionTakesTheCharactersValues) {
    ObjectDefinition* mine = MakeWalker("mine");
    mine->aiCore = kAiCoreMine;
    CharacterRecord& c = *walker->character;
    c.walkingSpeed = 3 << 15; // 1.5 strides a second
    c.strideLength = 2;
    c.turningSpeed = 1024; // a quarter turn a second: pi / 2 radians
    c.collisionHeight = 1.8f;
    c.size = 2;
    c.sightRange = 30;
    c.aim = 8;

    const ServerUnit* unit = MakeUnit(2, {3, 0, 3});
    ASSERT_NE(nullptr, unit);
    EXPECT_FLOAT_EQ(3.0f, unit->Speed);
    EXPECT_NEAR(36.0f / (3.14159265f * 3.14159265f), unit->TurnRadiusSquared, 1e-3f) << "(3 / (pi / 2))^2";
    EXPECT_NEAR(-1.8f, unit->CentreOffset.y, 1e-6f) << "half the collision height, times the size";
    EXPECT_EQ(30.0f, unit->SightRange);
    EXPECT_EQ(8.0f, unit->Aim);
    EXPECT_EQ(-1, unit->DisguiseId);
    EXPECT_EQ(-1, unit->GiveCount);
    EXPECT_EQ(0, unit->Concealed) << "only a mine starts concealed";
    EXPECT_FALSE(unit->IsActive());

    const ServerUnit* laid = MakeUnit(2, {5, 0, 5}, mine);
    ASSERT_NE(nullptr, laid);
    EXPECT_EQ(1, laid->Concealed);
}

TEST_F(ServerUnitTest, AUnitWithoutCharacterRecordOrLevelWorldStillStartsAndGoes) {
    // The mine core makes a unit even of a definition without a character.
    ObjectDefinition* bare = MakeDefinition("bare", kAiCoreMine);
    ServerUnit* unit = MakeUnit(1, {3, 0, 3}, bare);
    ASSERT_NE(nullptr, unit);
    EXPECT_EQ(nullptr, unit->Character);
    EXPECT_EQ(0.0f, unit->Speed);
    EXPECT_EQ(0.0f, unit->GetHealthFraction());
    EXPECT_NE(nullptr, unit->GetFloorPolygon());
    unit->Remove(true);

    TvReleaseLevelWorld();
    ServerUnit* alone = MakeUnit(1, {3, 0, 3});
    ASSERT_NE(nullptr, alone);
    EXPECT_EQ(nullptr, alone->Mover);
    EXPECT_EQ(nullptr, alone->GetFloorPolygon());
    EXPECT_EQ(kStandingModePlayer, alone->StandingMode) << "it joins its team all the same";
    alone->Think(Now(), NowSeconds());
    alone->Remove(true);
}

TEST_F(ServerUnitTest, TheFloorCarriesTheUnitsMarksWhileItStandsAndLosesThemWhenItGoes) {
    ServerUnit* unit = MakeUnit(1, {3, 0, 3});
    ASSERT_NE(nullptr, unit);
    CollisionPolygon* floor = FloorAt(3, 3);
    ASSERT_NE(nullptr, floor);
    EXPECT_EQ(floor, unit->GetFloorPolygon());
    EXPECT_EQ(kMarks, floor->flags & kMarks);
    EXPECT_EQ(0u, FloorAt(1, 1)->flags & kMarks) << "only the unit's own floor";
    unit->Start(Now(), NowSeconds()); // started again: still one mover
    EXPECT_EQ(1, LevelWorldInstance->movers.Count());

    unit->Remove(true); // the registry's reference was the last: the unit is destroyed
    EXPECT_EQ(0u, floor->flags & kMarks);
    EXPECT_EQ(0, LevelWorldInstance->movers.Count());
}

TEST_F(ServerUnitTest, ADestroyedUnitLeavesBothPathLists) {
    ServerUnit* waiting = MakeUnit(1, {3, 0, 3});
    ServerUnit* searching = MakeUnit(1, {5, 0, 5});
    ASSERT_TRUE(waiting && searching);
    PathRequestList.PushBack(waiting);
    PathInProgressList.PushBack(searching);
    waiting->Remove(true);
    searching->Remove(true);
    EXPECT_EQ(0, PathRequestList.Count());
    EXPECT_EQ(0, PathInProgressList.Count());
}

TEST_F(ServerUnitTest, WithoutSequence19CrouchingChangesAndSendsNothing) {
    ServerUnit* unit = MakeUnit(1, {3, 0, 3});
    ASSERT_NE(nullptr, unit);
    unit->WalkTo({7, 0, 7}, false);
    const Vector3 centre = unit->CentreOffset;
    recorder.Clear();
    unit->ToggleCrouch();
    EXPECT_EQ(0, unit->Crouched);
    EXPECT_TRUE(unit->IsMoving());
    EXPECT_EQ(centre.y, unit->CentreOffset.y);
    EXPECT_TRUE(recorder.Messages().empty());
}

TEST_F(ServerUnitTest, CrouchingUnseenOnCoverConcealsAndInAnEnemysSightDoesNot) {
    GeometryLayout layout;
    layout.FloorGrid(4, 4, 0, 0, 2, 0);
    layout.polygons[5].flags = kPolygonCover; // x 2..4, z 2..4
    MakeLevel(layout);
    ObjectDefinition* croucher = Croucher();
    walker->character->sightRange = 20;
    walker->character->sightAngle = 512; // an eighth of a turn either side

    const struct {
        const char* name;
        Vector3 at;
        bool enemyWatches;
        uint8_t concealed;
    } cases[] = {
        {"cover, unseen", {3, 0, 3}, false, 1},
        {"plain floor, unseen", {5, 0, 5}, false, 0},
        {"cover, seen", {3, 0, 3}, true, 0},
    };
    for (const auto& c : cases) {
        ServerUnit* unit = MakeUnit(1, c.at, croucher);
        ASSERT_NE(nullptr, unit) << c.name;
        // An enemy 6 m off along z, facing the unit (heading 0 looks along +z).
        ServerUnit* enemy = c.enemyWatches ? MakeUnit(2, {c.at.x, 0, c.at.z - 6}) : nullptr;
        unit->AtRestUnderControl = 1;
        recorder.Clear();
        unit->ToggleCrouch();
        EXPECT_EQ(1, unit->Crouched) << c.name;
        EXPECT_EQ(c.concealed, unit->Concealed) << c.name;
        EXPECT_EQ(0, unit->AtRestUnderControl) << c.name;
        const auto sent = SentFor(76, unit->Id);
        ASSERT_EQ(1u, sent.size()) << c.name;
        EXPECT_EQ(9u, sent[0].bytes.size()) << c.name;
        EXPECT_EQ(c.concealed, sent[0].bytes[8]) << c.name;

        unit->ToggleCrouch();
        EXPECT_EQ(0, unit->Crouched) << c.name;
        EXPECT_EQ(0, unit->Concealed) << c.name;
        const auto stood = SentFor(78, unit->Id);
        ASSERT_EQ(1u, stood.size()) << c.name;
        EXPECT_EQ(9u, stood[0].bytes.size()) << c.name;
        unit->Remove(true);
        if (enemy) enemy->Remove(true);
    }
}

TEST_F(ServerUnitTest, CrouchingLowersTheCentreAndStandingUpRestoresIt) {
    ServerUnit* unit = MakeUnit(1, {3, 0, 3}, Croucher());
    ASSERT_NE(nullptr, unit);
    unit->WalkTo({7, 0, 7}, false);
    const Vector3 standing = unit->CentreOffset;
    unit->ToggleCrouch();
    EXPECT_FALSE(unit->IsMoving());
    EXPECT_TRUE(unit->IsDisabled());
    EXPECT_GT(unit->CentreOffset.y, standing.y) << "y grows downward: the crouched centre lies lower";
    unit->ToggleCrouch();
    EXPECT_EQ(standing.y, unit->CentreOffset.y);
}

TEST_F(ServerUnitTest, ADisguisedUnitStaysConcealedStandingUp) {
    ServerUnit* unit = MakeUnit(1, {3, 0, 3}, Croucher());
    ASSERT_NE(nullptr, unit);
    unit->ToggleCrouch();
    unit->DisguiseId = 7;
    unit->Concealed = 1;
    unit->ToggleCrouch();
    EXPECT_EQ(0, unit->Crouched);
    EXPECT_EQ(1, unit->Concealed);
    ASSERT_EQ(1u, SentFor(78, unit->Id).size());
    EXPECT_EQ(1, SentFor(78, unit->Id)[0].bytes[8]);
}

TEST_F(ServerUnitTest, DisguiseAndCloakEndOnceTheirTimeHasPassed) {
    ServerUnit* unit = MakeUnit(1, {3, 0, 3});
    ASSERT_NE(nullptr, unit);
    const Real now = NowSeconds();
    unit->DisguiseId = 7;
    unit->DisguiseStart = now;
    unit->DisguiseEnd = now + 1;
    unit->Concealed = 1;
    unit->CloakActive = 1;
    unit->CloakEnd = now + 3;
    ThinkUnit(*unit, 0.5f);
    EXPECT_EQ(7, unit->DisguiseId) << "not yet";
    ThinkUnit(*unit, 1.0f);
    EXPECT_EQ(-1, unit->DisguiseId);
    EXPECT_EQ(0.0f, unit->DisguiseEnd);
    EXPECT_EQ(0, unit->Concealed);
    EXPECT_EQ(1, unit->CloakActive);
    ThinkUnit(*unit, 2.0f);
    EXPECT_EQ(0, unit->CloakActive);
    EXPECT_EQ(0.0f, unit->CloakEnd);
}

TEST_F(ServerUnitTest, AGiveOrderEndsAtTheReceiverOrWhenItCannotTakeItems) {
    walker->character->customisationModel = new AwModel; // team-mates that can take items
    ObjectDefinition* plain = MakeWalker("plain");
    const struct {
        const char* name;
        Vector3 at;
        bool customisable, alive;
        bool handedOver; // the target is dropped and the fields reset
    } cases[] = {
        {"within 4 m", {5, 0, 3}, true, true, true},
        {"farther", {7.5f, 0, 3}, true, true, false},
        {"cannot take items", {5, 0, 3}, false, true, true},
        {"dead", {5, 0, 3}, true, false, true},
    };
    for (const auto& c : cases) {
        ServerUnit* giver = MakeUnit(1, {3, 0, 3});
        ServerUnit* receiver = MakeUnit(1, c.at, c.customisable ? walker : plain);
        ASSERT_TRUE(giver && receiver) << c.name;
        if (!c.alive) receiver->Strength = 0;
        giver->SetAiTarget(receiver);
        giver->TargetId = 12; // the item's key
        giver->GiveCount = 2;
        ThinkUnit(*giver, 0.1f);
        EXPECT_EQ(c.handedOver ? nullptr : receiver, giver->AiTarget) << c.name;
        EXPECT_EQ(c.handedOver ? -1 : 12, giver->TargetId) << c.name;
        EXPECT_EQ(c.handedOver ? -1 : 2, giver->GiveCount) << c.name;
        giver->ReleaseReferences();
        giver->Remove(true);
        receiver->Remove(true);
    }
}

TEST_F(ServerUnitTest, APickupTargetThatIsGoneOrNoPickupIsSkipped) {
    walker->character->customisationModel = new AwModel;
    ServerUnit* unit = MakeUnit(1, {3, 0, 3});
    ServerObject* crate = MakeActor(0, {3.5f, 0, 3});
    ASSERT_TRUE(unit && crate);
    unit->GoalPolygon = FloorAt(7, 7);
    unit->SetPathState(PS_CLEARPATH_FAILED);

    // The approach: the actor named is no pickup, so the unit does not drop its path for it.
    unit->TargetId = crate->Id;
    ThinkUnit(*unit, 0.1f);
    EXPECT_EQ(crate->Id, unit->TargetId);
    EXPECT_EQ(PS_CLEARPATH_FAILED, unit->PathState);

    // The collection at the end of the pick-up animation: gone or no pickup, it is dropped.
    for (const int32_t id : {crate->Id, 999}) {
        unit->TargetId = id;
        unit->Collecting = 1;
        unit->IdleSequenceDone = 1;
        ThinkUnit(*unit, 0.1f);
        EXPECT_EQ(-1, unit->TargetId) << id;
        EXPECT_EQ(0, unit->Collecting) << id << ": the unit takes orders again";
        EXPECT_EQ(0, unit->IdleSequenceDone) << id;
    }
}

TEST_F(ServerUnitTest, StandingOrdersSetTheStanceTheControlAndTheMode) {
    ServerUnit* unit = MakeUnit(1, {3, 0, 3});
    ASSERT_NE(nullptr, unit);
    TeamRecord* team = TeamTable::GetTeam(1);
    unit->SetStandingOrder(0);
    EXPECT_EQ(0, team->Formation);
    unit->SetStandingOrder(3);
    EXPECT_EQ(1, unit->CpuControlled);
    unit->SetStandingOrder(3);
    EXPECT_EQ(0, unit->CpuControlled);
    unit->SetStandingOrder(4);
    EXPECT_EQ(4, unit->StandingMode);
    for (const int32_t ignored : {7, -1, 100}) {
        unit->SetStandingOrder(ignored);
        EXPECT_EQ(4, unit->StandingMode) << ignored;
        EXPECT_EQ(0, team->Formation) << ignored;
        EXPECT_EQ(0, unit->CpuControlled) << ignored;
    }
}

TEST_F(ServerUnitTest, ModuleCountsNeverGoBelowZero) {
    walker->character->aim = 16;
    walker->character->initialFirstPersonRange = 10;
    walker->character->maximumFirstPersonRange = 30;
    ServerUnit* unit = MakeUnit(1, {3, 0, 3});
    ASSERT_NE(nullptr, unit);
    unit->AddSightBonus(-2);
    EXPECT_EQ(0, unit->SightBonusCount);
    unit->AddSightBonus(3);
    EXPECT_EQ(1, unit->SightBonusCount);
    EXPECT_EQ(1.0f, unit->SightRange);
    EXPECT_EQ(15.0f, unit->FirstPersonRange) << "five times each bonus";
    unit->AddSightBonus(5);
    EXPECT_EQ(40.0f, unit->FirstPersonRange);
    EXPECT_EQ(30.0f, unit->GetFirstPersonRange()) << "capped by the character's maximum";

    unit->AddAimModules(2);
    EXPECT_EQ(4.0f, unit->Aim);
    unit->AddAimModules(-5);
    EXPECT_EQ(0, unit->AimModuleCount);
    EXPECT_EQ(16.0f, unit->Aim);
}

TEST_F(ServerUnitTest, AWalkingSpeedChangeIsAnnouncedWithTheMotionState) {
    ServerUnit* unit = MakeUnit(1, {3, 0, 3});
    ASSERT_NE(nullptr, unit);
    unit->AddWalkingSpeed(1 << 16);
    EXPECT_FLOAT_EQ(4.0f, unit->Speed) << "two strides of 2 m a second";
    const auto sent = SentFor(95, unit->Id);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(60u, sent[0].bytes.size());
    EXPECT_EQ(1 << 16, MessageInt(sent[0].bytes, 8));
    EXPECT_EQ(3.0f, MessageFloat(sent[0].bytes, 16)) << "the motion state's position x";
}

} // namespace
