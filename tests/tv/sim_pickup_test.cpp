// Pickups: what the definition gives them, being taken and coming back, the
// key a collector must carry, the scripts of switches, the pick-up animation
// and the creatures a heap wakes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Awapi/model/model_node.h"
#include "Tv/client/inventory.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/server/server.h"
#include "Tv/server/session_players.h"
#include "Tv/server/session_start.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/item_messages.h"
#include "Tv/sim/server_pickup.h"
#include "Tv/sim/server_unit.h"
#include "Tv/world/intersection.h"
#include "core/clock.h"
#include "core/random.h"
#include "core/stringtable.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr Quaternion kIdentity{0, 0, 0, 1};

// A model whose root has sequences 0 to count - 1, one frame each (one use, for a definition to hold).
AwModel* ModelWithSequences(int32_t count) {
    auto* model = new AwModel;
    model->Sequences = std::make_unique<AwAnimSequenceList>(count);
    for (auto& sequence : *model->Sequences) {
        sequence = std::make_unique<AwAnimSequence>();
        sequence->Frames.resize(1);
    }
    return model;
}

class PickupTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        savedRespawnTime_ = PickupRespawnTime;
    }
    void TearDown() override {
        PickupRespawnTime = savedRespawnTime_;
        ResourceStrings = savedStrings_;
        SimTest::TearDown();
    }

    // A pickup definition of that aggression class (x 10: class 2 is 0.2).
    ObjectDefinition* MakePickupDefinition(const char* name, int32_t heapClass = 2) {
        ObjectDefinition* definition = MakeDefinition(name, kAiCorePickup, true);
        definition->character->aggression = static_cast<Real>(heapClass) / 10.0f + 0.01f;
        return definition;
    }
    // A pickup of team 0 made as the level load makes it.
    ServerPickup* MakePickup(const ObjectDefinition* definition, const Vector3& position = {0, 0, 0}) {
        ServerObject* actor = TvFindActor(TvCreateServerActor(0, definition, position, kIdentity));
        if (!actor || !actor->IsPickup()) return nullptr;
        actor->Start(Now(), NowSeconds());
        return static_cast<ServerPickup*>(actor);
    }
    // A unit of the team on a small floor, heading for the pickup.
    ServerUnit* MakeCollector(ServerPickup* pickup, int32_t team = 1, const ObjectDefinition* definition = nullptr) {
        if (!LevelWorldInstance) MakeFloor(4, 4);
        ServerUnit* unit = MakeUnit(team, Vector3(1, 0, 1), definition);
        if (unit) unit->TargetId = pickup->Id;
        return unit;
    }
    // Gives the unit an item of that (registered) definition.
    void GiveItem(ServerUnit& unit, const ObjectDefinition* definition) {
        if (!unit.Inventory) unit.Inventory = new Inventory(kWeaponTypeNone, unit.Definition);
        unit.Inventory->AddItem(IK_MODULE, definition, TakeInventoryItemId(), 1);
    }
    // Resource string 3402 reads `text` until the test ends.
    void SetKeyText(const char* text) {
        keyText_ = text;
        keyEntry_ = StringTableEntry{3402, keyText_.data()};
        ResourceStrings = StringTable{&keyEntry_, 1};
    }
    int32_t CountSent(int32_t type) { return recorder.CountSent(type); }

private:
    int32_t savedRespawnTime_ = 60;
    StringTable savedStrings_ = ResourceStrings;
    std::string keyText_;
    StringTableEntry keyEntry_{};
};

