// The scavenger core: the noise it notes, the steering row it walks along,
// and the level bounds it is kept inside.
#include <algorithm>

#include "Tv/sim/noise_events.h"
#include "Tv/sim/scavenger_ai.h"
#include "Tv/sim/server_unit.h"
#include "tests/tv/sim_fixture.h"

namespace {

class ScavengerTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(10, 10); // 20 x 20 m from the origin
        LevelWorldInstance->boxMin = Vector3(0, -5, 0);
        LevelWorldInstance->boxMax = Vector3(20, 0, 20);
        ResetTable();
    }
    void TearDown() override {
        ResetTable();
        SimTest::TearDown();
    }
    static void ResetTable() {
        std::fill(std::begin(ScavengerTable), std::end(ScavengerTable), Vector3(0, 0, 0));
        ScavengerRow = 0;
    }

    // The default walker's core is the scavenger's.
    ServerUnit* MakeScavenger(const Vector3& at) {
        ServerUnit* unit = MakeUnit(0, at);
        unit->Position = at;
        return unit;
    }
    // One AI call just over a second after the last, once the core is awake again.
    void RunAi(ServerUnit& scavenger) {
        AdvanceSeconds(1.05);
        TvScavengerAi(&scavenger, Now());
    }
    void Noise(const Vector3& at) { TvAddExplosionNoise(20, at, at, Now() + 1000000000ull, 0); }
};

TEST_F(ScavengerTest, ItNotesTheNearestNoiseWithinSixMetres) {
    ServerUnit* s = MakeScavenger({10, 0, 10});
    Noise({16.1f, 0, 10});
    RunAi(*s);
    EXPECT_EQ(s->HasNoisePoint, 0) << "6.1 m away";

    Noise({10, 0, 15.9f});
    RunAi(*s);
    ASSERT_EQ(s->HasNoisePoint, 1) << "5.9 m away";
    EXPECT_EQ(s->InvestigatePoint.z, 15.9f);

    // A nearer noise replaces it, a farther one does not.
    Noise({12, 0, 10});
    RunAi(*s);
    EXPECT_EQ(s->InvestigatePoint.x, 12.0f);
    TvClearNoiseEvents();
    Noise({10, 0, 5});
    RunAi(*s);
    EXPECT_EQ(s->InvestigatePoint.x, 12.0f);
    TvClearNoiseEvents();
}

TEST_F(ScavengerTest, WithTheTableAllZeroItStandsStill) {
    ServerUnit* s = MakeScavenger({9, 0, 9});
    for (int i = 0; i < 5; ++i) {
        RunAi(*s);
        Step(0.05f);
    }
    EXPECT_EQ(s->Position.x, 9.0f);
    EXPECT_EQ(s->Position.z, 9.0f);
}

TEST_F(ScavengerTest, ItWalksAlongItsRowAndTheRowWraps) {
    ServerUnit* s = MakeScavenger({9, 0, 9});
    ScavengerRow = kScavengerRows - 1;
    ScavengerTable[kScavengerRows - 1] = Vector3(1, 0, 0);
    RunAi(*s);
    EXPECT_EQ(ScavengerRow, 0);
    EXPECT_TRUE(s->IsMoving());
    EXPECT_EQ(s->Destination.x, 10.0f) << "a stride of its walking speed along the row";
    // Row 0 points back: the course it keeps is no longer the row's, so it turns.
    ScavengerTable[0] = Vector3(-1, 0, 0);
    RunAi(*s);
    EXPECT_EQ(ScavengerRow, 1);
    EXPECT_LT(s->Destination.x, s->Position.x);
}

TEST_F(ScavengerTest, BeyondTheBoundsItIsPutBackAndItsRowTurns) {
    const struct {
        Vector3 at;
        Vector3 backAt;
        Vector3 turned;
    } cases[] = {
        {{19.9f, 0, 10}, {19.7f, 0, 10}, {-1, 0, 1}}, // beyond the east bound less its radius
        {{0.1f, 0, 10}, {0.3f, 0, 10}, {-1, 0, 1}},   // the west one
        {{10, 0, 19.8f}, {10, 0, 19.7f}, {1, 0, -1}}, // the south one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at.x + c.at.z);
        ServerUnit* s = MakeScavenger(c.at);
        s->Radius = 0.3f;
        ScavengerRow = 0;
        ScavengerTable[0] = Vector3(1, 0, 1);
        RunAi(*s);
        EXPECT_FLOAT_EQ(s->Position.x, c.backAt.x);
        EXPECT_FLOAT_EQ(s->Position.z, c.backAt.z);
        EXPECT_EQ(ScavengerTable[0].x, c.turned.x);
        EXPECT_EQ(ScavengerTable[0].z, c.turned.z);
        s->Remove(false);
    }
}

} // namespace
