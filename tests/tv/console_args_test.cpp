// Command arguments: the guards, positions, actors named by tokens, and the
// selected actor's commands SELECT, WATCH and GET SELECTED.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Awapi/model/dummy_object.h"
#include "Tv/client/client_factory.h"
#include "Tv/client/client_objects.h"
#include "Tv/console/command_args.h"
#include "Tv/console/command_registry.h"
#include "Tv/console/tokens.h"
#include "Tv/server/client_link.h"
#include "Tv/server/client_service_hooks.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/shell_state.h"
#include "Tv/sim/server_object.h"
#include "core/matrix.h"
#include "tests/tv/console_recorder.h"
#include "tests/tv/sim_fixture.h"

namespace {

std::vector<std::string> serviceCalls;

class ConsoleArgsTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        CurrentGameState = kGameStatePlay;
        ClientServiceHooks hooks;
        hooks.selectNextSquadMember = [] { serviceCalls.emplace_back("next"); };
        hooks.selectPreviousSquadMember = [] { serviceCalls.emplace_back("previous"); };
        SetClientServiceHooks(hooks);
        serviceCalls.clear();
        StatusWindowMode = 0;
    }
    void TearDown() override {
        TvDetachClient();
        SetClientServiceHooks(ClientServiceHooks{});
        LevelDummyList.clear();
        StatusWindowMode = 0;
        CurrentGameState = 0;
        SimTest::TearDown();
    }

    static AwDummyObject Dummy(const char* name, const char* text, const Vector3& position,
                               const Quaternion& orientation = {0, 0, 0, 1}) {
        AwDummyObject dummy;
        dummy.Name = name;
        if (text) dummy.Text = text;
        dummy.Position = position;
        dummy.Orientation = orientation;
        return dummy;
    }

    // Parses a position from `line`: success, the position and orientation
    // (preset to sentinels) and what was printed.
    struct Parsed {
        bool ok;
        Vector3 position;
        Quaternion orientation;
        std::vector<std::string> printed;
    };
    Parsed Position(const char* line) {
        console.lines.clear();
        ConsoleRecorder::SetLine(line);
        Parsed parsed{false, {-7, -7, -7}, {0, 0, 0, 1}, {}};
        parsed.ok = TvParsePosition(parsed.position, &parsed.orientation);
        parsed.printed = console.lines;
        return parsed;
    }

    // A client object of that id, under the cursor when `current`.
    ClientObject* ClientObjectWithId(int32_t id, bool current) {
        TvBuildClientObject(1, *MakeDefinition("crate", 1), {0, 0, 0}, Quaternion{0, 0, 0, 1}, id);
        ClientObject* object = TvFindClientObject(id);
        if (object && current) object->MakeCurrent();
        return object;
    }

    std::vector<std::string> Run(uint8_t (*command)(), const char* arguments) {
        console.lines.clear();
        ConsoleRecorder::SetLine(arguments);
        command();
        return console.lines;
    }

    ConsoleRecorder console;
};

void ExpectVector(const Vector3& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

TEST_F(ConsoleArgsTest, OnlyTheFourLevelStatesCountAsInALevel) {
    for (int32_t state = 0; state < 19; ++state) {
        CurrentGameState = state;
        console.lines.clear();
        const bool inLevel = state == 5 || state == 6 || state == 7 || state == 17;
        EXPECT_EQ(TvGuardInLevel(), inLevel) << state;
        EXPECT_EQ(console.lines.size(), inLevel ? 0u : 1u) << state;
    }
    EXPECT_EQ(console.lines, std::vector<std::string>{ConsoleRecorder::String(11019)});
}

TEST_F(ConsoleArgsTest, NumberPositionsFillMissingCoordinatesWithZero) {
    Parsed p = Position("12.5");
    EXPECT_TRUE(p.ok);
    ExpectVector(p.position, 12.5f, 0, 0);
    EXPECT_FLOAT_EQ(p.orientation.w, 1.0f) << "numbers leave the orientation alone";
    p = Position("0 0");
    ExpectVector(p.position, 0, 0, 0);
    p = Position(" -1 2.5 NONE rest");
    ExpectVector(p.position, -1, 2.5f, 0); // a word naming no token: the default
    EXPECT_EQ(ConsoleRecorder::Line(), " rest");
    EXPECT_TRUE(p.printed.empty());

    CurrentGameState = kGameStateFrontEnd;
    p = Position("1 2 3");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.printed, std::vector<std::string>{ConsoleRecorder::String(11019)});
}

