// Records that create, remove, damage, move and change client objects.

#include <cmath>
#include <limits>

#include "Awapi/bounding_box.h"
#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/game_settings.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "tests/tv/client_effects_fixture.h"
#include "tests/tv/flat_level.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

struct CreateFields {
    int32_t id = 40;
    int32_t team = 2;
    Vector3 position{1, 2, 3};
    Quaternion orientation{0, 0, 0, 1};
};

ByteWriter CreateRecord(int32_t definitionId, const CreateFields& f) {
    ByteWriter w;
    w.I32(100);
    w.I32(f.id);
    w.I32(definitionId);
    w.U8(static_cast<uint8_t>(f.team));
    w.Zeros(3);
    w.I32(0);
    WritePosition(w, f.position);
    WriteOrientation(w, f.orientation);
    return w;
}

ByteWriter DamageRecord(int32_t type, int32_t id, float health, float shield = 0, float armour = 0) {
    ByteWriter w = Record(type, {id});
    w.F32(health);
    w.F32(shield);
    w.F32(armour);
    return w;
}

ByteWriter MoveRecord(int32_t type, int32_t id, float seconds, const Vector3& position) {
    ByteWriter w = Record(type, {id});
    w.F32(seconds);
    WritePosition(w, position);
    WriteOrientation(w, Quaternion{0, 0, 0, 1});
    return w;
}

class ClientDispatchObjects : public ClientEffectsTest {};

// An object that counts as one of the local player's once told so, as units do.
class LocalMember final : public ClientObject {
public:
    LocalMember(const ObjectDefinition* definition, int32_t id, const Vector3& position)
        : ClientObject(1, definition, position, Quaternion{0, 0, 0, 1}, kClientFlagsPlain, id) {}
    bool IsInLocalTeam() const override { return true; }
};

TEST_F(ClientDispatchObjects, OwnerNoticeListsOnlyObjectsThatCountAsLocalAndOnlyOnce) {
    LocalTeam = 1;
    CurrentGameType = kGameLastLeadStanding;
    CameraFocus = Vector3(0, 0, 0);
    MakeClientObject(3);
    Dispatch(Record(3, {3})); // no unit: it would stay listed after it is gone
    EXPECT_TRUE(LocalTeamObjects.IsEmpty());

    auto* member = new LocalMember(MakeDefinition("robot", 1), 4, {5, 0, 6});
    Dispatch(Record(3, {4}));
    Dispatch(Record(3, {4}));
    EXPECT_EQ(LocalTeamObjects.Count(), 1);
    EXPECT_TRUE(LocalTeamObjects.Contains(member));
    EXPECT_FLOAT_EQ(CameraFocus.z, 6.0f);
    EXPECT_EQ(Calls("rebuildCharacterPlates"), 1);
    CurrentGameType = kGameStory;
}

TEST_F(ClientDispatchObjects, CreateBuildsTheTwinAndRemoveEndsItOnce) {
    const ObjectDefinition* definition = MakeDefinition("crate", 1, false, false, true);
    Dispatch(CreateRecord(definition->id, {}));
    ClientObject* object = TvFindClientObject(40);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->Team, 2);
    EXPECT_EQ(object->Definition, definition);
    EXPECT_FLOAT_EQ(object->Position.z, 3.0f);

    Dispatch(Record(73, {40}));
    EXPECT_EQ(TvFindClientObject(40), nullptr);
    Dispatch(Record(73, {40})); // nothing left to remove: applied as a no-op
    EXPECT_TRUE(drops.reasons.empty());
}

TEST_F(ClientDispatchObjects, CreateWithUnknownDefinitionMakesNothingAndIsNotADrop) {
    Dispatch(CreateRecord(9999, {}));
    EXPECT_EQ(TvFindClientObject(40), nullptr);
    EXPECT_TRUE(drops.reasons.empty());
}

