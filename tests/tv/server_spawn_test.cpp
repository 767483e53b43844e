// Creating and removing actors, and firing projectiles.
#include <cmath>

#include "Tv/server/actor_actions.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/lead_characters.h"
#include "Tv/server/message_types.h"
#include "Tv/server/projectile_launch.h"
#include "Tv/server/server.h"
#include "Tv/server/server_state.h"
#include "Tv/server/session_players.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "Tv/world/collision_polygon.h"
#include "core/clock.h"
#include "core/matrix.h"
#include "tests/tv/server_fixture.h"

namespace {

using ServerSpawnTest = ServerTest;

constexpr Quaternion kTurned{0.0f, 0.5f, 0.0f, 0.8660254f};

TEST_F(ServerSpawnTest, SpawnAnnouncesTheActorWithMessage100) {
    ObjectDefinition* crate = MakeDefinition("crate", 1);
    StartServer();
    ActorIdCounter = 7;
    const int32_t id = TvSpawnActor(3, crate, {1.5f, -2.0f, 3.25f}, kTurned, -1);
    EXPECT_EQ(id, 7);
    EXPECT_EQ(TvGetServerLockCount(), 0);
    const std::vector<RecordedMessage> created = recorder.Sent(MSG_CREATE_OBJECT);
    ASSERT_EQ(created.size(), 1u);
    const std::vector<uint8_t>& bytes = created[0].bytes;
    ASSERT_EQ(bytes.size(), 48u);
    EXPECT_EQ(MessageInt(bytes, 4), 7);
    EXPECT_EQ(MessageInt(bytes, 8), crate->id);
    EXPECT_EQ(bytes[12], 3);
    EXPECT_EQ(bytes[13] | bytes[14] | bytes[15], 0) << "the unset bytes are zero";
    EXPECT_EQ(MessageInt(bytes, 16), 0) << "no track";
    EXPECT_EQ(MessageFloat(bytes, 20), 1.5f);
    EXPECT_EQ(MessageFloat(bytes, 24), -2.0f);
    EXPECT_EQ(MessageFloat(bytes, 28), 3.25f);
    EXPECT_EQ(MessageFloat(bytes, 36), 0.5f);
    EXPECT_EQ(MessageFloat(bytes, 44), 0.8660254f);
    ServerObject* actor = TvFindActor(id);
    ASSERT_NE(actor, nullptr);
    EXPECT_EQ(actor->Team, 3);
    EXPECT_EQ(TeamActorListOf(3)->Count(), 1);
    EXPECT_EQ(actor->AiCore, 1);
}

TEST_F(ServerSpawnTest, ASpawnOntoALiftMemberTakesTheHeightOfItsFloor) {
    CollisionPolygonOf<3> floor;
    floor.SetReferencePoint(0.0f, -7.5f, 0.0f);
    ObjectDefinition* crate = MakeDefinition("crate", 1);
    ServerObject* member = MakeActor(0);
    member->FloorPolygon = &floor;
    StartServer();
    const int32_t id = TvSpawnActor(0, crate, {3, 1, 4}, kTurned, member->Id);
    const std::vector<RecordedMessage> created = recorder.Sent(MSG_CREATE_OBJECT);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(MessageFloat(created[0].bytes, 24), -7.5f);
    EXPECT_EQ(MessageFloat(created[0].bytes, 20), 3.0f);
    EXPECT_EQ(MessageInt(created[0].bytes, 16), 0) << "no lift carries the member";
    EXPECT_EQ(TvFindActor(id)->Position.y, -7.5f);
    member->FloorPolygon = nullptr;
}

TEST_F(ServerSpawnTest, NodeWaitingGetsItsCore) {
    // No node class yet: a maker stands in for it.
    SetServerActorMaker(ServerActorClass::Node,
                        [](int32_t team, const ObjectDefinition* d, const Vector3& p, const Quaternion& q,
                           int32_t id) -> ServerObject* { return new ServerObject(team, d, p, q, kActorFlagsPlain, id); });
    ObjectDefinition* node = MakeDefinition("node", 16);
    StartServer();
    const int32_t id = TvSpawnActor(2, node, {0, 0, 0}, kTurned, -1);
    ASSERT_NE(TvFindActor(id), nullptr);
    EXPECT_EQ(TvFindActor(id)->AiCore, 16);
    SetServerActorMaker(ServerActorClass::Node, nullptr);
}

TEST_F(ServerSpawnTest, DefinitionsWithoutAClassGiveNoActorAndFreeTheLock) {
    ObjectDefinition* shot = MakeDefinition("shot", 1, false, true); // projectiles are fired, never placed
    StartServer();
    for (ObjectDefinition* definition : {shot}) {
        EXPECT_EQ(TvSpawnActor(1, definition, {0, 0, 0}, kTurned, -1), 0);
        EXPECT_EQ(TvCreateServerActor(1, definition, {0, 0, 0}, kTurned), -1);
        EXPECT_EQ(TvGetServerLockCount(), 0);
    }
    EXPECT_EQ(ActorIdCounter, 0) << "no id was used";
    EXPECT_EQ(ServerActorHash.Count(), 0);
    EXPECT_EQ(recorder.CountSent(MSG_CREATE_OBJECT), 0);
}

TEST_F(ServerSpawnTest, KillActorAndKillTeam) {
    StartServer();
    const int32_t a = MakeActor(2)->Id;
    MakeActor(2);
    ServerObject* c = MakeActor(1);
    EXPECT_FALSE(TvKillActor(999));
    EXPECT_TRUE(TvKillActor(a));
    EXPECT_EQ(TvFindActor(a), nullptr);
    TvKillTeam(2);
    EXPECT_EQ(recorder.CountSent(MSG_REMOVE_OBJECT), 2);
    EXPECT_EQ(TeamActorListOf(2)->Count(), 0);
    EXPECT_EQ(TvFindActor(c->Id), c);
    EXPECT_FALSE(GameOverFlag) << "team 2 is not the local team";
    TvKillTeam(12); // no such team
    EXPECT_EQ(TvGetServerLockCount(), 0);
}

TEST(ServerCoopTeams, LeadCharactersGoToTheTeamOfTheirLobbyPosition) {
    const std::vector<std::pair<plat::DpId, const char*>> three = {{0x100, "a"}, {0x101, "b"}, {0x102, "c"}};
    TvSetSessionPlayers(three);
    struct Case {
        int32_t position;
        int32_t team;
    };
    // Position P = 3 plays team 1, position 1 team P + 1; 0 (nobody) gives team 1; others keep the team.
    const Case cases[] = {{3, 1}, {2, 3}, {1, 4}, {0, 1}, {4, 7}, {-1, 7}};
    for (const Case& c : cases) {
        CoopCharacterTable[4] = c.position;
        EXPECT_EQ(TvCoopTeamOf("drevanis", 7), c.team) << "position " << c.position;
    }
    EXPECT_EQ(TvCoopTeamOf("crate", 7), 7);
    EXPECT_EQ(TvCoopTeamOf(nullptr, 7), 7);
    CoopCharacterTable[4] = 0;
    TvSetSessionPlayers({});
}

TEST_F(ServerSpawnTest, TheLevelLoadPutsCooperativeLeadsOnTheirPlayersTeams) {
    MakeSession(2);
    ObjectDefinition* zudad = MakeDefinition("Zudad", 1);
    CoopCharacterTable[1] = 1; // the second player plays Zudad: team 3
    EXPECT_EQ(TvFindActor(TvCreateServerActor(1, zudad, {0, 0, 0}, kTurned))->Team, 1)
        << "only in the cooperative game";
    CurrentGameType = kGameCooperative;
    EXPECT_EQ(TvFindActor(TvCreateServerActor(1, zudad, {0, 0, 0}, kTurned))->Team, 3);
    EXPECT_EQ(TvFindActor(TvCreateServerActor(2, zudad, {0, 0, 0}, kTurned))->Team, 2) << "only team 1 is remapped";
    EXPECT_EQ(recorder.CountSent(MSG_CREATE_OBJECT), 0) << "the level load announces nothing";
}

class ServerProjectileTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        launches.clear();
        SetServerProjectileMaker([](const ProjectileLaunch& launch) -> ServerObject* {
            launches.push_back(launch);
            return new ServerObject(launch.team, launch.definition, launch.from, launch.orientation, kActorFlagsProjectile, launch.id);
        });
    }
    void TearDown() override {
        SetServerProjectileMaker(nullptr);
        ServerTest::TearDown();
    }
    static Vector3 Forward(const Quaternion& q) {
        Vector3 z;
        QuaternionZAxis(z, q);
        return z;
    }
    static inline std::vector<ProjectileLaunch> launches;
};

