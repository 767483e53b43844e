// The server actor base: construction (model, size, level, collision entry),
// the pose broadcast, removal, explosions, stun and conversion.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "Tv/client/teamtable.h"
#include "Tv/console/console_hooks.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"
#include "Tv/world/intersection.h"
#include "core/clock.h"
#include "tests/tv/sim_crouch_model.h"
#include "tests/tv/sim_fixture.h"
#include "tests/tv/sim_launch_recorder.h"

namespace {

constexpr Quaternion kIdentity{0, 0, 0, 1};

// A wall 2 m wide and 2 m high in the plane z = 0, standing on y = 0.
AwShape* MakeWallShape() {
    return MakeMeshShape({{{-1, 0, 0}, {1, 0, 0}, {1, -2, 0}, {-1, 0, 0}, {1, -2, 0}, {-1, -2, 0}}});
}

class ServerObjectTest : public SimTest {
protected:
    // A plain actor of team 1 registered under the next id.
    ServerObject* MakeObject(const ObjectDefinition* definition, const Vector3& position = {0, 0, 0},
                             const Quaternion& orientation = kIdentity, int32_t flags = kActorFlagsPlain) {
        return new ServerObject(1, definition, position, orientation, flags, TvNextActorId());
    }
    ObjectDefinition* MakeWall(const char* name) {
        ObjectDefinition* definition = MakeDefinition(name, 1);
        definition->shape = MakeWallShape();
        return definition;
    }
    // A definition that breaks into fragments with a blast of that damage and range.
    ObjectDefinition* MakeBreakable(const char* name, Real damage, Real range, bool replace = false) {
        ObjectDefinition* definition = MakeDefinition(name, 1);
        auto record = std::make_unique<FragDataRecord>();
        record->blastDamage = damage;
        record->blastRange = range;
        record->replace = replace;
        definition->destruction = std::move(record);
        return definition;
    }
    int32_t CountMeshes() const { return LevelWorldInstance->meshes.Count(); }
};

TEST_F(ServerObjectTest, TheLevelComesFromArmourStrengthBeamDelayAndName) {
    struct Case {
        const char* name;
        Real armour, strength; // strength 0: no character record
        int32_t beamDelay;
        Real level;
    };
    const Case cases[] = {
        {"crate", 1, 2, 0, 2},                            // floor(3.2 + 3.0) mod 5 + 1
        {"crate", 1, 2, -1, 12},                          // beyond the beam's reach
        {"crate", 1, 2, 25, 7},                           // plus a fifth of the delay
        {"crate", 1, 2, 40, 9},                           // capped
        {"crate", 0, 0, 0, 1},     {"crate", 2, 0, 0, 2}, // floor(6.4) mod 5 + 1
        {"OilDrum", 4, 80, 10, 0}, {"bLoBaRrEl", 1, 2, -1, 0},
    };
    for (const Case& c : cases) {
        ObjectDefinition* definition = MakeDefinition(c.name, 1, c.strength > 0);
        if (c.strength > 0) definition->character->strength = c.strength;
        definition->armour = c.armour;
        definition->interfaceBeamDelay = c.beamDelay;
        const ServerObject* actor = MakeObject(definition);
        EXPECT_EQ(actor->Level, c.level) << c.name << " " << c.armour << "/" << c.strength << "/" << c.beamDelay;
        EXPECT_EQ(actor->Strength, c.strength);
    }
    EXPECT_EQ(MakeObject(nullptr)->Level, 1.0f) << "no definition";
}

TEST_F(ServerObjectTest, WithoutShapeOrModelAnActorHasNoModelNoCollisionEntryAndUnitSize) {
    MakeFloor(2, 2);
    const int32_t meshes = CountMeshes();
    for (const ObjectDefinition* definition : {static_cast<const ObjectDefinition*>(MakeDefinition("crate", 1)),
                                               static_cast<const ObjectDefinition*>(nullptr)}) {
        ServerObject* actor = MakeObject(definition, {1, 0, 1});
        EXPECT_EQ(actor->Model, nullptr);
        EXPECT_FALSE(actor->InCollisionWorld);
        EXPECT_EQ(CountMeshes(), meshes);
        EXPECT_EQ(actor->Size.x, 1.0f);
        EXPECT_EQ(actor->Size.y, 1.0f);
        EXPECT_EQ(actor->Size.z, 1.0f);
        EXPECT_EQ(actor->Radius, 0.5f);
        EXPECT_EQ(actor->GetCentre().y, -0.5f);
        EXPECT_EQ(actor->GetHealthFraction(), 1.0f);
        // No model: nothing to hit, nothing to animate.
        HitRecord in{10.0f, {0, 0, 0}}, out{-1.0f, {0, 0, 0}};
        EXPECT_FALSE(actor->HitTestSegment(out, {1, -0.5f, -5}, {0, 0, 10}, in));
        EXPECT_FALSE(actor->HitTestBallistic(out, {1, -0.5f, -5}, {0, 0, 10}, {0, 9.81f, 0}, in));
        EXPECT_EQ(out.t, -1.0f) << "the record out is untouched";
        EXPECT_FALSE(actor->PlaySequence(0, 65536, -1, 0, nullptr, 0, false));
        actor->Start(Now(), NowSeconds());
        EXPECT_EQ(actor->FloorPolygon, FloorAt(1, 1));
        actor->Think(Now(), NowSeconds());
        actor->Remove(false);
    }
}

TEST_F(ServerObjectTest, AShapedActorIsSizedByItsTurnedBoundsStandsInTheCollisionWorldAndCanBeHit) {
    MakeFloor(4, 4);
    const int32_t meshes = CountMeshes();
    const Vector3 place(5, 0, 5);
    ServerObject* wall = MakeObject(MakeWall("wall"), place, HeadingQuaternion(1024)); // now in the plane x = 5
    ASSERT_NE(wall->Model, nullptr);
    EXPECT_NEAR(wall->Size.x, 0.0f, 1e-5f);
    EXPECT_NEAR(wall->Size.y, 2.0f, 1e-5f);
    EXPECT_NEAR(wall->Size.z, 2.0f, 1e-5f);
    EXPECT_NEAR(wall->Radius, 1.0f, 1e-5f);
    EXPECT_NEAR(wall->GetCentre().y, -1.0f, 1e-5f);
    EXPECT_TRUE(wall->InCollisionWorld);
    EXPECT_EQ(CountMeshes(), meshes + 1);

    const HitRecord far{10.0f, {0, 0, 0}}, near{0.4f, {0, 0, 0}};
    HitRecord out{};
    EXPECT_TRUE(wall->HitTestSegment(out, place + Vector3(-5, -1, 0), {10, 0, 0}, far));
    EXPECT_NEAR(out.t, 0.5f, 1e-5f);
    EXPECT_FALSE(wall->HitTestSegment(out, place + Vector3(-5, -1, 0), {10, 0, 0}, near)) << "later than in.t";
    EXPECT_FALSE(wall->HitTestSegment(out, place + Vector3(-5, -1, 3), {10, 0, 0}, far)) << "beside the wall";
    out = {};
    EXPECT_TRUE(wall->HitTestBallistic(out, place + Vector3(-5, -1, 0), {10, 0, 0}, {0, 0, 0}, far));
    EXPECT_NEAR(out.t, 0.5f, 1e-5f);

    // Flags 1 (walkers) and 8 (blockers) keep the model out of the collision world.
    for (int32_t flags : {kActorFlagsUnit, kActorFlagsBlocker}) {
        const ServerObject* outside = MakeObject(MakeWall("ghost"), place, kIdentity, flags);
        EXPECT_FALSE(outside->InCollisionWorld) << flags;
    }
    EXPECT_EQ(CountMeshes(), meshes + 1);

    // A character's size scales the model and so the actor's size.
    ObjectDefinition* giant = MakeWall("giant");
    giant->character = std::make_unique<CharacterRecord>();
    giant->character->size = 2.0f;
    const ServerObject* big = MakeObject(giant, place, kIdentity, kActorFlagsUnit);
    EXPECT_EQ(big->Size.x, 4.0f);
    EXPECT_EQ(big->Size.y, 4.0f);

    wall->Remove(false); // the last reference: the model leaves the collision world
    EXPECT_EQ(CountMeshes(), meshes);
}

TEST_F(ServerObjectTest, ThinkPlacesTheModelAndBroadcastsThePoseOnlyAfterAChange) {
    ServerObject* wall = MakeObject(MakeWall("wall"), {1, 0, 1});
    wall->Start(Now(), 1.0f);
    const Vector3 moved(2, -0.5f, 3);
    const Quaternion turned = HeadingQuaternion(512);
    wall->SetPosition(moved);
    wall->SetOrientation(turned);
    AdvanceSeconds(1.5);
    wall->Think(Now(), 2.5f);
    EXPECT_EQ(wall->Countdown, 8.5f);
    EXPECT_EQ(wall->StateTicks, Now());
    EXPECT_EQ(wall->ThinkTicks, Now());
    EXPECT_EQ(wall->LastSeconds, 2.5f);
    EXPECT_EQ(wall->Model->Position().x, 2.0f);
    EXPECT_EQ(wall->Model->Position().z, 3.0f);
    std::vector<RecordedMessage> poses = recorder.Sent(kMsgActorPose);
    ASSERT_EQ(poses.size(), 1u);
    const std::vector<uint8_t>& bytes = poses[0].bytes;
    ASSERT_EQ(bytes.size(), 40u);
    EXPECT_EQ(MessageInt(bytes, 4), wall->Id);
    EXPECT_EQ(MessageFloat(bytes, 8), 2.5f);
    EXPECT_EQ(MessageFloat(bytes, 12), 2.0f);
    EXPECT_EQ(MessageFloat(bytes, 16), -0.5f);
    EXPECT_EQ(MessageFloat(bytes, 20), 3.0f);
    EXPECT_EQ(MessageFloat(bytes, 28), turned.y);
    EXPECT_EQ(MessageFloat(bytes, 36), turned.w);
    EXPECT_EQ(wall->BroadcastSeconds, 2.5f);
    EXPECT_FALSE(wall->StateChanged);

    wall->Think(Now(), 3.0f);
    wall->SetPositionQuiet({4, 0, 4});
    wall->Think(Now(), 3.5f);
    EXPECT_EQ(recorder.CountSent(kMsgActorPose), 1) << "no change, or a quiet one: no broadcast";
    EXPECT_EQ(wall->Model->Position().x, 4.0f) << "the model follows all the same";
    EXPECT_EQ(wall->Countdown, 7.5f);
}

TEST_F(ServerObjectTest, AnimationGoesToTheModelWhenItHasTheSequenceAndThinkAdvancesIt) {
    ObjectDefinition* animated = MakeDefinition("animated", 1);
    animated->model = CrouchingModel();             // sequences 0 to 19
    (*animated->model->Sequences)[3]->Length = 100; // ticks
    ServerObject* actor = MakeObject(animated);
    ASSERT_NE(actor->Model, nullptr);
    uint8_t done = 0;
    const auto start = static_cast<uint32_t>(Now());
    EXPECT_FALSE(actor->PlaySequence(20, 65536, 1, start, &done, 0, false));
    EXPECT_TRUE(actor->PlaySequence(3, 65536, 1, start, &done, 0, false));
    EXPECT_TRUE(actor->Model->IsPlayingSequence(3));
    actor->Think(Now(), NowSeconds());
    EXPECT_FALSE(done);
    AdvanceSeconds(0.5);
    actor->Think(Now(), NowSeconds());
    EXPECT_TRUE(done) << "the sequence has run its one loop";
    EXPECT_TRUE(actor->PlaySequence(4, 65536, -1, start, nullptr, 0, false));
    actor->StopSequences(1, -1);
    EXPECT_FALSE(actor->Model->IsPlayingSequence(4));
}

TEST_F(ServerObjectTest, AnnouncementsOfLevelAndHeapContentsAndPlacementByMoveTo) {
    ServerObject* heap = MakeObject(nullptr);
    ObjectDefinition* contents = MakeDefinition("medkit", 1);
    heap->SetLevel(7.0f);
    heap->SetHeapContents(contents);
    EXPECT_EQ(heap->Level, 7.0f);
    EXPECT_EQ(heap->HeapContents, contents);
    ASSERT_EQ(recorder.CountSent(kMsgActorLevel), 1);
    const std::vector<uint8_t> level = recorder.Sent(kMsgActorLevel)[0].bytes;
    EXPECT_EQ(level.size(), 12u);
    EXPECT_EQ(MessageInt(level, 4), heap->Id);
    EXPECT_EQ(MessageFloat(level, 8), 7.0f);
    ASSERT_EQ(recorder.CountSent(kMsgHeapContents), 1);
    EXPECT_EQ(recorder.Sent(kMsgHeapContents)[0].bytes, MessageOf({kMsgHeapContents, heap->Id, contents->id}));

    EXPECT_TRUE(heap->MoveTo({3, 0, 4}, HeadingQuaternion(100), 2.0f));
    EXPECT_EQ(heap->Position.z, 4.0f);
    EXPECT_EQ(heap->StateSeconds, 2.0f);
    EXPECT_NEAR(static_cast<double>(heap->StateTicks) / CurrentTicksPerSecondFloat(), 2.0, 1e-6);
    EXPECT_FALSE(heap->StateChanged) << "a direct placement is not broadcast as a pose";
}

TEST_F(ServerObjectTest, RemoveSpawnsTheHeapContentsAndLeavesTheMineSlotsAndTheAi) {
    ObjectDefinition* contents = MakeDefinition("medkit", 1);
    ServerObject* mine = MakeObject(nullptr, {2, 0, 6});
    mine->HeapContents = contents;
    TeamRecord* team = TeamTable::GetTeam(1);
    ASSERT_NE(team, nullptr);
    ASSERT_EQ(team->AddMine(mine), 0);
    const int32_t id = mine->Id;
    mine->Remove(true);
    EXPECT_EQ(team->MineSlots[0], nullptr);
    EXPECT_EQ(TvFindActor(id), nullptr);

    std::vector<int32_t> types;
    for (const RecordedMessage& m : recorder.Messages()) types.push_back(m.type);
    EXPECT_EQ(types, (std::vector<int32_t>{MSG_CREATE_OBJECT, MSG_REMOVE_OBJECT}));
    const std::vector<uint8_t> created = recorder.Sent(MSG_CREATE_OBJECT)[0].bytes;
    EXPECT_EQ(MessageInt(created, 8), contents->id);
    EXPECT_EQ(created[12], 0) << "the heap's contents belong to nobody";
    const ServerObject* spawned = TvFindActor(MessageInt(created, 4));
    ASSERT_NE(spawned, nullptr);
    EXPECT_EQ(spawned->Position.z, 6.0f);
    EXPECT_EQ(spawned->Orientation.w, 1.0f);

    // OnDeath marks the actor dead for the AI; a kept reference sees it.
    ServerObject* kept = MakeObject(nullptr);
    kept->AddRef();
    kept->Remove(false);
    EXPECT_TRUE(kept->AiFlags & kAiFlagDeadForAi);
    kept->Release();
}

TEST_F(ServerObjectTest, ABlastHitsEveryLiveActorStrictlyInsideItsRangeThatIsNotExplodingItself) {
    ServerObject* bomb = MakeObject(MakeBreakable("bomb", 10, 5));
    ObjectDefinition* crate = MakeDefinition("crate", 1);
    crate->armour = 3;
    ServerObject* inside = MakeObject(crate, {4.9f, 0, 0});
    ServerObject* above = MakeObject(crate, {0, -3, 3.9f}); // 24.21 m squared
    ServerObject* atRange = MakeObject(crate, {5, 0, 0});
    ServerObject* exploding = MakeObject(crate, {1, 0, 0});
    exploding->AiFlags |= kAiFlagExploded;
    ServerObject* gone = MakeObject(crate, {1, 0, 1});
    gone->AddRef();
    gone->Remove(false);
    recorder.Clear();

    const int32_t blastId = ActorIdCounter;
    bomb->Explode();
    std::vector<int32_t> hit;
    for (const RecordedMessage& m : recorder.Sent(kMsgDamageReport)) {
        ASSERT_EQ(m.bytes.size(), 20u);
        EXPECT_EQ(MessageFloat(m.bytes, 16), 3.0f) << "the victim's armour";
        hit.push_back(MessageInt(m.bytes, 4));
    }
    std::sort(hit.begin(), hit.end());
    EXPECT_EQ(hit, (std::vector<int32_t>{inside->Id, above->Id})) << "not " << atRange->Id << " at the range";
    EXPECT_EQ(recorder.Sent(kMsgActorExploded).back().bytes, MessageOf({kMsgActorExploded, bomb->Id, blastId}));
    EXPECT_EQ(ActorIdCounter, blastId + 1) << "the blast took an id";
    EXPECT_EQ(recorder.Messages().back().type, kMsgActorExploded) << "the reports come first";
    EXPECT_FALSE(bomb->Dead) << "without replace the actor stays";
    EXPECT_EQ(bomb->AiFlags & (kAiFlagExploded | kAiFlagDeadForAi), kAiFlagExploded | kAiFlagDeadForAi);
    gone->Release();
}

TEST_F(ServerObjectTest, ExplodingRemovesTheActorByKindAndSpawnsTheReplacement) {
    // Fragment data keeps the actor unless it is replaced; a script keeps it
    // unless replaced; any other kind always goes.
    ObjectDefinition* wreck = MakeDefinition("wreck", 1);
    wreck->model = CrouchingModel(); // has sequence 3: the clients are told to play it
    ObjectDefinition* rubble = MakeBreakable("rubble", 0, 0);
    ObjectDefinition* keeps = MakeBreakable("keeps", 0, 0);
    ObjectDefinition* replaced = MakeBreakable("replaced", 0, 0, true);
    static_cast<FragDataRecord&>(*replaced->destruction).replaceRole = wreck;
    ObjectDefinition* replacedBreakable = MakeBreakable("replacedBreakable", 0, 0, true);
    static_cast<FragDataRecord&>(*replacedBreakable->destruction).replaceRole = rubble;
    ObjectDefinition* scripted = MakeDefinition("scripted", 1);
    auto script = std::make_unique<FragScriptRecord>();
    script->name = OwnedText("boom.txt");
    scripted->destruction = std::move(script);
    ObjectDefinition* plain = MakeDefinition("plain", 1);
    plain->destruction = std::make_unique<DestructionRecord>(1);
    ObjectDefinition* solid = MakeDefinition("solid", 1);

    struct Case {
        const ObjectDefinition* definition;
        bool removed;
        const ObjectDefinition* spawned;
        int32_t spawnedTeam;
        bool script;
    };
    const Case cases[] = {
        {keeps, false, nullptr, 0, false},
        {replaced, true, wreck, 0, false},
        {replacedBreakable, true, rubble, 3, false},
        {scripted, false, nullptr, 0, true},
        {plain, true, nullptr, 0, false},
    };
    for (const Case& c : cases) {
        recorder.Clear();
        ServerObject* actor = new ServerObject(3, c.definition, {1, 0, 2}, HeadingQuaternion(300), 0, TvNextActorId());
        const int32_t id = actor->Id;
        actor->Explode();
        const char* name = c.definition->name.Get();
        EXPECT_EQ(TvFindActor(id) == nullptr, c.removed) << name;
        EXPECT_EQ(recorder.CountSent(MSG_REMOVE_OBJECT), c.removed ? 1 : 0) << name;
        EXPECT_EQ(recorder.CountSent(MSG_RUN_SCRIPT), c.script ? 1 : 0) << name;
        const std::vector<RecordedMessage> created = recorder.Sent(MSG_CREATE_OBJECT);
        ASSERT_EQ(created.size(), c.spawned ? 1u : 0u) << name;
        if (c.spawned) {
            EXPECT_EQ(MessageInt(created[0].bytes, 8), c.spawned->id) << name;
            EXPECT_EQ(created[0].bytes[12], c.spawnedTeam) << name;
            EXPECT_EQ(MessageFloat(created[0].bytes, 44), HeadingQuaternion(300).w) << "the actor's orientation";
        }
        const std::vector<RecordedMessage> sequence = recorder.Sent(kMsgActorSequence);
        if (c.spawned && c.spawned->model) {
            ASSERT_EQ(sequence.size(), 1u) << name;
            EXPECT_EQ(sequence[0].bytes, MessageOf({kMsgActorSequence, MessageInt(created[0].bytes, 4), 3}));
        } else {
            EXPECT_TRUE(sequence.empty()) << name;
        }
        const int32_t blastId = MessageInt(recorder.Sent(kMsgActorExploded)[0].bytes, 8);
        EXPECT_EQ(blastId == -1, c.definition->destruction->kind != kDestructionFragData) << name;
    }

    recorder.Clear();
    ServerObject* actor = MakeObject(solid);
    actor->Explode();
    EXPECT_TRUE(recorder.Messages().empty()) << "no destruction record: nothing happens";
    EXPECT_FALSE(actor->Dead);
    EXPECT_EQ(actor->AiFlags, 0u);
}

TEST_F(ServerObjectTest, AnActorOfATeamExplodingInARespawnGameSchedulesItsReturn) {
    struct Trigger {
        std::string name;
        int32_t team;
        uint64_t deadline;
    };
    static std::vector<Trigger> triggers;
    triggers.clear();
    ConsoleHooks hooks;
    hooks.addRespawnTrigger = [](const char* name, int32_t team, uint64_t deadline) {
        triggers.push_back({name, team, deadline});
    };
    SetConsoleHooks(hooks);
    ObjectDefinition* tank = MakeBreakable("tank", 0, 0);
    struct Case {
        int32_t gameType, team;
        bool converted;
        int32_t respawnTeam; // -1 none
    };
    const Case cases[] = {
        {kGamePresident, 3, false, 3},       {kGameLeadKills, 4, false, 4}, {kGameCaptureTheFlag, 3, true, 2},
        {kGameCaptureTheFlag, 0, false, -1}, {kGameStory, 3, false, -1},    {kGameLastLeadStanding, 3, false, -1},
    };
    for (const Case& c : cases) {
        CurrentGameType = c.gameType;
        triggers.clear();
        ServerObject* actor = new ServerObject(c.team, tank, {0, 0, 0}, kIdentity, 0, TvNextActorId());
        if (c.converted) actor->ConvertEnd = 9.0f;
        actor->Explode();
        if (c.respawnTeam < 0) {
            EXPECT_TRUE(triggers.empty()) << c.gameType << "/" << c.team;
            continue;
        }
        ASSERT_EQ(triggers.size(), 1u) << c.gameType << "/" << c.team;
        EXPECT_EQ(triggers[0].name, "tank");
        EXPECT_EQ(triggers[0].team, c.respawnTeam);
        EXPECT_NEAR(static_cast<double>(triggers[0].deadline - ServerClock.GetTime()) / CurrentTicksPerSecond(), 30.0,
                    1e-6);
    }
    SetConsoleHooks(ConsoleHooks{});
}

TEST_F(ServerObjectTest, AnExplodingUnitThrowsRisingFragmentsByItsStrength) {
    LaunchRecorder shots;
    ObjectDefinition* fragment = MakeDefinition("frag_projectile", 1, false, true, true);
    ObjectDefinition* strong = MakeWalker("strong"); // strength 100
    strong->destruction = std::make_unique<FragDataRecord>();
    ObjectDefinition* mine = MakeDefinition("mine", kAiCoreMine); // a unit without character record
    mine->destruction = std::make_unique<FragDataRecord>();
    ObjectDefinition* barrel = MakeBreakable("barrel", 0, 0);
    struct Case {
        ServerObject* actor;
        size_t fragments;
    };
    ServerObject* barrelActor = MakeObject(barrel, {4, 0, 4});
    const Case cases[] = {{MakeUnit(2, {2, 0, 2}, strong), 4}, {MakeUnit(2, {6, 0, 6}, mine), 3}, {barrelActor, 0}};
    for (const Case& c : cases) {
        ASSERT_NE(c.actor, nullptr);
        shots.launches.clear();
        const Vector3 centre = c.actor->GetCentre();
        c.actor->Explode();
        ASSERT_EQ(shots.launches.size(), c.fragments) << c.actor->Definition->name.Get();
        for (const ProjectileLaunch& launch : shots.launches) {
            EXPECT_EQ(launch.definition, fragment);
            EXPECT_EQ(launch.team, 0);
            EXPECT_EQ(launch.kind, 33);
            EXPECT_EQ(launch.speed, 10.0f);
            EXPECT_EQ(launch.shooterId, -1);
            EXPECT_EQ(launch.targetId, -1);
            EXPECT_EQ(launch.from.x, centre.x);
            EXPECT_EQ(launch.from.y, centre.y - 0.3f);
            Vector3 forward;
            QuaternionZAxis(forward, launch.orientation);
            EXPECT_LT(forward.y, 0.0f) << "fragments rise";
        }
    }

    // Without the fragment definition in the level the shots are skipped.
    fragment->name = OwnedText("something_else");
    shots.launches.clear();
    ServerUnit* unit = MakeUnit(2, {8, 0, 8}, strong);
    ASSERT_NE(unit, nullptr);
    unit->Explode();
    EXPECT_TRUE(shots.launches.empty());
}

TEST_F(ServerObjectTest, StunAndConversionAnnounceThemselvesMoveTheTeamListsAndStopTheUnit) {
    MakeFloor(8, 8);
    ServerUnit* unit = MakeUnit(2, {3, 0, 3});
    ASSERT_NE(unit, nullptr);
    const int32_t id = unit->Id;
    const Real now = NowSeconds();
    unit->WalkTo({3, 0, 13}, false);
    ASSERT_TRUE(unit->IsMoving());
    unit->Stun(now, now + 2);
    EXPECT_FALSE(unit->IsMoving()) << "a stunned unit stops";
    EXPECT_EQ(unit->StunEnd, now + 2);
    unit->EndStun();
    EXPECT_EQ(unit->StunStart, 0.0f);
    EXPECT_EQ(unit->StunEnd, 0.0f);

    unit->Convert(now, now + 4, 1);
    EXPECT_EQ(unit->Team, 1);
    EXPECT_FALSE(TeamActorListOf(2)->Contains(unit));
    EXPECT_TRUE(TeamActorListOf(1)->Contains(unit));
    EXPECT_EQ(unit->ConvertEnd, now + 4);

    unit->Orders.PushBack(new UnitOrder);
    unit->WalkTo({3, 0, 13}, false);
    unit->EndConversion();
    EXPECT_EQ(unit->Team, 2);
    EXPECT_TRUE(TeamActorListOf(2)->Contains(unit));
    EXPECT_FALSE(TeamActorListOf(1)->Contains(unit));
    EXPECT_EQ(unit->ConvertStart, 0.0f);
    EXPECT_EQ(unit->ConvertEnd, 0.0f);
    EXPECT_TRUE(unit->OrdersCancelled);
    EXPECT_TRUE(unit->Orders.IsEmpty());
    EXPECT_FALSE(unit->IsMoving());

    const auto sent = [&](int32_t type) {
        const std::vector<RecordedMessage> messages = SentFor(type, id);
        return messages.size() == 1 ? messages[0].bytes : std::vector<uint8_t>{};
    };
    auto floats = [](std::initializer_list<int32_t> head, std::initializer_list<float> tail) {
        std::vector<uint8_t> bytes = MessageOf(head);
        for (float f : tail) {
            const auto* p = reinterpret_cast<const uint8_t*>(&f);
            bytes.insert(bytes.end(), p, p + 4);
        }
        return bytes;
    };
    EXPECT_EQ(sent(kMsgActorStunned), floats({kMsgActorStunned, id}, {now, now + 2}));
    EXPECT_EQ(sent(kMsgActorStunEnded), MessageOf({kMsgActorStunEnded, id}));
    EXPECT_EQ(sent(kMsgActorConverted), floats({kMsgActorConverted, id, 1}, {now, now + 4}));
    EXPECT_EQ(sent(kMsgActorConversionEnded), MessageOf({kMsgActorConversionEnded, id}));
    const std::vector<RecordedMessage> owners = SentFor(MSG_OWNER_CHANGED, id);
    ASSERT_EQ(owners.size(), 2u);
    EXPECT_EQ(owners[0].bytes, MessageOf({MSG_OWNER_CHANGED, id, 1}));
    EXPECT_EQ(owners[1].bytes, MessageOf({MSG_OWNER_CHANGED, id, 2}));
}

TEST_F(ServerObjectTest, HealthIsStrengthOverTheCharactersStrength) {
    ObjectDefinition* definition = MakeDefinition("drone", 1, true);
    definition->character->strength = 80;
    ServerObject* actor = MakeObject(definition);
    EXPECT_EQ(actor->GetCharacterRecord(), definition->character.get());
    actor->Strength = 20;
    EXPECT_NEAR(actor->GetHealthFraction(), 0.25f, 1e-3f);
    actor->Strength = 0;
    EXPECT_EQ(actor->GetHealthFraction(), 1.0f) << "nothing left to measure";
}

} // namespace