TEST_F(PickupTest, ItsFieldsComeFromTheDefinition) {
    ObjectDefinition* plain = MakePickupDefinition("medkit");
    ServerPickup* bare = MakePickup(plain);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->GetSize(), 336);
    EXPECT_EQ(bare->HeapClass, 2);
    EXPECT_EQ(bare->PickupRadius, 6.0f) << "without a pickup record";
    EXPECT_EQ(bare->ItemCount, -1);
    EXPECT_EQ(bare->RespawnMode, 0);
    EXPECT_FALSE(bare->Mobile);
    EXPECT_EQ(bare->GetArmour(), 1000.0f) << "a pickup that stays cannot be shot away";
    EXPECT_FALSE(bare->IsDetectable());

    ObjectDefinition* keyed = MakePickupDefinition("card", 6);
    keyed->flags |= kDefinitionDestroyAfterCollection;
    keyed->armour = 3;
    keyed->pickup = std::make_unique<PickupRecord>();
    keyed->pickup->pickupRadius = 2.5f;
    keyed->pickup->actionOnDeath = 1;
    ServerPickup* recorded = MakePickup(keyed);
    ASSERT_NE(recorded, nullptr);
    EXPECT_EQ(recorded->HeapClass, 6);
    EXPECT_EQ(recorded->PickupRadius, 2.5f);
    EXPECT_EQ(recorded->DeathAction, 1);
    EXPECT_TRUE(recorded->DestroyAfterCollection);
    EXPECT_EQ(recorded->GetArmour(), 3.0f);

    HitRecord hit;
    EXPECT_FALSE(recorded->HitTestSegment(hit, Vector3(0, -1, -5), Vector3(0, 0, 1), hit)) << "shots pass through";
    EXPECT_FALSE(recorded->HitTestBallistic(hit, Vector3(0, -1, -5), Vector3(0, 0, 1), Vector3(0, 9.81f, 0), hit));
}

TEST_F(PickupTest, ATakenPickupComesBackAfterItsRespawnModesShareOfTheRespawnTime) {
    struct Case {
        int32_t respawnTime, mode;
        Real away; // seconds until it is back; 0: never
    };
    const Case cases[] = {{60, 3, 30}, {60, 2, 60}, {60, 1, 120}, {60, 0, 0}, {240, 3, 120}, {15, 1, 30}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "respawn time " << c.respawnTime << ", mode " << c.mode);
        PickupRespawnTime = c.respawnTime;
        ServerPickup* pickup = MakePickup(MakePickupDefinition("ammo"));
        ASSERT_NE(pickup, nullptr);
        pickup->RespawnMode = c.mode;
        recorder.Clear();
        pickup->SetTaken(true);
        EXPECT_TRUE(pickup->Taken);
        EXPECT_TRUE(pickup->IsDetectable());
        ASSERT_EQ(SentFor(kMsgPickupTaken, pickup->Id).size(), 1u);
        EXPECT_EQ(SentFor(kMsgPickupTaken, pickup->Id)[0].bytes.size(), 8u);

        const Real away = c.away > 0 ? c.away : 1000.0f;
        AdvanceSeconds(away - 0.5f);
        pickup->Think(Now(), NowSeconds());
        EXPECT_TRUE(pickup->Taken) << "half a second early";
        AdvanceSeconds(1.0);
        pickup->Think(Now(), NowSeconds());
        EXPECT_EQ(pickup->Taken, c.away > 0 ? 0 : 1);
        pickup->Think(Now(), NowSeconds());
        const std::vector<RecordedMessage> back = SentFor(kMsgPickupBack, pickup->Id);
        ASSERT_EQ(back.size(), c.away > 0 ? 1u : 0u) << "announced once";
        if (!back.empty()) EXPECT_EQ(back[0].bytes.size(), 8u);
        pickup->Remove(false);
    }
}

TEST_F(PickupTest, WithNoRespawnTimeAPickupIsBackOnThePassAfterItWasTaken) {
    PickupRespawnTime = 0;
    ServerPickup* pickup = MakePickup(MakePickupDefinition("ammo"));
    ASSERT_NE(pickup, nullptr);
    pickup->RespawnMode = 2;
    pickup->SetTaken(true);
    pickup->Think(Now(), NowSeconds());
    EXPECT_TRUE(pickup->Taken) << "not within the same instant";
    AdvanceSeconds(0.05);
    pickup->Think(Now(), NowSeconds());
    EXPECT_FALSE(pickup->Taken);
}

TEST_F(PickupTest, APickupThatGoesAfterCollectionIsRemovedWhenTaken) {
    ObjectDefinition* definition = MakePickupDefinition("battery");
    definition->flags |= kDefinitionDestroyAfterCollection;
    ServerPickup* pickup = MakePickup(definition);
    ASSERT_NE(pickup, nullptr);
    const int32_t id = pickup->Id;
    pickup->RespawnMode = 3;
    pickup->SetTaken(true); // the pickup is deleted here
    EXPECT_EQ(TvFindActor(id), nullptr);
    EXPECT_EQ(SentFor(MSG_REMOVE_OBJECT, id).size(), 1u) << "the clients drop their twin";
    EXPECT_TRUE(SentFor(kMsgPickupTaken, id).empty());
}