TEST_F(ServerProjectileTest, TheProjectileIsAnnouncedWithMessage70) {
    ObjectDefinition* shot = MakeDefinition("tavrin_power", 1, false, true);
    ObjectDefinition* lead = MakeDefinition("tavrin", 1, true);
    lead->character->damageMultiplier = 2.5f;
    // No unit class yet: a plain actor stands in for the shooter.
    SetServerActorMaker(ServerActorClass::Unit,
                        [](int32_t team, const ObjectDefinition* d, const Vector3& p, const Quaternion& q,
                           int32_t id) -> ServerObject* { return new ServerObject(team, d, p, q, kActorFlagsPlain, id); });
    StartServer();
    TvLockServer();
    const int32_t shooter = TvCreateServerActor(1, lead, {0, 0, 0}, kTurned);
    EXPECT_TRUE(TvFireProjectile(shot, {1, 2, 3}, {1, 2, 13}, shooter, -1, 5, 15, 150.0f));
    EXPECT_TRUE(TvFireProjectile(shot, {1, 2, 3}, {1, 2, 13}, shooter, -1, 5, 14, 150.0f));
    TvUnlockServer();
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].damageMultiplier, 2.5f) << "kind 15 takes the shooter's multiplier";
    EXPECT_EQ(launches[1].damageMultiplier, 1.0f);
    EXPECT_EQ(launches[0].id, shooter + 1);

    const std::vector<RecordedMessage> fired = recorder.Sent(MSG_PROJECTILE_FIRED);
    ASSERT_EQ(fired.size(), 2u);
    const std::vector<uint8_t>& bytes = fired[0].bytes;
    ASSERT_EQ(bytes.size(), 64u);
    EXPECT_EQ(MessageInt(bytes, 4), shooter);
    EXPECT_EQ(MessageInt(bytes, 8), -1);
    EXPECT_EQ(MessageInt(bytes, 12), shot->id);
    EXPECT_EQ(bytes[16], 5);
    EXPECT_EQ(bytes[17] | bytes[18] | bytes[19], 0) << "the unset bytes are zero";
    EXPECT_EQ(MessageFloat(bytes, 24), 1.0f);
    EXPECT_EQ(MessageFloat(bytes, 32), 3.0f);
    EXPECT_EQ(MessageFloat(bytes, 36), launches[0].orientation.x);
    EXPECT_EQ(MessageFloat(bytes, 48), launches[0].orientation.w);
    EXPECT_EQ(MessageFloat(bytes, 52), 150.0f);
    EXPECT_EQ(MessageInt(bytes, 56), 15);
    EXPECT_EQ(MessageInt(bytes, 60), launches[0].id);
    EXPECT_NE(TvFindActor(launches[0].id), nullptr);
    SetServerActorMaker(ServerActorClass::Unit, nullptr);
}

