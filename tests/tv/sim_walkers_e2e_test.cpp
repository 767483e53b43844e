// Two walkers on the sample level, on a driven server: sent from the scouts'
// markers to the far side of the middle wall, both arrive through its gap,
// each announcing that it sets off, walks and comes to rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Tv/client/client_objects.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/server.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "tests/support/temp_dir.h"
#include "tests/tv/defs_level_fixture.h"
#include "tests/tv/sim_fixture.h"

namespace {

// The middle wall runs along z 12 to 14 m; its gap lies between x 8 and 12 m.
constexpr Real kWallLine = 13.0f;
constexpr Real kGapWest = 8.0f, kGapEast = 12.0f;
constexpr Real kPassSeconds = 0.1f;
constexpr int kPassLimit = 1200;

// The definition tests' level directory, engine and level load, beside the server's fixture.
class SampleLevel : public LevelTest {
public:
    void TestBody() override {}
    using LevelTest::CopySample;
    using LevelTest::Load;
    using LevelTest::SetUp;
    using LevelTest::TearDown;
};

// Where the level load places the scouts, as an attached client sees it.
std::vector<Vector3>* scoutMarkers = nullptr;
int32_t RecordScout(int32_t, const ObjectDefinition& definition, const Vector3& position, const Quaternion&) {
    if (definition.name.Get() && std::string(definition.name.Get()) == "Scout") scoutMarkers->push_back(position);
    return -1;
}

struct Walker {
    int32_t id;
    Vector3 goal;
    std::vector<Vector3> trace;
};

class WalkersEndToEndTest : public SimTest {
protected:
    void SetUp() override {
        // The engine's start measures the clock: before the server fixture stops it.
        level.SetUp();
        SimTest::SetUp();
        for (const char* model : {"Robot.qif", "Box.qif", "Level.qif"}) level.CopySample(model);
        scoutMarkers = &markers;
        const ObjectFactory previous = InstallClientObjectFactory(&RecordScout);
        level.Load(TempDir::Read(TAVRIN_SOURCE_DIR "/data/levels/sample.tvs"), "sample.tvs");
        InstallClientObjectFactory(previous);
        scoutMarkers = nullptr;
    }

    void TearDown() override {
        // The actors leave the level world before it goes.
        TvStopServer();
        TvReleaseAllActors();
        level.TearDown();
        SimTest::TearDown();
    }

    SampleLevel level;
    std::vector<Vector3> markers;
};

// Where the trace crosses the wall's line (z = 13), by x; none when it never does.
std::vector<Real> CrossingsOfTheWallLine(const std::vector<Vector3>& trace) {
    std::vector<Real> crossings;
    for (size_t k = 1; k < trace.size(); ++k) {
        const Vector3& a = trace[k - 1];
        const Vector3& b = trace[k];
        if ((a.z < kWallLine) == (b.z < kWallLine)) continue;
        crossings.push_back(a.x + (b.x - a.x) * (kWallLine - a.z) / (b.z - a.z));
    }
    return crossings;
}

TEST_F(WalkersEndToEndTest, TwoWalkersSentBeyondTheMiddleWallArriveThroughItsGap) {
    ASSERT_NE(nullptr, LevelWorldInstance);
    ASSERT_GE(markers.size(), 2u) << "the scouts' markers";
    const ObjectDefinition* role = DefinitionRegistry::FindByName("Walker");
    ASSERT_NE(nullptr, role);
    ASSERT_NE(nullptr, role->character);
    EXPECT_EQ(kWeaponTypeNone, role->character->weapon);

    StartServer();
    TvStartSimulation();
    std::vector<Walker> walkers = {{0, {11, 0, 17}, {}}, {0, {9, 0, 17}, {}}};
    for (size_t k = 0; k < walkers.size(); ++k) {
        // Ids count from 0 at a level load, so the first walker's is 0 too.
        walkers[k].id = TvSpawnActor(1, role, markers[k], Quaternion{0, 0, 0, 1}, -1);
        ASSERT_EQ(static_cast<int32_t>(k), walkers[k].id);
    }
    {
        ServerLockHold hold;
        for (const Walker& w : walkers) {
            auto* unit = static_cast<ServerUnit*>(TvFindActor(w.id));
            ASSERT_TRUE(unit && unit->IsUnit());
            unit->HeadForPoint(w.goal, ServerClock.GetSeconds());
            ASSERT_EQ(PS_COMPLETE, unit->PathState);
        }
    }

    // Pass by pass; the server is idle between passes.
    const auto atRest = [](const ServerUnit& u) {
        return !u.IsMoving() && u.Waypoints.IsEmpty() && u.PathState == PS_NONE && u.StopSent;
    };
    for (int pass = 0; pass < kPassLimit; ++pass) {
        AdvanceSeconds(kPassSeconds);
        Pass();
        bool allAtRest = pass > 10;
        for (Walker& w : walkers) {
            const auto* unit = static_cast<const ServerUnit*>(TvFindActor(w.id));
            ASSERT_NE(nullptr, unit);
            w.trace.push_back(unit->Position);
            allAtRest = allAtRest && atRest(*unit);
        }
        if (allAtRest) break;
    }

    for (const Walker& w : walkers) {
        SCOPED_TRACE(w.id);
        const Vector3& end = w.trace.back();
        EXPECT_LT(TvWeightedDistanceSquared(end, w.goal), 0.2f) << "at " << end.x << ", " << end.z;
        const std::vector<Real> crossings = CrossingsOfTheWallLine(w.trace);
        ASSERT_EQ(1u, crossings.size()) << "the wall's line is crossed once";
        EXPECT_GT(crossings[0], kGapWest);
        EXPECT_LT(crossings[0], kGapEast);

        // Set off, walking, at rest: 57 first, 61s, 59 last.
        const std::vector<int32_t> types = TypesFor(w.id, {57, 59, 61});
        ASSERT_GE(types.size(), 3u);
        EXPECT_EQ(57, types.front());
        EXPECT_EQ(59, types.back());
        EXPECT_NE(types.end(), std::find(types.begin(), types.end(), 61)) << "walking updates";
    }
}

} // namespace
