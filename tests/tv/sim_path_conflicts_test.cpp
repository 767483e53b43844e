// The conflict pass between walking units: who waits, who plans around, how
// long a unit waits before it plans harder and then gives up, and units whose
// side is in a fight.
#include <gtest/gtest.h>

#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/world_tick.h"
#include "tests/tv/sim_fixture.h"

namespace {

// An actor that keeps firing at a target.
class FiringActor : public ServerObject {
public:
    FiringActor(int32_t team, const ObjectDefinition* definition, ServerObject* target)
        : ServerObject(team, definition, {0, 0, 0}, {0, 0, 0, 1}, kActorFlagsPlain, TvNextActorId()), target_(target) {}
    bool IsFiring() const override { return true; }
    ServerObject* GetFireTarget() const override { return target_; }

private:
    ServerObject* target_;
};

class PathConflictsTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(3, 6, 2); // quad centres at x 1, 3, 5 and z 1, 3 ... 11
    }

    // A unit at (3, z) walking down the middle to z + dz (its last waypoint further on).
    ServerUnit* Walker(Real z, Real dz, Real speed = 2.0f) {
        WalkerSpec spec;
        spec.speed = speed;
        ServerUnit* unit = MakeUnit(1, {3, 0, z}, MakeWalker("walker", spec));
        if (!unit) return nullptr;
        unit->AddWaypoint({3, 0, z + dz}, 0, false, 0);
        unit->AddWaypoint({3, 0, z + 2 * dz}, 0, false, 0);
        unit->WalkTo({3, 0, z + dz}, false);
        return unit;
    }

    void Resolve() { TvResolvePathConflicts(Now(), NowSeconds()); }
};

TEST_F(PathConflictsTest, OfTwoUnitsWalkingIntoEachOthersPolygonsOnePlansRoundAndTheOtherWaits) {
    ServerUnit* a = Walker(3, 2);
    ServerUnit* b = Walker(5, -2);
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    Resolve();
    // The first in the registry plans round, the other waits where it is.
    EXPECT_EQ(PS_RECALCULATE_PART, a->PathState);
    EXPECT_TRUE(a->Yielding);
    EXPECT_EQ(PS_NONE, b->PathState);
    EXPECT_TRUE(b->Yielding);
    for (const ServerUnit* u : {a, b}) {
        EXPECT_NEAR(NowSeconds() + 1.0f, u->YieldUntil, 1e-3f);
        EXPECT_EQ(u->Position.x, u->Destination.x) << "stands where it is";
        EXPECT_EQ(u->Position.z, u->Destination.z);
    }
}

TEST_F(PathConflictsTest, AFasterUnitBehindASlowerOnePlansRoundItAndASlowerOneWaits) {
    struct Case {
        Real behindSpeed, aheadSpeed;
        PathState behindState;
    };
    for (const Case c : {Case{3.0f, 1.0f, PS_RECALCULATE_PART}, Case{1.0f, 3.0f, PS_NONE}}) {
        ServerUnit* behind = Walker(3, 2, c.behindSpeed);
        ServerUnit* ahead = Walker(5, 2, c.aheadSpeed);
        ASSERT_NE(nullptr, behind);
        ASSERT_NE(nullptr, ahead);
        Resolve();
        EXPECT_EQ(c.behindState, behind->PathState) << c.behindSpeed;
        EXPECT_TRUE(behind->Yielding) << c.behindSpeed;
        EXPECT_EQ(c.behindState == PS_RECALCULATE_PART ? ahead : nullptr, behind->YieldTo) << c.behindSpeed;
        EXPECT_EQ(PS_NONE, ahead->PathState) << "the unit ahead goes on";
        EXPECT_FALSE(ahead->Yielding);
        EXPECT_TRUE(ahead->IsMoving());
        TvReleaseAllActors();
        PathRequestList.Clear();
    }
}

TEST_F(PathConflictsTest, AUnitThatWaitsPlansHarderAfterASecondAndGivesUpAfterTwo) {
    struct Case {
        Real waited;
        PathState state;
        bool keepsPath;
    };
    for (const Case c :
         {Case{0.5f, PS_NONE, true}, Case{1.5f, PS_RECALCULATE_PART_OR_GIVE_UP, true}, Case{2.5f, PS_NONE, false}}) {
        ServerUnit* behind = Walker(3, 2, 1.0f);
        ServerUnit* ahead = Walker(5, 2, 3.0f);
        ASSERT_NE(nullptr, behind);
        ASSERT_NE(nullptr, ahead);
        Resolve();
        ASSERT_TRUE(behind->Yielding);
        const Real until = behind->YieldUntil;
        AdvanceSeconds(c.waited);
        Resolve();
        EXPECT_EQ(c.state, behind->PathState) << c.waited;
        EXPECT_EQ(until, behind->YieldUntil) << "set once while waiting";
        EXPECT_EQ(c.keepsPath, !behind->Waypoints.IsEmpty()) << c.waited;
        EXPECT_EQ(behind->Position.x, behind->Destination.x) << "stands where it is";
        EXPECT_EQ(behind->Position.z, behind->Destination.z);
        TvReleaseAllActors();
        PathRequestList.Clear();
    }
}

TEST_F(PathConflictsTest, AUnitWhoseNextPolygonHasAStandingUnitAsksForANewPath) {
    ServerUnit* walker = Walker(3, 2);
    ServerUnit* standing = MakeUnit(1, {3, 0, 5});
    ASSERT_NE(nullptr, walker);
    ASSERT_NE(nullptr, standing);
    FloorAt(3, 5)->flags |= kPolygonUnitMarks;
    Resolve();
    EXPECT_EQ(PS_COMPLETE, walker->PathState) << "a complete path to its final target";
    EXPECT_EQ(FloorAt(3, 7), walker->GoalPolygon);
    EXPECT_TRUE(walker->Yielding);
    EXPECT_EQ(walker->Position.z, walker->Destination.z);
}

TEST_F(PathConflictsTest, UnitsOfAPlayerSideInAFightDoNotYield) {
    // An enemy of team 2 firing at one of two team-1 units that walk head-on.
    ServerUnit* a = Walker(3, 2);
    ServerUnit* b = Walker(5, -2);
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    new FiringActor(2, MakeDefinition("gunner", 1), a);
    a->YieldUntil = b->YieldUntil = NowSeconds() - 5.0f;
    Resolve();
    for (const ServerUnit* u : {a, b}) {
        EXPECT_TRUE(u->TeamEngaged) << "the target itself, and its team-mate nearby";
        EXPECT_FALSE(u->Yielding);
        EXPECT_EQ(PS_NONE, u->PathState);
        EXPECT_EQ(0.0f, u->YieldUntil);
        EXPECT_TRUE(u->IsMoving());
    }
}

} // namespace