TEST_F(PickupTest, AUnitWithoutTheKeyIsTurnedAwayAndToldOnlyOfKeysNamedKey) {
    SetKeyText("You need a key");
    ObjectDefinition* key = MakeDefinition("KEY_1", kAiCorePickup, true, false, true);
    MakeDefinition("Lever", kAiCorePickup, true, false, true);
    struct Case {
        const char* required;
        bool told;
    };
    const Case cases[] = {{"KEY_1", true}, {"kEy_2", true}, {"Lever", false}, {"ke", false}, {"nothing", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.required);
        ServerPickup* door = MakePickup(MakePickupDefinition("DOOR_A"));
        ASSERT_NE(door, nullptr);
        door->SetKey(c.required);
        ServerUnit* unit = MakeCollector(door);
        ASSERT_NE(unit, nullptr);
        recorder.Clear();
        door->Collect(unit);
        EXPECT_EQ(unit->TargetId, -1) << "it gives up the pickup";
        EXPECT_FALSE(unit->Collecting);
        EXPECT_FALSE(door->Taken);
        const std::vector<RecordedMessage> cues = recorder.Sent(kMsgActorCue);
        ASSERT_EQ(cues.size(), 1u);
        EXPECT_EQ(cues[0].bytes, MessageOf({kMsgActorCue, 40, unit->Id}));
        const std::vector<RecordedMessage> told = SentFor(kMsgPlayerText, unit->Id);
        ASSERT_EQ(told.size(), c.told ? 1u : 0u);
        if (c.told) {
            const std::vector<uint8_t>& bytes = told[0].bytes;
            ASSERT_EQ(bytes.size(), 8u + std::strlen("You need a key") + 1);
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 8)), "You need a key");
            EXPECT_EQ(bytes.back(), 0);
        }
        unit->Remove(false);
    }

    // Carrying the key, the unit is let through to the item.
    ServerPickup* door = MakePickup(MakePickupDefinition("DOOR_B"));
    ASSERT_NE(door, nullptr);
    door->SetKey("key_1");
    ServerUnit* unit = MakeCollector(door);
    ASSERT_NE(unit, nullptr);
    GiveItem(*unit, key);
    recorder.Clear();
    door->Collect(unit);
    EXPECT_EQ(CountSent(kMsgActorCue), 0);
    EXPECT_EQ(CountSent(kMsgPlayerText), 0);
}

TEST_F(PickupTest, TheKeyNoticeGoesToThePlayerOfTheUnitsTeam) {
    StartServer(MakeSession(3));
    ASSERT_TRUE(TvCloseSessionToJoins()); // the server's player list
    ServerLockHold hold;
    SetKeyText("Locked");
    struct Case {
        int32_t gameType, team;
        int32_t player; // -1: nobody; 3: everybody
    };
    const Case cases[] = {{kGameCaptureTheFlag, 1, 0},  {kGameCaptureTheFlag, 3, 1}, {kGameCaptureTheFlag, 4, 2},
                          {kGameCaptureTheFlag, 2, -1}, {kGameLeadKills, 0, -1},     {kGameStory, 3, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "game type " << c.gameType << ", team " << c.team);
        CurrentGameType = c.gameType;
        ServerPickup* door = MakePickup(MakePickupDefinition("DOOR_A"));
        ASSERT_NE(door, nullptr);
        door->SetKey("KEY_1");
        ServerUnit* unit = MakeCollector(door, c.team);
        ASSERT_NE(unit, nullptr);
        session->TakeSends();
        TvRefreshPlayerQueueCounts(); // the set-up's broadcasts would throttle the notice
        door->Collect(unit);
        std::vector<plat::DpId> reached;
        for (const FakeDirectPlay::Sent& sent : session->TakeSends())
            if (sent.Type() == kMsgPlayerText) reached.push_back(sent.to);
        if (c.player < 0) {
            EXPECT_TRUE(reached.empty());
        } else if (c.player == 3) {
            EXPECT_EQ(reached.size(), 3u);
        } else {
            ASSERT_EQ(reached.size(), 1u);
            EXPECT_EQ(reached[0], TvGetPlayer(c.player)->Id);
        }
        unit->Remove(false);
        door->Remove(false);
    }
}

