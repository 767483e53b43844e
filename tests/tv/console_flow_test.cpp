// The flow and utility commands: IF, @, TOKEN, ECHO, help and the command
// list, quitting, training texts, vision cones, actor armour, IF CARRYING and
// the particle tester. ConsoleFlowServerTest starts the server thread (driven).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Tv/client/inventory.h"
#include "Tv/client/teamtable.h"
#include "Tv/console/command_registry.h"
#include "Tv/console/console_window.h"
#include "Tv/console/tokens.h"
#include "Tv/console/training_commands.h"
#include "Tv/server/client_service_hooks.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server.h"
#include "Tv/server/shell_state.h"
#include "Tv/sim/server_object.h"
#include "Tv/sim/server_unit.h"
#include "tests/tv/console_script_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class ConsoleFlowTest : public ConsoleScriptTest {
protected:
    static int32_t NamedCommandCount() {
        int32_t count = 0;
        TvForEachCommand([&](const ConsoleCommand& command) { count += command.Name.empty() ? 0 : 1; });
        return count;
    }
    float Token(const char* name) {
        float value = -1.0f;
        EXPECT_TRUE(TokenTable::Get(name, value)) << name;
        return value;
    }
};

TEST_F(ConsoleFlowTest, IfRunsItsLineOnlyWhenTheConditionHolds) {
    struct Case {
        const char* line;
        Lines printed;
    };
    const Case cases[] = {
        {"IF (RES = 0) SAY yes", {"yes"}},
        {"IF (RES = 1) SAY yes", {}},
        {"IF (RES = 0)", {}},
        {"IF (RES = 0) TEXT 5", {Text(3405)}},
        {"if (1 != 2) IF (2 > 1) SAY both", {"both"}},
        {"IF (1 != 2) IF (2 < 1) SAY both", {}},
        {"IF (RES=0) SAY yes", {Text(11006), Text(11009)}},
        {"IF (1 ~ 2) SAY yes", {Text(11007), Text(11009)}},
    };
    for (const Case& c : cases) {
        Run(c.line);
        EXPECT_EQ(Take(), c.printed) << c.line;
    }
}

TEST_F(ConsoleFlowTest, SilentLinesPrintNothingNotEvenTheirErrors) {
    Run("@TOKEN NEW");
    Run("@TOKEN RES");
    Run("@ TOKEN OTHER"); // the blank makes it an unknown line
    Run("@IF (RES=0) SAY hidden");
    EXPECT_TRUE(Printed().empty());
    EXPECT_EQ(Token("NEW"), 0.0f);
    float value = 0.0f;
    EXPECT_FALSE(TokenTable::Get("OTHER", value));
    EXPECT_EQ(GameOptions.EchoOn, 1) << "echo comes back after the silent line";
}

TEST_F(ConsoleFlowTest, TokenCreatesOrResetsANameExceptWhileTheLevelIsOver) {
    Run("TOKEN X");
    Run("SET X 4");
    Run("X");
    EXPECT_EQ(Take(), (Lines{"X = 4"}));
    Run("TOKEN x");
    EXPECT_EQ(Token("X"), 0.0f);
    Run("TOKEN");
    EXPECT_EQ(Take(), (Lines{Text(11017)}));
    GameOptions.LevelStatus = kLevelOver;
    Run("TOKEN LATE");
    float value = 0.0f;
    EXPECT_FALSE(TokenTable::Get("LATE", value));
}

TEST_F(ConsoleFlowTest, EchoSwitchesConsoleOutput) {
    Run("ECHO");
    Run("ECHO OFF");
    Run("SAY unseen");
    Run("ECHO true"); // its notice is printed before echo is back on
    Run("SAY seen");
    Run("ECHO ON");
    Run("ECHO maybe");
    EXPECT_EQ(Take(), (Lines{Text(10608) + Text(12000), "seen", Text(10609), Text(10608) + Text(12000)}));
    Run("ECHO false");
    Run("ECHO maybe");
    EXPECT_TRUE(Printed().empty());
}

TEST_F(ConsoleFlowTest, HelpPrintsTheHelpOfTheWholeRestOfTheLine) {
    Run("help wait");
    EXPECT_EQ(Take(), (Lines{Text(10355)}));
    Run("help wait ");
    EXPECT_EQ(Take(), (Lines{Text(11012)}));
}

TEST_F(ConsoleFlowTest, TheCommandListGoesBucketByBucketNewestFirst) {
    TvRegisterCommand("ZZ ONE", "", nullptr, 1);
    TvRegisterCommand("ZZ TWO", "", nullptr, 1);
    Run("COMMANDS");
    const Lines names = Take();
    const auto at = [&](const char* name) { return std::find(names.begin(), names.end(), name) - names.begin(); };
    EXPECT_LT(at("@"), at("WAIT")) << "'@' lies in bucket 0";
    EXPECT_LT(at("ZZ TWO"), at("ZZ ONE"));
    EXPECT_EQ(std::count(names.begin(), names.end(), ""), 0) << "the empty name is not listed";
    EXPECT_EQ(static_cast<int32_t>(names.size()), NamedCommandCount());
}

TEST_F(ConsoleFlowTest, HelpWithoutANameListsTheCommandsOnlyWithTheFullConsole) {
    Run("HELP");
    EXPECT_TRUE(Printed().empty());
    FullConsole = 1;
    Run("HELP  ");
    FullConsole = 0;
    EXPECT_EQ(static_cast<int32_t>(Take().size()), NamedCommandCount());
}

TEST_F(ConsoleFlowTest, QuitEndsTheProgramWithStatusOneThroughTheExitRoutines) {
    EXPECT_EXIT(
        {
            std::atexit([] { std::fputs("exit routine ran", stderr); });
            Run("QUIT");
        },
        testing::ExitedWithCode(1), "exit routine ran");
    EXPECT_EXIT(Run("exit"), testing::ExitedWithCode(1), "");
}

