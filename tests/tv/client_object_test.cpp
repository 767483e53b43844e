// The client object base and its registry: construction (level, fog and pick
// flags, collision entry), the pose, removal and destruction, the local team's
// list, the current object, the per-frame passes, the cloaked look and the
// music's view of the objects. Main thread only (no server thread runs).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/draw_list.h"
#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "Tv/client/client_object_look.h"
#include "Tv/client/client_objects.h"
#include "Tv/client/client_sounds.h"
#include "Tv/effects/effect_calls.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/shell_state.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "core/random.h"
#include "core/serverthread.h"
#include "sound/music_moods.h"
#include "sound/music_object_source.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr Quaternion kIdentity{0, 0, 0, 1};

struct SeenSoundPlay {
    int32_t sample;
    std::string options;
    bool operator==(const SeenSoundPlay&) const = default;
};

// What the test objects saw, in order.
struct Trace {
    std::vector<int32_t> updated;
    std::vector<int32_t> destroyed;
};

// A client object that records its updates and destruction, removes another
// object (or itself) when it updates, and can stand for a unit of the local team.
class TracedObject : public ClientObject {
public:
    TracedObject(Trace& trace, int32_t id, const ObjectDefinition* definition, int32_t team = 1, bool unit = false)
        : ClientObject(team, definition, Vector3(0, 0, 0), kIdentity, kClientFlagsPlain, id), trace_(trace),
          unit_(unit) {}
    ~TracedObject() override { trace_.destroyed.push_back(Id); }
    void Update(uint64_t ticks, Real seconds) override {
        ClientObject::Update(ticks, seconds);
        trace_.updated.push_back(Id);
        if (removes) removes->Remove();
    }
    bool IsUnit() const override { return unit_; }
    bool JoinsLocalTeam() const override { return unit_ && IsAlive(); }
    bool IsInLocalTeam() const override { return unit_; }

    ClientObject* removes = nullptr;

private:
    Trace& trace_;
    const bool unit_;
};

class ClientObjectTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        TvResetClientObjects();
    }
    void TearDown() override {
        ReleaseAllClientObjects();
        EXPECT_EQ(0, ClientObjectHash.Count());
        EXPECT_EQ(0, LocalTeamObjects.Count());
        SetServerThread(0);
        SimTest::TearDown();
    }

    ClientObject* Make(int32_t id, const ObjectDefinition* definition, int32_t flags = kClientFlagsPlain,
                       const Vector3& position = {0, 0, 0}) {
        return new ClientObject(1, definition, position, kIdentity, flags, id);
    }
    ObjectDefinition* Wall(const char* name = "wall") {
        ObjectDefinition* definition = MakeDefinition(name, 1);
        definition->shape = MakeMeshShape({{{-1, 0, 0}, {1, 0, 0}, {1, -2, 0}, {-1, 0, 0}, {1, -2, 0}, {-1, -2, 0}}});
        return definition;
    }
    int32_t CountMeshes() const { return LevelWorldInstance->meshes.Count(); }

    Trace trace;
};

TEST_F(ClientObjectTest, TheLevelComesFromArmourStrengthBeamDelayAndName) {
    struct Case {
        const char* name;
        Real armour, strength; // strength 0: no character record
        int32_t beamDelay;
        Real level;
    };
    const Case cases[] = {
        {"robot", 0, 10, -1, 11},  // floor(15.0) mod 5 + 1, then 10 more beyond the beam's reach
        {"crate", 1, 2, 0, 2},     // floor(3.0 + 3.2) mod 5 + 1
        {"crate", 1, 2, 25, 7},    // plus a fifth of the delay
        {"crate", 1, 2, 40, 9},    // capped
        {"crate", 0, 0, 0, 1},     //
        {"oildrum", 4, 80, 10, 0}, // the barrels show none
        {"BloBarrel", 1, 2, -1, 0},
    };
    int32_t id = 0;
    for (const Case& c : cases) {
        ObjectDefinition* definition = MakeDefinition(c.name, 1, c.strength > 0);
        if (c.strength > 0) definition->character->strength = c.strength;
        definition->armour = c.armour;
        definition->interfaceBeamDelay = c.beamDelay;
        const ClientObject* object = Make(id++, definition);
        EXPECT_EQ(c.level, object->Level) << c.name << " armour " << c.armour << " strength " << c.strength;
        EXPECT_EQ(c.strength, object->Health);
        EXPECT_EQ(304, object->GetSize());
    }
}

