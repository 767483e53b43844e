// Blockers: the floor under the rotated footprint made impassable, the corner
// links around it cut, and the floor given back (only what the blocker took)
// when it dies or goes.
#include <gtest/gtest.h>

#include <set>

#include "Awapi/shape.h"
#include "Tv/server/actor_actions.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/path_search.h"
#include "Tv/sim/server_blocker.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr int kFloorSize = 7; // 7 x 7 quads of 1 m; polygon 7 i + j covers x i to i + 1, z j to j + 1

class BlockerTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(kFloorSize, kFloorSize, 1.0f);
    }

    // A blocker whose box is 2 halfX by 2 halfZ (1 m high), started at the point facing the heading.
    ServerBlocker* MakeBlocker(const Vector3& at, Real halfX, Real halfZ, int32_t heading = 0) {
        ObjectDefinition* definition = MakeDefinition("crate", 5);
        definition->shape = new AwShape();
        definition->shape->Min = Vector3(-halfX, -1, -halfZ);
        definition->shape->Max = Vector3(halfX, 0, halfZ);
        ServerObject* actor = TvFindActor(TvCreateServerActor(0, definition, at, HeadingQuaternion(heading)));
        EXPECT_TRUE(actor && actor->IsBlocker());
        actor->Start(Now(), NowSeconds());
        return static_cast<ServerBlocker*>(actor);
    }
    // The table slots of the floor polygons that have the impassable bit.
    std::set<uint32_t> SteepFloor() const {
        std::set<uint32_t> steep;
        for (uint32_t i = 0; i < kFloorSize * kFloorSize; ++i)
            if (Polygon(i)->IsSteep()) steep.insert(i);
        return steep;
    }
    static uint32_t At(int x, int z) { return static_cast<uint32_t>(x * kFloorSize + z); }
};

TEST_F(BlockerTest, TheFloorUnderItAndTheConnectedPolygonsInsideItsRotatedFootprintBecomeImpassable) {
    struct Case {
        const char* what;
        Vector3 at;
        Real halfX, halfZ;
        int32_t heading;
        std::set<uint32_t> steep;
    };
    const Case cases[] = {
        {"long in z",
         {3, 0, 3},
         0.7f,
         1.7f,
         0,
         {At(2, 1), At(2, 2), At(2, 3), At(2, 4), At(3, 1), At(3, 2), At(3, 3), At(3, 4)}},
        {"turned a quarter: long in x",
         {3, 0, 3},
         0.7f,
         1.7f,
         1024,
         {At(1, 2), At(2, 2), At(3, 2), At(4, 2), At(1, 3), At(2, 3), At(3, 3), At(4, 3)}},
        {"smaller than a polygon: the one under it", {3.2f, 0, 3.2f}, 0.1f, 0.1f, 0, {At(3, 3)}},
        {"no floor under it", {30, 0, 30}, 2, 2, 0, {}},
    };
    for (const Case& c : cases) {
        ServerBlocker* blocker = MakeBlocker(c.at, c.halfX, c.halfZ, c.heading);
        EXPECT_EQ(SteepFloor(), c.steep) << c.what;
        EXPECT_EQ(blocker->BlockedPolygons.Count(), static_cast<int32_t>(c.steep.size())) << c.what;
        blocker->Remove(false);
        EXPECT_TRUE(SteepFloor().empty()) << c.what;
    }
}

TEST_F(BlockerTest, PathsGoAroundItAndAfterItsDeathTheFloorIsPassableButTheCutCornerLinksStayCut) {
    // The polygons around the column (3, 2), (3, 3) that meet only at a corner of it.
    CollisionPolygon* const cornerPairs[][2] = {{Polygon(At(2, 3)), Polygon(At(3, 4))},
                                                {Polygon(At(3, 1)), Polygon(At(4, 2))}};
    for (auto& pair : cornerPairs) ASSERT_TRUE(pair[0]->HasNeighbour(pair[1]));
    ServerBlocker* blocker = MakeBlocker({3.5f, 0, 3}, 0.7f, 0.7f);
    ASSERT_EQ(SteepFloor(), (std::set<uint32_t>{At(3, 2), At(3, 3)}));
    for (auto& pair : cornerPairs) EXPECT_FALSE(pair[0]->HasNeighbour(pair[1]) || pair[1]->HasNeighbour(pair[0]));
    EXPECT_TRUE(Polygon(At(2, 3))->HasNeighbour(Polygon(At(2, 4)))) << "edge links stay";
    EXPECT_TRUE(Polygon(At(1, 1))->HasNeighbour(Polygon(At(2, 2)))) << "corner links away from it stay";

    List<CollisionPolygon*> path;
    TvFindWaypointPath(Polygon(At(3, 0)), Polygon(At(3, 5)), path, kPolygonSteep);
    ASSERT_FALSE(path.IsEmpty());
    EXPECT_EQ(path.Front(), Polygon(At(3, 5)));
    for (CollisionPolygon* step : path) EXPECT_FALSE(step->IsSteep());

    blocker->Remove(false);
    EXPECT_TRUE(SteepFloor().empty());
    for (auto& pair : cornerPairs) EXPECT_FALSE(pair[0]->HasNeighbour(pair[1]));
    path.Clear();
    TvFindWaypointPath(Polygon(At(3, 0)), Polygon(At(3, 5)), path, kPolygonSteep);
    EXPECT_EQ(path.Count(), 5) << "straight through";
}

TEST_F(BlockerTest, ItGivesBackOnlyWhatItMadeImpassableAndWhatNoOtherBlockerCovers) {
    const std::set<uint32_t> firstFloor{At(2, 2), At(2, 3), At(3, 2), At(3, 3)};
    const std::set<uint32_t> secondFloor{At(2, 1), At(3, 1), At(2, 2), At(3, 2), At(3, 3)};
    const std::set<uint32_t> steepGround{At(3, 3)};
    for (const bool firstGoesFirst : {false, true}) {
        Polygon(At(3, 3))->flags |= kPolygonSteep;
        ServerBlocker* first = MakeBlocker({3, 0, 3}, 0.7f, 0.7f);
        EXPECT_EQ(SteepFloor(), firstFloor);
        EXPECT_FALSE(first->BlockedPolygons.Contains(Polygon(At(3, 3))));
        ServerBlocker* second = MakeBlocker({3, 0, 2}, 0.7f, 0.7f); // overlaps the first's floor
        EXPECT_EQ(second->BlockedPolygons.Count(), 2);

        (firstGoesFirst ? first : second)->Remove(false);
        EXPECT_EQ(SteepFloor(), firstGoesFirst ? secondFloor : firstFloor) << firstGoesFirst;
        (firstGoesFirst ? second : first)->Remove(false);
        EXPECT_EQ(SteepFloor(), steepGround) << firstGoesFirst;
        Polygon(At(3, 3))->flags &= ~kPolygonSteep;
    }
}

TEST_F(BlockerTest, ABlockerThatNeverDiedGivesTheFloorBackWhenItGoes) {
    ServerBlocker* blocker = MakeBlocker({3, 0, 3}, 0.7f, 0.7f);
    EXPECT_EQ(SteepFloor().size(), 4u);
    blocker->AddRef();
    TvReleaseAllActors();
    EXPECT_FALSE(blocker->Dead);
    blocker->Release();
    EXPECT_TRUE(SteepFloor().empty());
}

} // namespace