TEST_F(ServerProjectileTest, WithoutAProjectileClassNothingIsFired) {
    SetServerProjectileMaker(nullptr);
    ObjectDefinition* shot = MakeDefinition("shot", 1, false, true);
    EXPECT_FALSE(TvFireProjectile(shot, {0, 0, 0}, {0, 0, 1}, -1, -1, 0, 33, 10.0f));
    EXPECT_EQ(recorder.CountSent(MSG_PROJECTILE_FIRED), 0);
}

TEST(ServerProjectileAim, TheForwardAxisPointsAtTheTarget) {
    struct Case {
        Vector3 to;
    };
    const Vector3 from{1, 2, 3};
    const Vector3 targets[] = {{1, 2, 13}, {11, 2, 3}, {-4, 2, -2}, {6, -3, 8}, {1, 7, -7}};
    for (const Vector3& to : targets) {
        Vector3 forward;
        QuaternionZAxis(forward, ProjectileAim(from, to, 50.0f, false));
        const Vector3 d = to - from;
        const float length = std::sqrt(Dot(d, d));
        EXPECT_NEAR(forward.x, d.x / length, 0.01f) << to.x << " " << to.y << " " << to.z;
        EXPECT_NEAR(forward.y, d.y / length, 0.01f);
        EXPECT_NEAR(forward.z, d.z / length, 0.01f);
    }
}

TEST(ServerProjectileAim, ALobbedShotClimbsAboveTheStraightLine) {
    Vector3 straight, lobbed;
    QuaternionZAxis(straight, ProjectileAim({0, 0, 0}, {0, 0, 20}, 20.0f, false));
    QuaternionZAxis(lobbed, ProjectileAim({0, 0, 0}, {0, 0, 20}, 20.0f, true));
    EXPECT_NEAR(straight.y, 0.0f, 0.001f);
    // y points down: the flatter of the two launch angles for 20 m at 20 m/s is about 14 degrees up.
    EXPECT_NEAR(lobbed.y, -std::sin(0.5f * std::asin(9.81f * 20.0f / 400.0f)), 0.02f);
}

TEST(ServerProjectileAim, ATargetStraightAboveOrBelowIsAimedStraightUpOrDown) {
    for (bool lobbed : {false, true}) {
        Vector3 up, down;
        QuaternionZAxis(up, ProjectileAim({5, 5, 5}, {5, -5, 5}, 30.0f, lobbed));
        QuaternionZAxis(down, ProjectileAim({5, 5, 5}, {5, 15, 5}, 30.0f, lobbed));
        EXPECT_NEAR(up.y, -1.0f, 0.001f) << lobbed;
        EXPECT_NEAR(down.y, 1.0f, 0.001f) << lobbed;
        EXPECT_TRUE(std::isfinite(up.x) && std::isfinite(up.z));
    }
}

} // namespace