TEST_F(ClientObjectTest, TheFogAndPickFlagsComeFromTheDefinitionAndTheConstructionFlags) {
    struct Case {
        uint8_t definitionFlags;
        int32_t constructionFlags;
        uint32_t renderFlags;
        bool ignoresFog;
    };
    const Case cases[] = {
        {0, 0, kRenderPickable, true},
        {kDefinitionAlphaFogging, 0, kRenderPickable | kRenderAlphaFog, false},
        {0, 1, kRenderPickable | kRenderAlphaFog, false}, // construction bit 0
        {kDefinitionPerVertexFogging, 0, kRenderPickable | kRenderPerVertexFog, false},
        {kDefinitionAlphaFogging, 2, kRenderPickable, true}, // bit 1 wins over every fog flag
        {kDefinitionHitTestIgnore | kDefinitionNoLighting, 0, kRenderNoLighting, true},
        {kDefinitionDestinationSelectable, 0, kRenderPickable | kRenderDestinationSelectable, true},
    };
    int32_t id = 0;
    for (const Case& c : cases) {
        ObjectDefinition* definition = MakeDefinition("thing", 1);
        definition->flags = c.definitionFlags;
        const ClientObject* object = Make(id++, definition, c.constructionFlags);
        EXPECT_EQ(c.renderFlags, object->ObjectRenderFlags) << "case " << id - 1;
        EXPECT_EQ(c.ignoresFog, object->IgnoresFog != 0) << "case " << id - 1;
    }
}

TEST_F(ClientObjectTest, OnlyARemoteClientPutsItsModelsInTheCollisionWorld) {
    MakeFloor(2, 2);
    const ObjectDefinition* wall = Wall();
    struct Case {
        bool serverRuns;
        int32_t flags;
        bool entered;
    };
    const Case cases[] = {
        {false, 0, true},  {false, 2, true}, {false, 4, true}, {false, 1, false},
        {false, 8, false}, {true, 0, false}, {true, 4, false},
    };
    int32_t id = 0;
    for (const Case& c : cases) {
        SetServerThread(c.serverRuns ? 4242 : 0);
        const int32_t before = CountMeshes();
        ClientObject* object = Make(id++, wall, c.flags);
        EXPECT_EQ(c.entered, object->InCollisionWorld != 0) << "server " << c.serverRuns << " flags " << c.flags;
        EXPECT_EQ(before + (c.entered ? 1 : 0), CountMeshes());
        object->Remove();
        EXPECT_EQ(before, CountMeshes()) << "the destroyed object's model leaves again";
    }
}

TEST_F(ClientObjectTest, MoveToTakesNoArrivalTimeLaterThanNow) {
    ClientObject* object = Make(1, MakeDefinition("crate", 1));
    GameClock.SetSeconds(100.0f);
    const Real now = GameClock.GetSeconds();
    const Vector3 place(3, -1, 2);
    const Quaternion turn{0, 1, 0, 0};

    EXPECT_TRUE(object->MoveTo(place, turn, now + 5.0f));
    EXPECT_EQ(now, object->MoveSeconds[0]);
    EXPECT_EQ(now, object->MoveSeconds[1]);
    EXPECT_EQ(place.x, object->Position.x);
    EXPECT_EQ(turn.y, object->Orientation.y);

    const Real earlier = now - 2.0f;
    object->MoveToRecord(ClientMotionRecord{earlier, Vector3(1, 2, 3), kIdentity});
    EXPECT_EQ(earlier, object->MoveSeconds[1]);
    EXPECT_EQ(static_cast<uint64_t>(FloorToInt64(static_cast<double>(earlier) * CurrentTicksPerSecondFloat())),
              object->MoveTicks);
    EXPECT_EQ(3.0f, object->Position.z);

    object->MoveTo(place, turn, -5.0f);
    EXPECT_EQ(-5.0f, object->MoveSeconds[0]);
    EXPECT_EQ(0u, object->MoveTicks) << "a time before the clock's start counts as its start";
}

