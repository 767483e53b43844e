// The world step: the pass's snapshot, path admissions, nanofrag bursts; and
// whether enemies see a unit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/waypoint_graph.h"
#include "Tv/sim/world_tick.h"
#include "core/clock.h"
#include "tests/tv/sim_fixture.h"
#include "tests/tv/sim_launch_recorder.h"

namespace {

constexpr Quaternion kIdentity{0, 0, 0, 1};

// Writes "S<id>" and "T<id>" for its steps and thinks; can spawn another
// tracer or remove an actor in its step.
class Tracer : public ServerObject {
public:
    Tracer(int32_t id, std::vector<std::string>& trace, int32_t* alive)
        : ServerObject(1, nullptr, {0, 0, 0}, kIdentity, kActorFlagsPlain, id), trace_(trace), alive_(alive) {
        ++*alive_;
    }
    ~Tracer() override { --*alive_; }
    void Step(uint64_t, Real) override {
        trace_.push_back("S" + std::to_string(Id));
        if (spawnOnStep) new Tracer(TvNextActorId(), trace_, alive_);
        spawnOnStep = false;
        if (removeOnStep) removeOnStep->Remove(false);
        removeOnStep = nullptr;
    }
    void Think(uint64_t, Real) override { trace_.push_back("T" + std::to_string(Id)); }