TEST_F(PickupTest, ALinkedScriptRunsOnEveryCollectionAnAssociatedOneOnce) {
    ServerPickup* lever = MakePickup(MakePickupDefinition("lever"));
    ASSERT_NE(lever, nullptr);
    EXPECT_FALSE(lever->GetPickupFlag());
    lever->SetScript("open_gate", false);
    EXPECT_TRUE(lever->GetPickupFlag());
    EXPECT_EQ(SentFor(kMsgPickupScriptSet, lever->Id).size(), 1u);
    ServerUnit* unit = MakeCollector(lever);
    ASSERT_NE(unit, nullptr);
    for (int32_t pass = 0; pass < 2; ++pass) {
        unit->TargetId = lever->Id;
        lever->Collect(unit);
        EXPECT_EQ(unit->TargetId, -1);
    }
    EXPECT_EQ(CountSent(MSG_RUN_SCRIPT), 2);
    EXPECT_EQ(SentFor(kMsgPickupScriptRun, lever->Id).size(), 2u);
    EXPECT_EQ(recorder.Sent(kMsgActorCue)[0].bytes, MessageOf({kMsgActorCue, 25, lever->Id}));
    EXPECT_FALSE(lever->Taken);
    EXPECT_EQ(CountSent(kMsgPickupScriptUsed), 0);

    ServerPickup* button = MakePickup(MakePickupDefinition("button"));
    ASSERT_NE(button, nullptr);
    button->SetScript("lights", true);
    recorder.Clear();
    button->Collect(unit);
    button->Collect(unit);
    EXPECT_EQ(CountSent(MSG_RUN_SCRIPT), 1);
    EXPECT_TRUE(button->Taken);
    EXPECT_TRUE(button->Script.IsNone());
    EXPECT_EQ(SentFor(kMsgPickupScriptUsed, button->Id).size(), 1u);
    EXPECT_TRUE(button->GetPickupFlag()) << "it had a script";
}

TEST_F(PickupTest, TheUnitPlaysThePickUpSequenceOfTheItemsClassWhenItsModelHasIt) {
    ObjectDefinition* picker = MakeWalker("picker");
    picker->model = ModelWithSequences(50); // 49, not 50
    struct Case {
        int32_t heapClass;
        int32_t sequence; // 0: taken at once
    };
    for (const Case& c : {Case{2, 49}, Case{4, 0}}) {
        SCOPED_TRACE(c.heapClass);
        ServerPickup* pickup = MakePickup(MakePickupDefinition("crate", c.heapClass));
        ASSERT_NE(pickup, nullptr);
        AdvanceSeconds(2.0);
        pickup->Think(Now(), NowSeconds());
        ServerUnit* unit = MakeCollector(pickup, 1, picker);
        ASSERT_NE(unit, nullptr);
        recorder.Clear();
        pickup->Collect(unit);
        const std::vector<RecordedMessage> played = SentFor(kMsgUnitSequence, unit->Id);
        if (c.sequence == 0) {
            EXPECT_TRUE(played.empty());
            EXPECT_FALSE(unit->Collecting);
            EXPECT_EQ(unit->TargetId, -1) << "the unit is done with it, as after the animation";
        } else {
            ASSERT_EQ(played.size(), 1u);
            const std::vector<uint8_t>& bytes = played[0].bytes;
            ASSERT_EQ(bytes.size(), 25u);
            EXPECT_EQ(MessageInt(bytes, 8), c.sequence);
            EXPECT_EQ(MessageInt(bytes, 12), 8);
            EXPECT_EQ(MessageFloat(bytes, 16), pickup->LastSeconds + 1.0f);
            EXPECT_EQ(MessageInt(bytes, 20), 1);
            EXPECT_EQ(bytes[24], 1);
            EXPECT_TRUE(unit->Collecting);
            EXPECT_EQ(unit->TargetId, pickup->Id) << "collected when the sequence ends";
        }
        unit->Remove(false);
    }
}