TEST_F(ConsoleArgsTest, DummyPositionsSkipSoundDummiesAndTakeTheFirstOfAName) {
    LevelDummyList = {
        Dummy("Door", "Sound\nhum.wav", {1, 1, 1}),
        Dummy("Alarm", "SOUND", {2, 2, 2}),
        Dummy("door", "Marker", {3, 4, 5}, {0, 0, 1, 0}),
        Dummy("DOOR", nullptr, {9, 9, 9}),
    };
    Parsed p = Position("DOOR next");
    ASSERT_TRUE(p.ok);
    ExpectVector(p.position, 3, 4, 5);
    EXPECT_FLOAT_EQ(p.orientation.z, 1.0f);
    EXPECT_EQ(ConsoleRecorder::Line(), " next");

    p = Position("alarm");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.printed, std::vector<std::string>{"Invalid dummy object specified."});
    EXPECT_FALSE(Position("Window").ok);

    Vector3 position{0, 0, 0};
    ConsoleRecorder::SetLine("door");
    EXPECT_TRUE(TvParsePosition(position)) << "the orientation is optional";
}

TEST_F(ConsoleArgsTest, AnEmptyPositionArgumentIsTheCursorsGroundPoint) {
    Parsed p = Position("  ");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.printed, std::vector<std::string>{ConsoleRecorder::String(11020)}) << "no level world";

    LevelWorld& world = MakeFloor(2, 2);
    p = Position("");
    EXPECT_FALSE(p.ok) << "no ground point under the cursor yet";
    world.cursorPoint = {1.5f, 0.0f, 2.5f};
    world.cursorPointValid = 1;
    p = Position("");
    EXPECT_TRUE(p.ok);
    ExpectVector(p.position, 1.5f, 0, 2.5f);
}

class TokenActor : public ServerObject {
public:
    explicit TokenActor(int32_t id) : ServerObject(1, nullptr, {0, 0, 0}, {0, 0, 0, 1}, kActorFlagsPlain, id) {}
};

TEST_F(ConsoleArgsTest, ActorsAreFoundThroughTheirTokensAndMustBeAlive) {
    ServerObject* alive = new TokenActor(40);
    ServerObject* dead = new TokenActor(41);
    dead->Dead = true;
    TokenTable::Set("Guard", 40.9f); // ids floor
    TokenTable::Set("Corpse", 41.0f);
    TokenTable::Set("Ghost", 99.0f);

    const ServerObject* untouched = reinterpret_cast<ServerObject*>(0x10);
    struct {
        const char* line;
        bool found;
        const ServerObject* actor;
    } const cases[] = {
        {"guard", true, alive},       {"Corpse", false, dead}, {"Ghost", false, nullptr},
        {"Nobody", false, untouched}, {"", false, untouched},
    };
    for (const auto& c : cases) {
        ServerObject* actor = const_cast<ServerObject*>(untouched);
        ConsoleRecorder::SetLine(c.line);
        EXPECT_EQ(TvParseActor(actor), c.found) << c.line;
        EXPECT_EQ(actor, c.actor) << c.line;
    }
    EXPECT_TRUE(console.lines.empty());
}