TEST_F(ClientObjectTest, RemoveEndsTheObjectOnceAndAHeldReferenceKeepsItUntilReleased) {
    ClientObject* object = new TracedObject(trace, 7, MakeDefinition("crate", 1));
    EXPECT_EQ(object, TvFindClientObject(7));
    object->AddRef(); // a holder besides the registry
    object->Remove();
    EXPECT_TRUE(object->Dead);
    EXPECT_EQ(nullptr, TvFindClientObject(7));
    EXPECT_EQ(1, object->RefCount);
    object->Remove();
    EXPECT_EQ(1, object->RefCount) << "the second Remove releases nothing";
    EXPECT_TRUE(trace.destroyed.empty());
    object->Release();
    EXPECT_EQ(std::vector<int32_t>{7}, trace.destroyed);
}

TEST_F(ClientObjectTest, ObjectsRemovedDuringTheUpdatePassGoAfterIt) {
    const ObjectDefinition* crate = MakeDefinition("crate", 1);
    auto* first = new TracedObject(trace, 1, crate);
    auto* second = new TracedObject(trace, 2, crate);
    auto* third = new TracedObject(trace, 3, crate);
    first->removes = second; // bucket order: 1 updates before 2
    third->removes = third;  // and one removes itself
    UpdateAllClientObjects(GameClock.GetTime(), GameClock.GetSeconds());
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3}), trace.updated) << "a removed object still finishes the pass";
    EXPECT_EQ((std::vector<int32_t>{2, 3}), trace.destroyed);
    EXPECT_EQ(first, TvFindClientObject(1));
    EXPECT_EQ(1, ClientObjectHash.Count());
}

TEST_F(ClientObjectTest, ObjectsOfOneBucketAreFoundByTheirOwnId) {
    const ObjectDefinition* crate = MakeDefinition("crate", 1);
    ClientObject* low = Make(5, crate);
    ClientObject* high = Make(5 + 64, crate);
    ClientObject* negative = Make(-59, crate); // -59 AND 63 = 5
    EXPECT_EQ(low, TvFindClientObject(5));
    EXPECT_EQ(high, TvFindClientObject(69));
    EXPECT_EQ(negative, TvFindClientObject(-59));
    EXPECT_EQ(nullptr, TvFindClientObject(133));
    high->Remove();
    EXPECT_EQ(low, TvFindClientObject(5));
    EXPECT_EQ(nullptr, TvFindClientObject(69));
}

TEST_F(ClientObjectTest, TheLocalTeamsListHoldsItsStartedLivingUnits) {
    LocalTeam = 3;
    const ObjectDefinition* robot = MakeDefinition("robot", 1, true);
    auto* own = new TracedObject(trace, 1, robot, 3, true);
    auto* enemy = new TracedObject(trace, 2, robot, 2, true);
    auto* crate = new TracedObject(trace, 3, robot, 3, false);
    EXPECT_EQ(0, LocalTeamObjects.Count()) << "objects join when they start";
    StartAllClientObjects();
    ASSERT_EQ(1, LocalTeamObjects.Count());
    EXPECT_EQ(own, LocalTeamObjects.Front());
    EXPECT_EQ(0.0f, own->LastSeconds);
    own->SetTeam(2); // changed sides while listed
    own->Remove();
    EXPECT_EQ(0, LocalTeamObjects.Count());
    enemy->Remove();
    crate->Remove();
    LocalTeam = 1;
}

TEST_F(ClientObjectTest, TheCurrentObjectOutlivesItsRemovalUntilReplacedOrReleased) {
    const ObjectDefinition* crate = MakeDefinition("crate", 1);
    ClientObject* first = new TracedObject(trace, 1, crate);
    ClientObject* second = new TracedObject(trace, 2, crate);
    first->MakeCurrent();
    first->Remove();
    EXPECT_TRUE(trace.destroyed.empty());
    second->MakeCurrent();
    EXPECT_EQ(std::vector<int32_t>{1}, trace.destroyed);
    second->MakeCurrent(); // again: still one reference
    EXPECT_EQ(2, second->RefCount);
    ReleaseAllClientObjects();
    EXPECT_EQ((std::vector<int32_t>{1, 2}), trace.destroyed);
    EXPECT_EQ(nullptr, CurrentClientObject);
}