    bool spawnOnStep = false;
    ServerObject* removeOnStep = nullptr;

private:
    std::vector<std::string>& trace_;
    int32_t* alive_;
};

using WorldTickTest = SimTest;

TEST_F(WorldTickTest, APassStepsThenThinksItsSnapshotOnly) {
    std::vector<std::string> trace;
    int32_t alive = 0;
    auto* first = new Tracer(TvNextActorId(), trace, &alive);
    auto* second = new Tracer(TvNextActorId(), trace, &alive);
    auto* doomed = new Tracer(TvNextActorId(), trace, &alive);
    first->spawnOnStep = true;
    second->removeOnStep = doomed;
    Step(0.1f);
    // The new actor (id 3) waits for the next pass; the removed one is still
    // thought in this one and goes when the pass lets it go.
    EXPECT_EQ(trace, (std::vector<std::string>{"S0", "S1", "S2", "T0", "T1", "T2"}));
    EXPECT_EQ(alive, 3);
    EXPECT_EQ(TvFindActor(2), nullptr);
    trace.clear();
    Step(0.1f);
    EXPECT_EQ(trace, (std::vector<std::string>{"S0", "S1", "S3", "T0", "T1", "T3"}));
}

TEST_F(WorldTickTest, EachPassAdmitsThePathBudgetsWorthOfWaitingUnitsInTheirOrder) {
    const int32_t savedBudget = PathRequestBudget;
    // Units that are not registered: only the lists see them.
    ServerUnit* units[3];
    for (ServerUnit*& unit : units) {
        unit = new ServerUnit(2, walker, {0, 0, 0}, kIdentity, TvNextActorId());
        UnregisterActor(unit);
    }
    struct Case {
        int32_t budget;
        std::vector<std::vector<ServerUnit*>> admitted; // per pass
    };
    const Case cases[] = {
        {1, {{units[0]}, {units[1]}, {units[2]}, {}}},
        {2, {{units[0], units[1]}, {units[2]}, {}}},
    };
    for (const Case& c : cases) {
        PathRequestBudget = c.budget;
        PathRequestList.Clear();
        for (ServerUnit* unit : units) PathRequestList.PushBack(unit); // the third joins behind two
        for (size_t pass = 0; pass < c.admitted.size(); ++pass) {
            Step(0.1f);
            std::vector<ServerUnit*> admitted(PathInProgressList.begin(), PathInProgressList.end());
            EXPECT_EQ(admitted, c.admitted[pass]) << "budget " << c.budget << ", pass " << pass + 1;
        }
        EXPECT_TRUE(PathRequestList.IsEmpty());
    }
    PathRequestBudget = savedBudget;
    for (ServerUnit* unit : units) unit->Release();
}

TEST_F(WorldTickTest, NanofragBurstsFireEveryTwoSecondsAtLiveUnitsWithinReachUntilTheyEnd) {
    LaunchRecorder shots;
    ObjectDefinition* nanofrag = MakeDefinition("nanofrag_projectile", 1, false, true, true);
    MakeFloor(16, 16);
    const Vector3 centre(10, -0.5f, 10);
    ServerUnit* near = MakeUnit(2, {13, 0, 14});
    ServerUnit* edge = MakeUnit(2, {30, -0.5f, 10}); // exactly 20 m
    ASSERT_NE(near, nullptr);
    ASSERT_NE(edge, nullptr);
    new ServerObject(2, MakeDefinition("crate", 1), {11, 0, 10}, kIdentity, kActorFlagsPlain, TvNextActorId());

    // Made during a pass: it fires once, on the first later pass, and goes then.
    auto* once = new NanofragBurst;
    once->position = centre;
    once->EndTicks = once->NextTicks = Now();
    NanofragBurstList.PushBack(once);
    TvWorldTick(Now(), NowSeconds());
    EXPECT_TRUE(shots.launches.empty()) << "not in the pass it was made for";
    Step(0.3f);
    ASSERT_EQ(shots.launches.size(), 1u);
    const ProjectileLaunch& shot = shots.launches[0];
    EXPECT_EQ(shot.definition, nanofrag);
    EXPECT_EQ(shot.targetId, near->Id);
    EXPECT_EQ(shot.shooterId, -1);
    EXPECT_EQ(shot.team, 0);
    EXPECT_EQ(shot.kind, 33);
    EXPECT_EQ(shot.speed, 10.0f);
    EXPECT_EQ(shot.from.y, centre.y);
    EXPECT_TRUE(NanofragBurstList.IsEmpty());

    // Lasting 5 s: volleys at 0.3, 2.4 and 4.5 s; gone at 5.1 s without another.
    shots.launches.clear();
    auto* lasting = new NanofragBurst;
    lasting->position = centre;
    lasting->NextTicks = Now();
    lasting->EndTicks = Now() + 5 * static_cast<uint64_t>(CurrentTicksPerSecond());
    NanofragBurstList.PushBack(lasting);
    std::vector<int32_t> volleys;
    for (int32_t pass = 1; pass <= 20; ++pass) {
        const size_t before = shots.launches.size();
        Step(0.3f);
        if (shots.launches.size() > before) volleys.push_back(pass);
        if (NanofragBurstList.IsEmpty()) {
            EXPECT_EQ(pass, 17) << "the first pass after its end";
            break;
        }
    }
    EXPECT_EQ(volleys, (std::vector<int32_t>{1, 8, 15}));
}

TEST_F(WorldTickTest, WithoutTheNanofragDefinitionBurstsStillEnd) {
    LaunchRecorder shots;
    ASSERT_NE(MakeUnit(2, {1, 0, 1}), nullptr);
    auto* burst = new NanofragBurst;
    burst->EndTicks = burst->NextTicks = Now();
    NanofragBurstList.PushBack(burst);
    Step(0.1f);
    EXPECT_TRUE(shots.launches.empty());
    EXPECT_TRUE(NanofragBurstList.IsEmpty());
}

TEST_F(WorldTickTest, ALevelsEndTakesItsBurstsWithIt) {
    LaunchRecorder shots;
    MakeDefinition("nanofrag_projectile", 1, false, true, true);
    MakeFloor(4, 4);
    auto* burst = new NanofragBurst;
    burst->position = {1, -0.5f, 1};
    burst->EndTicks = Now() + 1000000;
    NanofragBurstList.PushBack(burst);
    TvReleaseAllActors();
    EXPECT_TRUE(NanofragBurstList.IsEmpty());
    ASSERT_NE(MakeUnit(2, {1, 0, 1}), nullptr);
    Step(0.1f);
    EXPECT_TRUE(shots.launches.empty());
}

TEST_F(WorldTickTest, AUnitIsHiddenUnlessALiveEnemyUnitHasItInRangeAndInItsCone) {
    ServerUnit* viewer = MakeUnit(2, {10, 0, 10}); // facing +z
    ServerUnit* unit = MakeUnit(1, {10, 0, 15});
    ASSERT_NE(viewer, nullptr);
    ASSERT_NE(unit, nullptr);
    viewer->SightRange = 10;
    viewer->SightAngle = 512; // 45 degrees either side
    struct Case {
        Vector3 at;
        bool hidden;
    };
    const Case cases[] = {
        {{10, 0, 15}, false},   {{11, 0, 15}, false}, {{10, -3, 11}, false}, // above, yet ahead in the plane
        {{10, 0, 11.5f}, true},                                              // within 2 m
        {{10, 0, 20.5f}, true},                                              // out of range
        {{10, 0, 5}, true},                                                  // behind
        {{15, 0, 12}, true},                                                 // outside the cone
    };
    for (const Case& c : cases) {
        unit->Position = c.at;
        EXPECT_EQ(TvIsHiddenFromEnemies(unit), c.hidden) << c.at.x << ", " << c.at.y << ", " << c.at.z;
    }

    // Only live units of other, not neutral, teams look.
    unit->Position = {10, 0, 15};
    viewer->Strength = 0;
    EXPECT_TRUE(TvIsHiddenFromEnemies(unit)) << "a dead viewer";
    viewer->Strength = 100;
    ServerUnit* neutral = MakeUnit(0, {10, 0, 10});
    ServerUnit* friendly = MakeUnit(1, {10, 0, 10});
    ASSERT_NE(neutral, nullptr);
    ASSERT_NE(friendly, nullptr);
    for (ServerUnit* other : {neutral, friendly}) {
        other->SightRange = 10;
        other->SightAngle = 512;
    }
    viewer->Position = {0, 0, 0};
    EXPECT_TRUE(TvIsHiddenFromEnemies(unit)) << "the neutral team and its own team do not count";
}

} // namespace