TEST_F(ClientDispatchObjects, CreateRefusesBadFieldsAndTakenIds) {
    const ObjectDefinition* definition = MakeDefinition("crate", 1, false, false, true);
    MakeClientObject(7);
    const struct {
        const char* what;
        CreateFields fields;
    } cases[] = {
        {"position not finite", {40, 2, {kNaN, 0, 0}, {0, 0, 0, 1}}},
        {"orientation not finite", {40, 2, {0, 0, 0}, {0, kInfinity, 0, 1}}},
        {"team past the table", {40, 10, {0, 0, 0}, {0, 0, 0, 1}}},
        {"id already in use", {7, 2, {0, 0, 0}, {0, 0, 0, 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectDropped(CreateRecord(definition->id, c.fields));
        EXPECT_EQ(TvFindClientObject(40), nullptr);
    }
    EXPECT_FLOAT_EQ(TvFindClientObject(7)->Position.z, 0.0f); // the object holding the id is left alone
}

TEST_F(ClientDispatchObjects, DestroyedRemovesBelowAThousandthOfHealthOnly) {
    ObjectDefinition* definition = MakeDefinition("robot", 1, true, false, true);
    definition->character->strength = 1.0f;
    const struct {
        float health;
        bool removed;
    } cases[] = {{0.0005f, true}, {0.001f, false}, {0.0f, true}}; // a unit without health has none left
    int32_t id = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.health);
        TvBuildClientObject(1, *definition, {0, 0, 0}, Quaternion{0, 0, 0, 1}, id);
        const int32_t destroyedBefore = Calls("destroyed");
        Dispatch(DamageRecord(56, id, c.health, 0, 4.0f));
        ClientObject* object = TvFindClientObject(id);
        EXPECT_EQ(object == nullptr, c.removed);
        EXPECT_EQ(Calls("destroyed") - destroyedBefore, c.removed ? 1 : 0);
        if (object) {
            EXPECT_FLOAT_EQ(object->Health, c.health);
            EXPECT_FLOAT_EQ(object->Armour, 4.0f);
        }
        ++id;
    }
}

TEST_F(ClientDispatchObjects, DamageShowsTheFractionLostAndKeepsTheObject) {
    ObjectDefinition* definition = MakeDefinition("robot", 1, true, false, true);
    definition->character->strength = 200.0f;
    TvBuildClientObject(1, *definition, {0, 0, 0}, Quaternion{0, 0, 0, 1}, 5);
    Dispatch(DamageRecord(55, 5, 150.0f));
    Dispatch(DamageRecord(55, 5, 170.0f)); // healed: no panel
    ASSERT_EQ(damageFractions.size(), 1u);
    EXPECT_FLOAT_EQ(damageFractions[0], 0.25f);
    EXPECT_FLOAT_EQ(TvFindClientObject(5)->Health, 170.0f);
    EXPECT_EQ(Calls("destroyed"), 0);

    ExpectDropped(DamageRecord(55, 5, kNaN));
    ExpectDropped(DamageRecord(56, 5, 0.0f, kInfinity));
    EXPECT_FLOAT_EQ(TvFindClientObject(5)->Health, 170.0f);
}

// An object that keeps a shield, as bots do.
class Shielded final : public ClientObject {
public:
    Shielded(const ObjectDefinition* definition, int32_t id)
        : ClientObject(2, definition, {0, 0, 0}, Quaternion{0, 0, 0, 1}, kClientFlagsPlain, id) {}
    Real GetShield() const override { return Shield; }
    void SetShield(Real shield) override { Shield = shield; }
    Real Shield = 50.0f;
};

TEST_F(ClientDispatchObjects, DamageBelowTheShieldShowsTheShieldHit) {
    auto* object = new Shielded(MakeDefinition("drone", 1), 8);
    Dispatch(DamageRecord(55, 8, 0, 60.0f)); // raised: no hit
    Dispatch(DamageRecord(55, 8, 0, 20.0f));
    Dispatch(DamageRecord(56, 8, 0, 10.0f)); // destruction shows no shield hit
    EXPECT_EQ(Calls("shieldHit"), 1);
    EXPECT_FLOAT_EQ(object->Shield, 10.0f);
}

TEST_F(ClientDispatchObjects, MoveStoresNowForAFutureTimeAndSkipsCutsceneHeldObjects) {
    ClientObject* object = MakeClientObject(3);
    const float now = GameClock.GetSeconds();
    Dispatch(MoveRecord(111, 3, now + 50.0f, {4, 5, 6}));
    EXPECT_FLOAT_EQ(object->Position.x, 4.0f);
    EXPECT_FLOAT_EQ(object->MoveSeconds[0], now);

    object->ShownInCutscene = 1;
    Dispatch(MoveRecord(112, 3, now, {7, 7, 7}));
    EXPECT_FLOAT_EQ(object->Position.x, 4.0f);

    ExpectDropped(MoveRecord(111, 3, kNaN, {1, 1, 1}));
    ExpectDropped(MoveRecord(112, 3, now, {kInfinity, 0, 0}));
}

TEST_F(ClientDispatchObjects, OwnerChangeDeselectsAndRefusesTeamsPastTheTable) {
    ClientObject* object = MakeClientObject(3);
    TvSelectObject(object);
    Dispatch(Record(80, {3, 4}));
    EXPECT_EQ(object->Team, 4);
    EXPECT_FALSE(TvIsObjectSelected(object));

    for (int32_t team : {-1, 10}) ExpectDropped(Record(80, {3, team}));
    EXPECT_EQ(object->Team, 4);
}

TEST_F(ClientDispatchObjects, ModeWordAndStateValuesAreKept) {
    ClientObject* object = MakeClientObject(3);
    Dispatch(Record(62, {3, 0x1234}));
    EXPECT_EQ(object->ModeWord, 0x1234);

    ByteWriter marks = Record(86, {3});
    marks.F32(1.5f);
    marks.F32(2.5f);
    Dispatch(marks);
    EXPECT_FLOAT_EQ(object->MarkValueB, 2.5f);
    Dispatch(Record(87, {3}));
    EXPECT_FLOAT_EQ(object->MarkValueB, 0.0f);

    ByteWriter health = Record(149, {3});
    health.F32(kNaN);
    ExpectDropped(health);
}

TEST_F(ClientDispatchObjects, FollowOrderNeedsAPolygonOfTheLevel) {
    MakeClientObject(3);
    // No level world is loaded: no index names a polygon.
    for (int32_t index : {-1, 0, 5}) ExpectDropped(Record(58, {0, index, 1, 0, 3}));

    MakeFlatLevelWorld(2, 10.0f);
    const int32_t slots = static_cast<int32_t>(LevelWorldInstance->polygonTable.size());
    for (int32_t index : {-1, slots}) ExpectDropped(Record(58, {0, index, 1, 0, 3}));
    Dispatch(Record(58, {0, 0, 1, 0, 3}));
    EXPECT_EQ(drops.reasons.size(), 5u);
    TvReleaseLevelWorld();
}

TEST_F(ClientDispatchObjects, ClassOperationsOnAPlainObjectDoNothing) {
    const ObjectDefinition* effect = MakeDefinition("cloak", 1, false, false, true);
    ClientObject* object = MakeClientObject(3);
    ByteWriter cloak = Record(157, {3, effect->id});
    cloak.F32(1.0f);
    cloak.F32(2.0f);
    Dispatch(cloak);
    EXPECT_TRUE(seen.sounds.empty()); // a plain object is no unit: no cloak, no sound
    for (int32_t type : {101, 102, 134, 151}) Dispatch(Record(type, {3}));
    EXPECT_TRUE(drops.reasons.empty());
    EXPECT_FALSE(object->IsCloaked());

    // A unit gets the cloak and its sound.
    TvBuildClientObject(1, *MakeDefinition("robot", 1, true), {0, 0, 0}, Quaternion{0, 0, 0, 1}, 9);
    ClientObject* unit = TvFindClientObject(9);
    ASSERT_TRUE(unit && unit->IsUnit());
    ByteWriter unitCloak = Record(157, {9, effect->id});
    unitCloak.F32(1.0f);
    unitCloak.F32(2.0f);
    Dispatch(unitCloak);
    EXPECT_TRUE(unit->IsCloaked());
    EXPECT_EQ(seen.sounds, (std::vector<SeenSound>{{35, ""}}));
}

TEST_F(ClientDispatchObjects, SeverRefusesANewIdInUse) {
    MakeClientObject(3);
    MakeClientObject(4);
    ExpectDropped(Record(139, {3, 4, 0}));
}

TEST_F(ClientDispatchObjects, RemoveBoundsDeletesEveryBoxBelowTheRoot) {
    ObjectDefinition* definition = MakeShapedDefinition("statue");
    TvBuildClientObject(0, *definition, {0, 0, 0}, Quaternion{0, 0, 0, 1}, 6);
    ClientObject* object = TvFindClientObject(6);
    ASSERT_NE(object->Model, nullptr);
    AwShapeInstance* child = new AwShapeInstance(definition->shape, true);
    AwShapeInstance* grandchild = new AwShapeInstance(definition->shape, true);
    child->AddChild(grandchild);
    object->Model->Root->AddChild(child);
    ASSERT_NE(child->Box, nullptr);

    Dispatch(Record(187, {6}));
    EXPECT_EQ(object->Model->Box, nullptr);
    EXPECT_EQ(child->Box, nullptr);
    EXPECT_EQ(grandchild->Box, nullptr);
}

} // namespace