TEST_F(ClientObjectTest, HealthFractionGroundHeightAndCentre) {
    MakeFloor(2, 2);
    ObjectDefinition* robot = MakeDefinition("robot", 1, true);
    robot->character->strength = 40;
    ClientObject* onFloor = Make(1, robot, kClientFlagsPlain, Vector3(1, -0.5f, 1));
    EXPECT_NEAR(1.0f, onFloor->GetHealthFraction(), 1e-5f) << "the table reciprocal of the strength";
    onFloor->Health = 10;
    EXPECT_NEAR(0.25f, onFloor->GetHealthFraction(), 1e-3f);
    onFloor->Health = 0;
    EXPECT_EQ(1.0f, onFloor->GetHealthFraction()) << "the base answers 1.0 without health";
    EXPECT_EQ(0.0f, onFloor->GroundHeight());
    onFloor->Start(GameClock.GetTime(), GameClock.GetSeconds());
    EXPECT_NE(nullptr, onFloor->Floor);

    ClientObject* offLevel = Make(2, robot, kClientFlagsPlain, Vector3(-50, -2, -50));
    EXPECT_EQ(998.0f, offLevel->GroundHeight()) << "1000 m below the object";
    offLevel->Start(GameClock.GetTime(), GameClock.GetSeconds());
    EXPECT_EQ(nullptr, offLevel->Floor);

    const ClientObject* walled = Make(3, Wall(), kClientFlagsPlain, Vector3(0, 0, 0));
    EXPECT_EQ(2.0f, walled->Extent.y);
    EXPECT_EQ(-1.0f, walled->GetCentre().y) << "half the height up (y grows downward)";
    EXPECT_EQ(1.0f, walled->Radius);
}

TEST_F(ClientObjectTest, SelectionAndMineRemovalPlayTheirSounds) {
    static std::vector<SeenSoundPlay> sounds;
    sounds.clear();
    SetSoundPlayObserver([](int32_t sample, const char* options) { sounds.push_back({sample, options}); });
    ObjectDefinition* mine = MakeDefinition("mine", kAiCoreMine, true);
    mine->character->weapon = 3;
    ClientObject* object = Make(1, mine);
    object->SetSelectValues(1.5f, 2.5f, 9.0f);
    EXPECT_EQ(2.5f, object->SelectValueB);
    object->ClearSelectValues();
    EXPECT_EQ(0.0f, object->SelectValueA);
    object->Remove();
    object = Make(2, MakeDefinition("crate", kAiCoreMine, true)); // weapon 33: no sound
    object->Remove();
    SetSoundPlayObserver(nullptr);
    EXPECT_EQ((std::vector<SeenSoundPlay>{{77, ""}, {78, ""}, {104, ""}}), sounds);
}

// The cloaked look: translucent for its own side, and for the others only near one of the local team's objects.
class CloakedObject : public ClientObject {
public:
    CloakedObject(int32_t id, const ObjectDefinition* definition, int32_t team, const Vector3& position)
        : ClientObject(team, definition, position, kIdentity, kClientFlagsPlain, id) {}
    bool IsCloaked() const override { return true; }
};

TEST_F(ClientObjectTest, ACloakedEnemyIsSeenOnlyNearTheLocalTeam) {
    CurrentGameType = kGameStory;
    LocalTeam = 1;
    const ObjectDefinition* robot = MakeDefinition("robot", 1, true);
    auto* own = new TracedObject(trace, 1, robot, 1, true);
    StartAllClientObjects();
    ASSERT_EQ(1, LocalTeamObjects.Count());

    const ClientObjectLook ownLook = ChooseLook(*new CloakedObject(2, robot, 1, Vector3(0, 0, 0)));
    EXPECT_EQ(0.7f, ownLook.translucency);
    EXPECT_EQ(0u, ownLook.extraFlags);
    if (ownLook.hook) ownLook.hook->Release();

    for (const Real distance : {7.0f, 9.0f}) {
        const ClientObjectLook far = ChooseLook(*new CloakedObject(3, robot, 2, Vector3(distance, 0, 0)));
        EXPECT_EQ(kDrawCulled, far.extraFlags) << distance << " m";
        EXPECT_EQ(0.0f, far.translucency);
        if (far.hook) far.hook->Release();
        TvFindClientObject(3)->Remove();
    }

    RandomGenerator::ForCallingThread().Seed(99);
    Real r = RandomSigned() * RandomSigned();
    if (r < 0) r += 1.0f;
    RandomGenerator::ForCallingThread().Seed(99);
    const ClientObjectLook near = ChooseLook(*new CloakedObject(4, robot, 2, Vector3(0, 0, 3.5f) + own->Position));
    EXPECT_EQ(0u, near.extraFlags);
    EXPECT_FLOAT_EQ((1.0f - 12.25f / 49.0f) * r, near.translucency);
    if (near.hook) near.hook->Release();
}