TEST_F(ConsoleFlowTest, TrainingTextsAreNumberedFromTheirAreasBase) {
    Run("SET TRAINING AREA 2");
    Run("TRNTXT 3");
    Run("TRNTXT 0");
    Run("TRNTXT 4"); // no such text
    EXPECT_EQ(Take(), (Lines{Text(13202)}));
    Run("SET TRAINING AREA 7");
    EXPECT_EQ(GameOptions.TrainingArea, 2);
    Run("SET TRAINING AREA 1");
    Run("TRNTXT 4");
    EXPECT_EQ(Take(), (Lines{Text(13103)}));
    EXPECT_EQ(TvTrainingText(3), nullptr) << "area 1 has no text 3";
}

TEST_F(ConsoleFlowTest, VisionIsOffOnlyForOffOrFalse) {
    const std::pair<const char*, uint8_t> cases[] = {
        {"VISION", 1}, {"VISION off", 0}, {"VISION banana", 1}, {"VISION FALSE", 0}, {"VISION on", 1}};
    for (const auto& [line, shown] : cases) {
        Run(line);
        EXPECT_EQ(VisionConesShown, shown) << line;
    }
}

struct ParticleTesterCall {
    Vector3 position;
    int32_t type = -1;
};
ParticleTesterCall particleTester;

TEST_F(ConsoleFlowTest, TheParticleTesterOpensAtThePositionWithTheNamedType) {
    ClientServiceHooks hooks;
    hooks.openParticleTester = [](const Vector3& position, int32_t type) { particleTester = {position, type}; };
    SetClientServiceHooks(hooks);
    Run("PARTICLE TESTER 1 2 3 Smoke");
    EXPECT_EQ(particleTester.position.x, 1.0f);
    EXPECT_EQ(particleTester.position.y, 2.0f);
    EXPECT_EQ(particleTester.position.z, 3.0f);
    EXPECT_EQ(particleTester.type, 0);
    Run("PARTICLE TESTER 4 5 6 goo");
    EXPECT_EQ(particleTester.type, 5);
    EXPECT_EQ(Take(), (Lines{"Invalid particle type specified."}));
    particleTester = {};
    CurrentGameState = 0;
    Run("PARTICLE TESTER 1 2 3 smoke");
    EXPECT_EQ(particleTester.type, -1) << "a position outside a level fails";
    EXPECT_EQ(Take(), (Lines{Text(11019)}));
    SetClientServiceHooks({});
}

class ConsoleFlowServerTest : public ConsoleFlowTest {
protected:
    // A unit of the team named by a token, carrying one item of the definition.
    ServerUnit* Carrier(int32_t team, const char* token, const ObjectDefinition* item) {
        ServerUnit* unit = MakeUnit(team, Vector3(1, 0, 1));
        if (!unit) return nullptr;
        if (!unit->Inventory) unit->Inventory = new Inventory(kWeaponTypeNone, unit->Definition);
        if (item) unit->Inventory->AddItem(IK_MODULE, item, TakeInventoryItemId(), 1);
        TokenTable::Set(token, static_cast<float>(unit->Id));
        return unit;
    }
};

TEST_F(ConsoleFlowServerTest, ActorArmourIsReadAndSetOnlyWithTheServerHere) {
    Run("GET ACTOR ARMOUR NOBODY");
    EXPECT_TRUE(Printed().empty()) << "no server here";
    StartServer();
    ServerObject* actor = MakeActor(1);
    ASSERT_NE(actor, nullptr);
    TokenTable::Set("CRATE", static_cast<float>(actor->Id));
    Run("SET ACTOR ARMOUR 7.5 CRATE");
    Run("SET ACTOR ARMOUR -1 CRATE"); // below 0: nothing
    Run("GET ACTOR ARMOUR CRATE");
    Run("GET ACTOR ARMOUR NOBODY");
    EXPECT_EQ(Take(), (Lines{"Armour value: 7.500000", "Couldn't find actor or no actor specified."}));
    const std::vector<RecordedMessage> sent = recorder.Sent(MSG_SET_ARMOUR);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes.size(), 12u);
    EXPECT_EQ(MessageInt(sent[0].bytes, 4), actor->Id);
    EXPECT_EQ(MessageFloat(sent[0].bytes, 8), 7.5f);
}

TEST_F(ConsoleFlowServerTest, IfCarryingRunsItsLineOnceWhenPlayerTeamsCarryTheItem) {
    MakeFloor(4, 4);
    const ObjectDefinition* key = MakeDefinition("keycard", kAiCorePickup, true, false, true);
    const ObjectDefinition* other = MakeDefinition("bolts", kAiCorePickup, true, false, true);
    Run("IF CARRYING keycard SAY carried");
    EXPECT_TRUE(Printed().empty()) << "no server here";
    SessionTeamCount = 5;
    TeamTable::Reset();
    StartServer();
    ASSERT_TRUE(TeamTable::IsPlayerTeam(1));
    ASSERT_TRUE(TeamTable::IsPlayerTeam(3));
    ASSERT_FALSE(TeamTable::IsPlayerTeam(2));
    ASSERT_NE(Carrier(1, "A", key), nullptr);
    ASSERT_NE(Carrier(3, "B", key), nullptr);
    ASSERT_NE(Carrier(2, "C", other), nullptr);
    Run("IF CARRYING KEYCARD SAY carried");
    Run("IF CARRYING bolts SAY enemy only");
    EXPECT_EQ(Take(), (Lines{"carried"}));
}

} // namespace