TEST_F(PickupTest, ATakenPickupIgnoresCollectors) {
    ServerPickup* pickup = MakePickup(MakePickupDefinition("crate"));
    ASSERT_NE(pickup, nullptr);
    pickup->SetKey("KEY_1");
    pickup->SetScript("s", false);
    pickup->SetTaken(true);
    ServerUnit* unit = MakeCollector(pickup);
    ASSERT_NE(unit, nullptr);
    recorder.Clear();
    pickup->Collect(unit);
    EXPECT_EQ(unit->TargetId, pickup->Id);
    EXPECT_TRUE(recorder.Messages().empty());
}

TEST_F(PickupTest, AFittedUnitInReachPlaysThePickUpTakesTheItemsAndThePickupComesBack) {
    ObjectDefinition* fitted = MakeWalker("fitted");
    fitted->model = ModelWithSequences(50);
    fitted->character->customisationModel = ModelWithSequences(1);
    ObjectDefinition* definition = MakePickupDefinition("scrap");
    definition->character->walkingSpeed = 4 << 16; // four items a pickup
    ServerPickup* pickup = MakePickup(definition, Vector3(2, 0, 1));
    ASSERT_NE(pickup, nullptr);
    pickup->RespawnMode = 3;
    ServerUnit* unit = MakeCollector(pickup, 1, fitted); // 1 m away: within the squared radius 6
    ASSERT_NE(unit, nullptr);
    ASSERT_NE(unit->Inventory, nullptr);

    // The sequence starts on the game clock and runs on the server's: they agree, as at a level start.
    GameClock.SetTime(ServerClock.GetTime());
    Step(0.1f);
    EXPECT_EQ(SentFor(kMsgUnitSequence, unit->Id).size(), 1u);
    for (int32_t i = 0; i < 50 && recorder.CountSent(MSG_PICKUP_COLLECTED) == 0; ++i) Step(0.1f);
    const std::vector<RecordedMessage> collected = SentFor(MSG_PICKUP_COLLECTED, unit->Id);
    ASSERT_EQ(collected.size(), 1u) << "taken when the sequence ends";
    EXPECT_EQ(collected[0].bytes.size(), 24u);
    EXPECT_EQ(MessageInt(collected[0].bytes, 8), 2);
    EXPECT_EQ(MessageInt(collected[0].bytes, 12), definition->id);
    EXPECT_EQ(MessageInt(collected[0].bytes, 20), 4);
    EXPECT_FALSE(unit->Collecting);
    EXPECT_EQ(unit->TargetId, -1);
    EXPECT_TRUE(pickup->Taken);
    EXPECT_EQ(SentFor(kMsgPickupTaken, pickup->Id).size(), 1u);

    Step(29.0f);
    EXPECT_TRUE(pickup->Taken);
    Step(1.5f);
    EXPECT_FALSE(pickup->Taken);
    EXPECT_EQ(SentFor(kMsgPickupBack, pickup->Id).size(), 1u);
    EXPECT_EQ(SentFor(MSG_PICKUP_COLLECTED, unit->Id).size(), 1u) << "the unit went on to other things";
}

// The creatures a heap wakes, replayed from the same seed: the kind, the
// count, then b before a for each creature's offset.
struct WokenCreatures {
    bool fly;
    int32_t count;
    std::vector<Vector3> offsets;
};

WokenCreatures ExpectedCreatures(uint32_t seed, bool flyDefined, bool bugDefined) {
    RandomGenerator random(seed);
    WokenCreatures woken{};
    woken.fly = flyDefined && (!bugDefined || random.Draw() % 3 == 2);
    woken.count = 1 + static_cast<int32_t>(random.Draw() % (woken.fly ? 2 : 3));
    for (int32_t i = 0; i < woken.count; ++i) {
        const Real b = static_cast<Real>(random.Draw() % 11) * 0.1f - 0.5f;
        const Real a = static_cast<Real>(random.Draw() % 11) * 0.1f - 0.5f;
        woken.offsets.emplace_back(a, -0.5f, b);
    }
    return woken;
}