// A unit of the music's view, firing or not.
class MusicUnit : public ClientObject {
public:
    MusicUnit(int32_t id, const ObjectDefinition* definition, int32_t team, bool unit)
        : ClientObject(team, definition, Vector3(0, 0, 0), kIdentity, kClientFlagsPlain, id), unit_(unit) {}
    bool IsUnit() const override { return unit_; }

private:
    const bool unit_;
};

TEST_F(ClientObjectTest, TheMusicCountsLivingEnemyUnitsDrawnInTheLastFrame) {
    LocalTeam = 1;
    MusicObjectSource* previous = InstallMusicObjectSource(nullptr);
    InstallClientMusicSource();
    const ObjectDefinition* robot = MakeDefinition("robot", 1, true);
    const struct {
        int32_t team;
        bool unit, drawn, removed;
    } objects[] = {
        {2, true, true, false},  // counted
        {3, true, true, false},  // counted
        {2, true, false, false}, // not drawn
        {0, true, true, false},  // neutral
        {1, true, true, false},  // own side
        {2, false, true, false}, // not a unit
        {2, true, true, true},   // dead, still registered (broken up)
    };
    int32_t id = 0;
    for (const auto& o : objects) {
        ClientObject* object = new MusicUnit(id++, robot, o.team, o.unit);
        object->Visible = o.drawn;
        object->Dead = o.removed;
    }
    MusicCountEnemies();
    EXPECT_TRUE(MoodState.enemySeen);
    EXPECT_EQ(2, MoodState.enemySeenCount);
    EXPECT_FALSE(MoodState.enemyAttacking);
    InstallMusicObjectSource(previous);
}

// What the destruction effects reached.
struct SeenEffects {
    std::vector<std::pair<std::string, Real>> effects; // name, size
    std::vector<int32_t> sounds;
};
SeenEffects* seenEffects = nullptr;

TEST_F(ClientObjectTest, DestructionTakesItsEffectFromTheRecordsKind) {
    SeenEffects seen;
    seenEffects = &seen;
    EffectHooks hooks;
    hooks.particlePuff = [](const Vector3&) { seenEffects->effects.emplace_back("puff", 0.0f); };
    hooks.explosion = [](const Vector3&) { seenEffects->effects.emplace_back("explosion", 0.0f); };
    hooks.sizedExplosion = [](const Vector3&, Real size) { seenEffects->effects.emplace_back("sized", size); };
    SetEffectHooks(hooks);
    SetSoundPlayObserver([](int32_t sample, const char*) { seenEffects->sounds.push_back(sample); });

    ObjectDefinition* debris = MakeDefinition("debris", 1);
    struct Case {
        int32_t kind;
        bool unit; // a unit with strength 60
        std::vector<std::pair<std::string, Real>> effects;
        std::vector<int32_t> sounds;
        bool dead, fragment;
    };
    const Case cases[] = {
        {1, false, {{"puff", 0.0f}}, {}, false, false},        {3, false, {{"sized", 25.0f}}, {15}, true, true},
        {3, true, {{"sized", 60.0f}}, {15}, true, true},       {4, false, {}, {}, true, false},
        {0, false, {{"explosion", 0.0f}}, {14}, false, false},
    };
    int32_t id = 0;
    for (const Case& c : cases) {
        ObjectDefinition* definition = Wall("breakable");
        definition->character = std::make_unique<CharacterRecord>();
        definition->character->strength = 60;
        if (c.kind == kDestructionFragData) {
            auto record = std::make_unique<FragDataRecord>();
            record->role = debris;
            record->remove = OwnedText("wall");
            definition->destruction = std::move(record);
        } else {
            definition->destruction = std::make_unique<DestructionRecord>(c.kind);
        }
        seen = SeenEffects{};
        ClientObject* object = c.unit ? new TracedObject(trace, id, definition, 1, true) : Make(id, definition);
        const int32_t fragmentId = 100 + id++;
        object->ApplyDestruction(fragmentId);
        EXPECT_EQ(c.effects, seen.effects) << "kind " << c.kind;
        EXPECT_EQ(c.sounds, seen.sounds) << "kind " << c.kind;
        EXPECT_EQ(c.dead, object->Dead != 0) << "kind " << c.kind;
        EXPECT_EQ(object, TvFindClientObject(object->Id)) << "the object itself stays registered";
        const ClientObject* fragment = TvFindClientObject(fragmentId);
        EXPECT_EQ(c.fragment, fragment != nullptr) << "kind " << c.kind;
        if (fragment) {
            EXPECT_TRUE(fragment->IsFragment);
            EXPECT_EQ(0, fragment->Team);
            EXPECT_EQ(debris, fragment->Definition);
            EXPECT_EQ(object->GetCentre().y, fragment->Position.y);
        }
    }
    SetEffectHooks(EffectHooks{});
    SetSoundPlayObserver(nullptr);
    seenEffects = nullptr;
}

