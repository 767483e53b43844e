// The client object factory: the class a definition chooses, the makers that
// classes register, the ids of announced and client-made objects, and the
// cooperative game's lead characters. Main thread only (no server thread runs).
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "Tv/client/client_factory.h"
#include "Tv/client/client_objects.h"
#include "Tv/server/client_link.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/session_players.h"
#include "core/clock.h"
#include "tests/tv/server_fixture.h"

namespace {

constexpr Quaternion kIdentity{0, 0, 0, 1};

class ClientFactoryTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        TvResetClientObjects();
    }
    void TearDown() override {
        ReleaseAllClientObjects();
        for (int32_t c = 0; c < static_cast<int32_t>(ClientObjectClass::Count); ++c)
            SetClientObjectMaker(static_cast<ClientObjectClass>(c), nullptr);
        CurrentGameType = kGameStory;
        for (int32_t k = 0; k < 4; ++k) CoopCharacterTable[k] = 1;
        CoopCharacterTable[4] = 0;
        TvSetSessionPlayers({});
        ServerTest::TearDown();
    }
    // A definition with that AI core; a character with that weapon (none for -1); a projectile when asked.
    ObjectDefinition* Definition(int32_t aiCore, int32_t weapon, bool projectile = false, const char* name = "thing") {
        ObjectDefinition* definition = MakeDefinition(name, aiCore, weapon >= 0, projectile);
        if (weapon >= 0) definition->character->weapon = weapon;
        return definition;
    }
    void SetPlayers(int32_t count) {
        std::vector<std::pair<plat::DpId, const char*>> players;
        for (int32_t i = 0; i < count; ++i) players.emplace_back(0x100 + i, "player");
        TvSetSessionPlayers(players);
    }
};

TEST_F(ClientFactoryTest, TheClassComesFromTheAiCoreElseFromTheCharacter) {
    using C = ClientObjectClass;
    struct Case {
        int32_t aiCore, weapon; // weapon -1: no character
        bool projectile;
        C expected;
    };
    const Case cases[] = {
        {0, 5, false, C::Bot},
        {2, 33, false, C::Unit},
        {5, -1, false, C::Blocker},
        {8, -1, false, C::TrackObject},
        {9, -1, false, C::Tumbleweed},
        {10, -1, true, C::Pickup},
        {11, -1, false, C::BackgroundCreature},
        {12, -1, false, C::FlyingCreature},
        {13, -1, false, C::Centipede},
        {14, -1, false, C::Centibody},
        {15, -1, false, C::Node},
        {16, -1, false, C::Node},
        {18, -1, false, C::Popup},
        {19, -1, false, C::President},
        {20, -1, false, C::Turret},
        // "scavenger" and the other cores without a class of their own
        {1, 33, false, C::Unit},
        {1, 5, false, C::Bot},
        {1, 0, false, C::Bot},
        {3, 33, false, C::Unit},
        {17, 7, false, C::Bot},
        {21, 33, false, C::Unit},
        {1, -1, false, C::Object},
        {1, -1, true, C::None},
        {6, 12, true, C::Bot},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ChooseClientObjectClass(*Definition(c.aiCore, c.weapon, c.projectile)))
            << "core " << c.aiCore << " weapon " << c.weapon << " projectile " << c.projectile;
}

TEST_F(ClientFactoryTest, ClassesWithoutAMakerAreBuiltAsPlainObjects) {
    static std::vector<int32_t> made;
    made.clear();
    SetClientObjectMaker(ClientObjectClass::Unit,
                         [](int32_t team, const ObjectDefinition* definition, const Vector3& position,
                            const Quaternion& orientation, int32_t id) -> ClientObject* {
                             made.push_back(id);
                             return new ClientObject(team, definition, position, orientation, kClientFlagsPlain, id);
                         });
    EXPECT_EQ(0, TvCreateClientObject(2, *Definition(1, 33), Vector3(1, 2, 3), kIdentity));
    EXPECT_EQ(std::vector<int32_t>{0}, made) << "the unit's maker";
    EXPECT_EQ(1, TvCreateClientObject(2, *Definition(1, 5), Vector3(1, 2, 3), kIdentity)) << "a bot, built plain";
    const ClientObject* bot = TvFindClientObject(1);
    ASSERT_NE(nullptr, bot);
    EXPECT_EQ(2, bot->Team);
    EXPECT_EQ(3.0f, bot->Position.z);
    EXPECT_EQ(std::vector<int32_t>{0}, made);
}