TEST_F(ConsoleArgsTest, SelectTakesAnIdOrTheObjectUnderTheCursor) {
    EXPECT_TRUE(Run(&TvCmdSelect, " 12").empty());
    EXPECT_EQ(SelectedActorId, 12);
    EXPECT_EQ(NoActorSelected, 0);

    const std::vector<std::string> nothingUnderCursor{ConsoleRecorder::String(11028)};
    EXPECT_EQ(Run(&TvCmdSelect, ""), nothingUnderCursor);
    EXPECT_EQ(SelectedActorId, 12) << "the previous selection stays";

    ASSERT_TRUE(TvAttachClient(nullptr, 0));
    EXPECT_EQ(Run(&TvCmdSelect, " -1"), nothingUnderCursor) << "attached, but nothing under the cursor";
    ASSERT_NE(ClientObjectWithId(30, true), nullptr);
    EXPECT_TRUE(Run(&TvCmdSelect, "").empty());
    EXPECT_EQ(SelectedActorId, 30);

    CurrentGameState = kGameStateFrontEnd;
    EXPECT_EQ(Run(&TvCmdSelect, " 5"), std::vector<std::string>{ConsoleRecorder::String(11019)});
    EXPECT_EQ(SelectedActorId, 30);
}

TEST_F(ConsoleArgsTest, WatchMarksASelectionAndTheStatusWindowEvenWhenItFails) {
    EXPECT_EQ(Run(&TvCmdWatch, ""), std::vector<std::string>{ConsoleRecorder::String(11028)});
    EXPECT_EQ(NoActorSelected, 0);
    EXPECT_EQ(SelectedActorId, -1);
    EXPECT_EQ(StatusWindowMode, 2);

    StatusWindowMode = 0;
    EXPECT_TRUE(Run(&TvCmdWatch, " 8").empty());
    EXPECT_EQ(SelectedActorId, 8);
    EXPECT_EQ(StatusWindowMode, 2);

    TvResetCommandArgs();
    StatusWindowMode = 0;
    CurrentGameState = kGameStateFrontEnd;
    EXPECT_EQ(Run(&TvCmdWatch, " 8"), std::vector<std::string>{ConsoleRecorder::String(11019)});
    EXPECT_EQ(SelectedActorId, -1);
    EXPECT_EQ(NoActorSelected, 0);
    EXPECT_EQ(StatusWindowMode, 2);
}

TEST_F(ConsoleArgsTest, GetSelectedReportsTheSelectedObjectAndSelectsIt) {
    TvRegisterCommand("SELECT", "", &TvCmdSelect, 1);
    EXPECT_TRUE(Run(&TvCmdGetSelected, "").empty()) << "no client attached: nothing";
    EXPECT_TRUE(serviceCalls.empty());

    ASSERT_TRUE(TvAttachClient(nullptr, 0));
    EXPECT_TRUE(Run(&TvCmdGetSelected, "").empty()) << "nothing selected: nothing";
    float res = 0.0f;
    EXPECT_FALSE(TokenTable::Get("RES", res));
    EXPECT_EQ(NoActorSelected, 1);

    ClientObject* object = ClientObjectWithId(23, false);
    ASSERT_NE(object, nullptr);
    TvSelectObject(object);
    EXPECT_EQ(Run(&TvCmdGetSelected, ""),
              std::vector<std::string>{ConsoleRecorder::String(12022) + "23" + ConsoleRecorder::String(12008)});
    EXPECT_EQ(serviceCalls, (std::vector<std::string>{"next", "previous", "next", "previous"}));
    ASSERT_TRUE(TokenTable::Get("RES", res));
    EXPECT_FLOAT_EQ(res, 23.0f);
    EXPECT_EQ(SelectedActorId, 23);
    EXPECT_EQ(NoActorSelected, 0);
    EXPECT_EQ(ConsoleRecorder::Line(), "");

    CurrentGameState = kGameStateFrontEnd;
    EXPECT_EQ(Run(&TvCmdGetSelected, ""), std::vector<std::string>{ConsoleRecorder::String(11019)});
}

} // namespace