TEST_F(PickupTest, AHeapTurningFromTheSecondClassWakesFliesOrBugsAroundIt) {
    const ObjectDefinition* fly = MakeDefinition("fly", 12, false, false, true);
    const ObjectDefinition* bug = MakeDefinition("bug", 11, false, false, true);
    const Vector3 at(5, -1, 7);
    bool sawFly = false, sawBug = false;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        ServerPickup* heap = MakePickup(MakePickupDefinition("heap"), at);
        ASSERT_NE(heap, nullptr);
        RandomGenerator::ForCallingThread().Seed(seed);
        recorder.Clear();
        heap->SetHeap(4, 1);
        EXPECT_EQ(heap->HeapClass, 4);
        const WokenCreatures expected = ExpectedCreatures(seed, true, true);
        (expected.fly ? sawFly : sawBug) = true;
        const std::vector<RecordedMessage> made = recorder.Sent(MSG_CREATE_OBJECT);
        ASSERT_EQ(made.size(), static_cast<size_t>(expected.count));
        for (size_t i = 0; i < made.size(); ++i) {
            EXPECT_EQ(MessageInt(made[i].bytes, 8), expected.fly ? fly->id : bug->id);
            EXPECT_EQ(made[i].bytes[12], 0) << "team 0";
            const Vector3 place(MessageFloat(made[i].bytes, 20), MessageFloat(made[i].bytes, 24),
                                MessageFloat(made[i].bytes, 28));
            const Vector3 offset = expected.offsets[i];
            EXPECT_EQ(place.x, at.x + offset.x);
            EXPECT_EQ(place.y, at.y + offset.y);
            EXPECT_EQ(place.z, at.z + offset.z);
        }
    }
    EXPECT_TRUE(sawFly && sawBug) << "both kinds within the seeds tried";
}

TEST_F(PickupTest, OnlyAnAnnouncedChangeAwayFromTheSecondClassOfAPickupThatStaysWakesCreatures) {
    MakeDefinition("bug", 11, false, false, true);
    ObjectDefinition* goes = MakePickupDefinition("battery");
    goes->flags |= kDefinitionDestroyAfterCollection;
    struct Case {
        const ObjectDefinition* definition;
        int32_t from, to, announce;
        bool wakes;
    };
    const Case cases[] = {
        {MakePickupDefinition("heap"), 2, 4, 1, true},
        {MakePickupDefinition("heap"), 2, 4, 0, false},
        {MakePickupDefinition("heap"), 4, 6, 1, false},
        {MakePickupDefinition("heap"), 2, 2, 1, false},
        {goes, 2, 4, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " to " << c.to << ", announce " << c.announce);
        ServerPickup* heap = MakePickup(c.definition);
        ASSERT_NE(heap, nullptr);
        heap->HeapClass = c.from;
        recorder.Clear();
        heap->SetHeap(c.to, c.announce);
        EXPECT_EQ(heap->HeapClass, c.to);
        const int32_t made = CountSent(MSG_CREATE_OBJECT);
        if (c.wakes) {
            EXPECT_GE(made, 1);
            EXPECT_LE(made, 3);
        } else {
            EXPECT_EQ(made, 0);
        }
    }
}

TEST_F(PickupTest, WithOnlyOneCreatureDefinedThatOneWakesAndWithNeitherNone) {
    ServerPickup* heap = MakePickup(MakePickupDefinition("heap"));
    ASSERT_NE(heap, nullptr);
    heap->SetHeap(4, 1);
    EXPECT_EQ(CountSent(MSG_CREATE_OBJECT), 0) << "neither defined";

    const ObjectDefinition* fly = MakeDefinition("fly", 12, false, false, true);
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        heap->HeapClass = 2;
        RandomGenerator::ForCallingThread().Seed(seed);
        recorder.Clear();
        heap->SetHeap(4, 1);
        const std::vector<RecordedMessage> made = recorder.Sent(MSG_CREATE_OBJECT);
        EXPECT_EQ(made.size(), static_cast<size_t>(ExpectedCreatures(seed, true, false).count));
        for (const RecordedMessage& m : made) EXPECT_EQ(MessageInt(m.bytes, 8), fly->id);
    }
}

} // namespace