TEST_F(ClientFactoryTest, ClientMadeIdsCountFromZeroAndAnnouncedOnesKeepTheServersId) {
    const ObjectDefinition* crate = Definition(1, -1);
    const ObjectDefinition* shot = Definition(1, -1, true);
    EXPECT_EQ(0, TvCreateClientObject(1, *crate, Vector3(0, 0, 0), kIdentity));
    EXPECT_EQ(-1, TvCreateClientObject(1, *shot, Vector3(0, 0, 0), kIdentity)) << "a shot without a character";
    EXPECT_EQ(1, TvCreateClientObject(1, *crate, Vector3(0, 0, 0), kIdentity));
    EXPECT_EQ(40, TvNewClientObject(1, *crate, Vector3(0, 0, 0), kIdentity, 40, 0));
    EXPECT_EQ(-1, TvNewClientObject(1, *shot, Vector3(0, 0, 0), kIdentity, 41, 0));
    EXPECT_EQ(nullptr, TvFindClientObject(41));
    EXPECT_EQ(-1, TvNewClientObject(1, *crate, Vector3(0, 0, 0), kIdentity, 40, 0)) << "id 40 lives";
    EXPECT_EQ(2, TvCreateClientObject(1, *crate, Vector3(0, 0, 0), kIdentity));
    EXPECT_EQ(3, ClientObjectIdCounter);
    EXPECT_EQ(4, ClientObjectHash.Count());

    // Announced objects start at once; client-made ones wait for the level start.
    GameClock.SetSeconds(50.0f);
    EXPECT_EQ(42, TvNewClientObject(1, *crate, Vector3(0, 0, 0), kIdentity, 42, 0));
    EXPECT_EQ(GameClock.GetSeconds(), TvFindClientObject(42)->LastSeconds);
    EXPECT_EQ(0.0f, TvFindClientObject(2)->LastSeconds);

    TvResetClientObjects();
    EXPECT_EQ(0, ClientObjectIdCounter);
}

TEST_F(ClientFactoryTest, AnUnknownTrackLeavesTheRiderWhereItWasAnnounced) {
    const ObjectDefinition* crate = Definition(1, -1);
    TvNewClientObject(1, *crate, Vector3(0, 0, 0), kIdentity, 5, 0); // a plain object, not a track
    EXPECT_EQ(6, TvNewClientObject(1, *crate, Vector3(4, 0, 0), kIdentity, 6, 5 + 1));
    EXPECT_EQ(7, TvNewClientObject(1, *crate, Vector3(4, 0, 0), kIdentity, 7, 99 + 1));
    for (const int32_t id : {6, 7}) {
        const ClientObject* rider = TvFindClientObject(id);
        EXPECT_EQ(0, rider->RideCount);
        EXPECT_FALSE(rider->Controlled);
        EXPECT_EQ(4.0f, rider->Position.x);
    }
}

TEST_F(ClientFactoryTest, CooperativeLeadCharactersOfTeamOneGoToTheirPlayersTeams) {
    struct Case {
        int32_t gameType;
        int32_t players;
        const char* name;
        int32_t team;
        int32_t position; // CoopCharacterTable's entry for DODO
        int32_t expected;
    };
    const Case cases[] = {
        {kGameCooperative, 2, "DODO", 1, 1, 3},      // PlayerSlots[2 - 1]
        {kGameCooperative, 2, "dodo", 1, 2, 1},      // PlayerSlots[0]
        {kGameCooperative, 2, "DODO", 1, 0, 1},      // shift 0 keeps team 1
        {kGameCooperative, 4, "DODO", 1, 0, 1},      // index 4 lies outside the table
        {kGameCooperative, 2, "DODO", 1, 3, 1},      // index -1 lies outside the table
        {kGameCooperative, 4, "DODO", 1, 1, 5},      // PlayerSlots[3]
        {kGameCooperative, 2, "DODO", 2, 1, 2},      // other teams pass unchanged
        {kGameCooperative, 2, "crate", 1, 1, 1},     // not a lead character
        {kGameLastLeadStanding, 2, "DODO", 1, 1, 1}, // outside the cooperative game
    };
    for (const Case& c : cases) {
        CurrentGameType = c.gameType;
        SetPlayers(c.players);
        CoopCharacterTable[2] = c.position;
        const int32_t id = TvCreateClientObject(c.team, *Definition(1, 33, false, c.name), Vector3(0, 0, 0), kIdentity);
        ASSERT_NE(-1, id);
        EXPECT_EQ(c.expected, TvFindClientObject(id)->Team)
            << c.name << " of team " << c.team << ", " << c.players << " players, position " << c.position;
    }
}

TEST_F(ClientFactoryTest, ARecorderStandsInForTheFactoryAndAttachesTheClient) {
    static std::vector<int32_t> teams;
    teams.clear();
    ASSERT_FALSE(TvIsClientAttached());
    const ObjectFactory previous = InstallClientObjectFactory(
        [](int32_t team, const ObjectDefinition&, const Vector3&, const Quaternion&) -> int32_t {
            teams.push_back(team);
            return 77;
        });
    EXPECT_EQ(nullptr, previous);
    EXPECT_TRUE(TvIsClientAttached());
    EXPECT_EQ(77, TvCreateClientObject(4, *Definition(1, -1), Vector3(0, 0, 0), kIdentity));
    EXPECT_EQ(0, ClientObjectHash.Count());
    EXPECT_EQ(0, ClientObjectIdCounter);
    InstallClientObjectFactory(previous);
    EXPECT_FALSE(TvIsClientAttached());
    EXPECT_EQ(std::vector<int32_t>{4}, teams);
}

} // namespace
