// Noise events: owned ones follow their units, ownerless ones expire, explosions wake the listeners of team 2.
#include <cmath>
#include <cstdint>

#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/noise_events.h"
#include "core/clock.h"
#include "tests/tv/sim_combat_fixture.h"

namespace {

using SimNoiseTest = CombatTest;

TEST_F(SimNoiseTest, OwnedEventsFollowLiveOwnersAndOwnerlessOnesOutliveTheirExpiryByNothing) {
    TestActor* unit = new TestActor(1, {1, 0, 1}, kActorFlagsUnit);
    TvGiveNoiseEvent(unit);
    TvGiveNoiseEvent(unit); // it has one already
    EXPECT_EQ(unit->AiFlags & kAiFlagNoiseEvent, kAiFlagNoiseEvent);
    ASSERT_EQ(NoiseEventList.Count(), 1);
    NoiseEvent* owned = NoiseEventList.Front();
    EXPECT_EQ(unit->RefCount, 2);
    EXPECT_EQ(owned->loudness, 25);
    TvAddExplosionNoise(20, {5, 0, 5}, {6, 0, 6}, 50, 3);
    const NoiseEvent* blast = NoiseEventList.Back();
    EXPECT_FLOAT_EQ(blast->extentSquared, 9);
    EXPECT_EQ(blast->owner, nullptr);

    unit->SetPositionQuiet({3, 0, 4});
    TvRefreshNoiseEvents(50);
    EXPECT_EQ(owned->loudness, 0) << "a standing unit is silent";
    EXPECT_FLOAT_EQ(owned->position.z, 4);
    EXPECT_FLOAT_EQ(owned->secondPosition.x, 3);
    unit->moving = true;
    TvRefreshNoiseEvents(50);
    EXPECT_EQ(owned->loudness, 25);
    EXPECT_EQ(NoiseEventList.Count(), 2) << "an expiry equal to the time survives";
    TvRefreshNoiseEvents(51);
    EXPECT_EQ(NoiseEventList.Count(), 1);

    TvRemoveNoiseEventOf(unit);
    EXPECT_TRUE(NoiseEventList.IsEmpty());
    EXPECT_EQ(unit->AiFlags & kAiFlagNoiseEvent, 0u);
    EXPECT_EQ(unit->RefCount, 1);
    TvRemoveNoiseEventOf(unit); // none left: nothing happens

    // A dead owner's event goes at the next refresh, and with it the last reference.
    TvAddNoiseEvent(unit);
    const int32_t id = unit->Id;
    unit->Remove(false);
    EXPECT_EQ(TvFindActor(id), nullptr);
    TvRefreshNoiseEvents(1);
    EXPECT_TRUE(NoiseEventList.IsEmpty());

    TestActor* other = new TestActor(1, {0, 0, 0}, kActorFlagsUnit);
    TvAddNoiseEvent(other);
    TvAddExplosionNoise(20, {0, 0, 0}, {0, 0, 0}, 0, 0);
    TvClearNoiseEvents();
    EXPECT_TRUE(NoiseEventList.IsEmpty());
    EXPECT_EQ(other->RefCount, 1);
}

TEST_F(SimNoiseTest, ExplosionsWakeTeamTwoBotsAndScavengersThatHearThemAtTheServersTime) {
    struct Case {
        const char* what;
        int32_t team, core;
        Real distanceSquared, extent, hearingSquared;
        bool firing, dead, character;
        bool woken;
    };
    const Case cases[] = {
        {"at the edge of hearing", 2, 0, 100, 0, 100, false, false, true, true},
        {"just beyond it", 2, 0, 100, 0, 99, false, false, true, false},
        {"the extent reaches it", 2, 0, 100, 3, 91, false, false, true, true},
        {"a scavenger", 2, 1, 4, 0, 100, false, false, true, true},
        {"a minebot", 2, 3, 4, 0, 100, false, false, true, false},
        {"a firing bot", 2, 0, 4, 0, 100, true, false, true, false},
        {"a dead bot", 2, 0, 4, 0, 100, false, true, true, false},
        {"a bot of team 3", 3, 0, 4, 0, 100, false, false, true, false},
        {"no character", 2, 0, 4, 0, 100, false, false, false, false},
    };
    // The game's clock runs elsewhere: the wake time is the server's.
    GameClock.SetTime(ServerClock.GetTime() + 123456789);
    const uint64_t never = UINT64_MAX;
    for (const Case& c : cases) {
        ObjectDefinition* definition = MakeDefinition("listener", c.core, c.character);
        if (c.character) definition->character->hearingRangeSquared = c.hearingSquared;
        TestActor* listener = new TestActor(c.team, {std::sqrt(c.distanceSquared), 0, 0}, kActorFlagsUnit, definition);
        TeamListAppend(listener);
        listener->AiCore = c.core;
        listener->firing = c.firing;
        listener->Dead = c.dead;
        listener->AiWakeTime = never;
        TvAddExplosionNoise(25, {0, 0, 0}, {0, 0, 0}, 0, c.extent);
        EXPECT_EQ(listener->AiWakeTime, c.woken ? ServerClock.GetTime() : never) << c.what;
        TeamListRemove(listener);
        listener->Dead = 0;
        listener->Remove(false);
    }
}

} // namespace
