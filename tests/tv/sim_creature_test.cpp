// The light actors the clients animate themselves: tumbleweeds and the
// background creatures, built by the server's factory from their AI cores.
#include <gtest/gtest.h>

#include <limits>

#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr Quaternion kIdentity{0, 0, 0, 1};

using CreatureTest = SimTest;

TEST_F(CreatureTest, EachCoreBuildsItsClass) {
    struct Case {
        int32_t aiCore;
        bool tumbleweed, pickup, background, flying, mobile;
        int32_t size;
    };
    const Case cases[] = {
        {9, true, false, false, false, true, 288},
        {10, false, true, false, false, false, 336},
        {11, false, false, true, false, true, 288},
        {12, false, false, true, true, true, 288},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.aiCore);
        const ObjectDefinition* definition = MakeDefinition("scenery", c.aiCore);
        ServerObject* actor = TvFindActor(TvCreateServerActor(0, definition, Vector3(1, 0, 1), kIdentity));
        ASSERT_NE(actor, nullptr);
        EXPECT_EQ(actor->IsTumbleweed(), c.tumbleweed);
        EXPECT_EQ(actor->IsPickup(), c.pickup);
        EXPECT_EQ(actor->IsBackgroundCreature(), c.background);
        EXPECT_EQ(actor->IsFlyingCreature(), c.flying);
        EXPECT_EQ(actor->Mobile != 0, c.mobile);
        EXPECT_EQ(actor->GetSize(), c.size);
        EXPECT_EQ(actor->AiTickCallback, nullptr) << "no behaviour of its own";
    }
}

TEST_F(CreatureTest, ATumbleweedSitsJustAboveItsSpot) {
    const ObjectDefinition* definition = MakeDefinition("tumbleweed", 9);
    const ServerObject* weed = TvFindActor(TvCreateServerActor(0, definition, Vector3(3, -1, 4), kIdentity));
    ASSERT_NE(weed, nullptr);
    EXPECT_EQ(weed->Position.x, 3.0f);
    EXPECT_EQ(weed->Position.y, -1.2f) << "y points down";
    EXPECT_EQ(weed->Position.z, 4.0f);
}

TEST_F(CreatureTest, ABackgroundCreatureIsOutOfReachOfEverySearchAndDiesAsAnyActor) {
    for (int32_t core : {11, 12}) {
        SCOPED_TRACE(core);
        const ObjectDefinition* definition = MakeDefinition("bird", core);
        ServerObject* creature = TvFindActor(TvCreateServerActor(0, definition, Vector3(3, -1, 4), kIdentity));
        ASSERT_NE(creature, nullptr);
        constexpr Real nowhere = std::numeric_limits<Real>::lowest();
        EXPECT_EQ(creature->Position.x, nowhere);
        EXPECT_EQ(creature->Position.y, nowhere);
        EXPECT_EQ(creature->Position.z, nowhere);
        creature->Start(Now(), NowSeconds());
        Step(0.1f); // its pass runs far away without harm

        creature->AddRef();
        creature->Remove(true);
        EXPECT_TRUE(creature->AiFlags & kAiFlagDeadForAi);
        creature->Release();
    }
}

} // namespace