// An object that stands for a unit, hides or cloaks as the case asks.
class DrawnObject : public ClientObject {
public:
    DrawnObject(int32_t id, const ObjectDefinition* definition, int32_t team, bool unit, bool hidden, bool cloaked)
        : ClientObject(team, definition, Vector3(0, 0, 30), kIdentity, kClientFlagsPlain, id), unit_(unit),
          hidden_(hidden), cloaked_(cloaked) {}
    bool IsUnit() const override { return unit_; }
    bool IsHidden() const override { return hidden_; }
    bool IsCloaked() const override { return cloaked_; }

private:
    const bool unit_, hidden_, cloaked_;
};

TEST_F(ClientObjectTest, RenderMarksWhatWasDrawnUnderFogCutscenesHidingAndCloaks) {
    LocalTeam = 1;
    ObjectDefinition* alphaFogged = Wall("alpha");
    alphaFogged->flags = kDefinitionAlphaFogging;
    ObjectDefinition* vertexFogged = Wall("vertex");
    vertexFogged->flags = kDefinitionPerVertexFogging;
    const ObjectDefinition* plain = Wall("plain"); // ignores the fog
    const ObjectDefinition* shapeless = MakeDefinition("marker", 1);
    struct Case {
        const ObjectDefinition* definition;
        int32_t team;
        bool unit, hidden, cloaked, cutscene, shownInCutscene;
        int fog; // -1: no fog of war
        bool drawn;
    };
    const Case cases[] = {
        {plain, 2, false, false, false, false, false, -1, true},
        {shapeless, 2, false, false, false, false, false, -1, false},
        {plain, 2, false, true, false, false, false, -1, false}, // hidden
        {plain, 2, false, true, false, true, false, -1, true},   // hidden, but a cutscene shows it
        {plain, 2, true, false, false, true, false, -1, false},  // a unit the cutscene leaves out
        {plain, 2, true, false, false, true, true, -1, true},    // shown in the cutscene
        {alphaFogged, 2, false, false, false, false, false, 254, false},
        {alphaFogged, 2, false, false, false, false, false, 253, true},
        {vertexFogged, 2, false, false, false, false, false, 254, true}, // fogged per vertex instead
        {plain, 2, false, false, false, false, false, 254, true},
        {plain, 2, true, false, true, false, false, -1, false}, // a cloaked enemy nobody is near
        {plain, 1, true, false, true, false, false, -1, true},  // its own side sees it
    };
    static int fogLevel = 0;
    int32_t id = 0;
    for (const Case& c : cases) {
        fogLevel = c.fog;
        AwFogLevelAt =
            c.fog < 0 ? nullptr : static_cast<AwFogLevelFunction>([](float, float, float) { return fogLevel; });
        CutsceneActive = c.cutscene;
        auto* object = new DrawnObject(id++, c.definition, c.team, c.unit, c.hidden, c.cloaked);
        object->ShownInCutscene = c.shownInCutscene;
        object->Render();
        EXPECT_EQ(c.drawn, object->Visible != 0) << "case " << id - 1;
        AwDrawList::Discard();
    }
    AwFogLevelAt = nullptr;
    CutsceneActive = 0;
}

} // namespace
