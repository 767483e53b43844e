// The client unit's life: what its character gives it, joining a player's
// team when started, the fog's defogger entry and its end, and the factory
// rows that build it. Main thread only (no server thread runs).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "Tv/client/client_unit.h"
#include "Tv/client/inventory.h"
#include "Tv/client/teamtable.h"
#include "Tv/server/game_settings.h"
#include "tests/tv/client_unit_fixture.h"

namespace {

using ClientUnitLife = ClientUnitTest;

int32_t CountCalls(const std::vector<std::string>& calls, const char* name) {
    return static_cast<int32_t>(std::count(calls.begin(), calls.end(), name));
}

TEST_F(ClientUnitLife, AUnitOfAPlayerTeamGetsItsInventoryAndDefogsUntilItGoes) {
    SessionTeamCount = 4;
    TeamTable::Reset();
    ClientUnit* unit = MakeUnit(1, LocalTeam);
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->GetSize(), 568);
    EXPECT_EQ(unit->GetInventory(), nullptr) << "made when started";
    unit->Start(0, 0);
    EXPECT_NE(unit->GetInventory(), nullptr);
    EXPECT_EQ(unit->OrderMode, 6);
    EXPECT_FALSE(unit->StandingFlag);
    EXPECT_EQ(CountCalls(seen.calls, "addDefogger"), 1);

    ClientUnit* enemy = MakeUnit(2, 2);
    enemy->Start(0, 0);
    EXPECT_EQ(enemy->GetInventory(), nullptr);
    EXPECT_EQ(CountCalls(seen.calls, "addDefogger"), 1);

    Dispatch(Record(3, {1})); // the owner notice
    EXPECT_TRUE(unit->JoinsLocalTeam());
    EXPECT_TRUE(LocalTeamObjects.Contains(unit));
    ReleaseAllClientObjects(); // the level's end: gone without a removal
    EXPECT_EQ(CountCalls(seen.calls, "removeDefogger"), 1);
    EXPECT_TRUE(LocalTeamObjects.IsEmpty());
}

TEST_F(ClientUnitLife, UnitsNodesAndPresidentsAreBuiltAsUnitsAndMinesStartCloaked) {
    const struct {
        int32_t aiCore;
        bool cloaked;
    } cases[] = {{1, false}, {2, true}, {15, false}, {19, false}};
    int32_t id = 20;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.aiCore);
        ClientUnit* unit = MakeUnit(id++, 2, {0, 0, 0}, UnitDefinition("robot", c.aiCore));
        ASSERT_NE(unit, nullptr);
        EXPECT_EQ(unit->IsCloaked(), c.cloaked);
    }
}

} // namespace
