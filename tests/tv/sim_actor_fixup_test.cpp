// The loader's second pass on actors whose saved ids, keys and flags the test
// sets as the state reader leaves them: references resolved (or none), the AI
// core installed again, worn items found by key, the messages the clients
// need, the track object's riders and floor links. Test thread only, holding
// the server lock as the loader does (no server thread runs).

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "Awapi/shape.h"
#include "Tv/client/inventory.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/frontend/levelnames.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/server.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/actor_save.h"
#include "Tv/sim/combat_ai.h"
#include "Tv/sim/equipped_item.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_centipede.h"
#include "Tv/sim/server_popup.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/server_track_object.h"
#include "tests/tv/sim_emplacement_fixture.h"

namespace {

constexpr Quaternion kIdentity{0, 0, 0, 1};
constexpr int32_t kAiCoreCentipede = 13;
constexpr int32_t kAiCoreCentibody = 14;

class ActorSaveFixUpTest : public EmplacementTest {
protected:
    void TearDown() override {
        TvSetLevelScriptName("");
        EmplacementTest::TearDown();
    }

    // How often the actor stands in its team's list.
    static int32_t TeamListEntries(const ServerObject& actor) {
        const List<ServerObject*>* list = TeamActorListOf(actor.Team);
        return list ? static_cast<int32_t>(std::count(list->begin(), list->end(), &actor)) : 0;
    }
    // A worn-item record as the state reader leaves it: the saved key and slot only.
    static void WearSaved(ServerUnit& unit, int32_t key, int32_t slot) {
        auto* worn = new EquippedItem;
        worn->SavedItemKey = key;
        worn->Slot = slot;
        unit.Equipment.PushBack(worn);
    }
    ServerUnit* MakeCore(const char* name, int32_t core, int32_t team = 2) {
        WalkerSpec spec;
        spec.aiCore = core;
        return MakeUnit(team, Vector3(0, 0, 0), MakeWalker(name, spec));
    }

    ServerLockHold lock_;
};

TEST_F(ActorSaveFixUpTest, SavedIdsAndKeysBecomeReferencesOrNone) {
    ObjectDefinition* heap = MakeDefinition("heap", 10, false, false, true);
    ObjectDefinition* gunner = MakeGunner("gunner");
    ServerBot* bot = MakeFittedBot(Vector3(0, 0, 0), gunner);
    ServerObject* target = MakeActor(2, Vector3(5, 0, 0));
    ASSERT_TRUE(bot && target);
    InventoryItem* ammo = Carry(*bot, IK_AMMO, 2, 2, 30);
    auto* shot = new ServerProjectile(1, bolt, Vector3(0, 1, 0), kIdentity, 0, bot->Id, -1, 0, TvNextActorId());
    const int32_t references = target->RefCount;

    bot->SavedHeapContentsId = heap->id + 1;
    bot->SavedAiTargetId = target->Id + 1;
    bot->SavedFireTargetId = target->Id + 1;
    bot->SavedAmmoItemKey = ammo->ItemId + 1;
    shot->SavedTargetId = target->Id + 1;
    TvFixUpLoadedActor(*bot);
    TvFixUpLoadedActor(*shot);
    EXPECT_EQ(bot->HeapContents, heap);
    EXPECT_EQ(bot->AiTarget, target);
    EXPECT_EQ(bot->FireTarget, target);
    EXPECT_EQ(bot->AmmoItem, ammo);
    EXPECT_EQ(shot->Target, target);
    EXPECT_EQ(TeamListEntries(*shot), 0) << "a shot has no AI core and stays out of the team lists";
    EXPECT_EQ(target->RefCount, references + 3) << "one reference per holder";
    EXPECT_EQ(bot->SavedHeapContentsId + bot->SavedAiTargetId + bot->SavedFireTargetId + bot->SavedAmmoItemKey, 0);

    // Ids and keys that name nothing resolve to none.
    ServerBot* other = MakeFittedBot(Vector3(2, 0, 0), gunner);
    other->SavedHeapContentsId = 90001;
    other->SavedAiTargetId = 90001;
    other->SavedFireTargetId = 90001;
    other->SavedAmmoItemKey = 90001;
    TvFixUpLoadedActor(*other);
    EXPECT_EQ(other->HeapContents, nullptr);
    EXPECT_EQ(other->AiTarget, nullptr);
    EXPECT_EQ(other->FireTarget, nullptr);
    EXPECT_EQ(other->AmmoItem, nullptr);
}

TEST_F(ActorSaveFixUpTest, WornItemsAreFoundByKeyAndARecordWithoutItsItemIsDropped) {
    ServerBot* bot = MakeFittedBot(Vector3(0, 0, 0), MakeGunner("gunner"));
    ASSERT_NE(bot, nullptr);
    InventoryItem* shield = Carry(*bot, IK_SHIELD, 5, 40, 40);
    shield->Shape = new AwShape;
    WearSaved(*bot, 777, 3); // no such key: the item was given away before the save
    WearSaved(*bot, shield->ItemId, 2);

    TvFixUpLoadedActor(*bot);
    ASSERT_EQ(bot->Equipment.Count(), 1);
    const EquippedItem* worn = bot->Equipment.Front();
    EXPECT_EQ(worn->Item, shield);
    EXPECT_EQ(worn->Slot, 2);
    EXPECT_EQ(worn->Kind, IK_SHIELD);
    EXPECT_EQ(worn->SubKind, 5);
    EXPECT_EQ(worn->Shape, shield->Shape);
    shield->Shape->ReleaseUse();
    shield->Shape = nullptr;
}

TEST_F(ActorSaveFixUpTest, TheAiCoreIsInstalledAgainOnceListedAndADisabledUnitStaysWithout) {
    ServerBot* bot = MakeBot(2, Vector3(0, 0, 0), MakeGunner("gunner"));
    ServerUnit* disabled = MakeCore("scavenger", 1);
    ASSERT_TRUE(bot && disabled);
    bot->AiTickCallback = nullptr; // as the state reader may leave it
    bot->AiFlags = 0xffff;
    disabled->Disabled = 1;
    ASSERT_NE(disabled->AiTickCallback, nullptr);

    TvFixUpLoadedActor(*bot);
    TvFixUpLoadedActor(*disabled);
    EXPECT_EQ(bot->AiTickCallback, &TvCombatAi);
    EXPECT_EQ(bot->AiFlags, 0u) << "the AI state starts afresh";
    EXPECT_EQ(TeamListEntries(*bot), 1);
    EXPECT_EQ(disabled->AiTickCallback, nullptr);
    EXPECT_EQ(disabled->AiStartCallback, nullptr);
    EXPECT_EQ(TeamListEntries(*disabled), 1);
}

TEST_F(ActorSaveFixUpTest, ClientsHearTheCrouchTheRaisedPopupAndTheLevelFourSequence) {
    ServerUnit* crouched = MakeCore("crouching", 1, 1);
    ServerPopup* popup = MakePopup(2, Vector3(4, 0, 0), MakeEmplacement("popup", 18));
    ServerUnit* doriz = MakeCore("DoRiz", 1, 0);
    ASSERT_TRUE(crouched && popup && doriz);
    crouched->Crouched = 1;
    crouched->Concealed = 1;
    popup->Raised = 1;
    TvSetLevelScriptName("LEVEL04.tvs");
    recorder.Clear();

    for (ServerObject* actor :
         {static_cast<ServerObject*>(crouched), static_cast<ServerObject*>(popup), static_cast<ServerObject*>(doriz)})
        TvFixUpLoadedActor(*actor);
    const std::vector<RecordedMessage> crouch = SentFor(77, crouched->Id);
    ASSERT_EQ(crouch.size(), 1u);
    EXPECT_EQ(crouch[0].bytes, (std::vector<uint8_t>{77, 0, 0, 0, static_cast<uint8_t>(crouched->Id), 0, 0, 0, 1}));
    EXPECT_EQ(SentFor(75, popup->Id).size(), 1u) << "the rise again, at fast speed";
    EXPECT_EQ(popup->Raised, 0);
    EXPECT_EQ(popup->Rising, 1);
    const std::vector<RecordedMessage> sequence = SentFor(186, doriz->Id);
    ASSERT_EQ(sequence.size(), 1u);
    EXPECT_EQ(sequence[0].bytes, MessageOf({186, doriz->Id, 101}));

    // Elsewhere, or in another team, that character plays nothing.
    TvSetLevelScriptName("level05.tvs");
    TvFixUpLoadedActor(*doriz);
    EXPECT_EQ(SentFor(186, doriz->Id).size(), 1u);
}

TEST_F(ActorSaveFixUpTest, TheCentipedeChainIsRelinkedAndAnnounced) {
    auto* head = static_cast<ServerCentibody*>(MakeCore("head", kAiCoreCentipede));
    auto* segment = static_cast<ServerCentibody*>(MakeCore("segment", kAiCoreCentibody));
    ServerObject* stranger = MakeActor(2);
    ASSERT_TRUE(head && segment && stranger && head->IsCentipede() && segment->IsCentibody());
    ASSERT_EQ(head->NextSegment, nullptr) << "no centibody definition: the head spawned none";
    const int32_t references = segment->RefCount;
    head->SavedNextSegmentId = segment->Id + 1;
    segment->SavedNextSegmentId = stranger->Id + 1; // not a segment: the chain ends
    recorder.Clear();

    TvFixUpLoadedActor(*head);
    TvFixUpLoadedActor(*segment);
    EXPECT_EQ(head->NextSegment, segment);
    EXPECT_EQ(segment->RefCount, references + 1);
    EXPECT_EQ(segment->NextSegment, nullptr);
    const std::vector<RecordedMessage> links = recorder.Sent(138);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].bytes, MessageOf({138, head->Id, segment->Id}));
}

// A lift whose 2 m floor (class 0x2000) touches a landing (class 0x4000) of the level.
class ActorSaveTrackFixUpTest : public ActorSaveFixUpTest {
protected:
    void SetUp() override {
        ActorSaveFixUpTest::SetUp();
        GeometryLayout level;
        level.FloorQuad(0, 0, 2, 2, 0).flags = 0x4000;
        level.FloorQuad(190, 0, 196, 2, 0); // far away: cells of 2 m, which the lift's links reach across
        MakeLevel(level);
        landing = FloorAt(1, 1);

        ObjectDefinition* definition = MakeDefinition("lift", kAiCoreTrackObject);
        GeometryLayout floor;
        floor.FloorQuad(-1, -1, 1, 1, 0).flags = 0x2000;
        ShapeTree tree = MakeGeometryTree(floor);
        definition->shape = tree->Slots[0];
        definition->shape->AddUse();
        ServerObject* actor = TvFindActor(TvCreateServerActor(0, definition, Vector3(3, 0, 1), kIdentity));
        ASSERT_TRUE(actor && actor->IsTrackObject());
        actor->Start(Now(), NowSeconds());
        lift = static_cast<ServerTrackObject*>(actor);
        ASSERT_NE(lift->Mesh, nullptr);
    }
    CollisionPolygon& LiftFloor() const { return lift->Mesh->Polygon(0); }

    ServerTrackObject* lift = nullptr;
    CollisionPolygon* landing = nullptr;
};

TEST_F(ActorSaveTrackFixUpTest, RidersComeBackOnceEachAndTheFloorIsLinkedAgainUnlessRunning) {
    ServerObject* a = MakeActor(1);
    ServerObject* b = MakeActor(1);
    const int32_t references = a->RefCount;
    for (int32_t id : {a->Id, b->Id, a->Id, 90000}) lift->SavedRiderIds.PushBack(id);
    lift->CarriesRiders = 1;
    CollisionPolygonUnlinkNeighbours(&LiftFloor());
    ASSERT_FALSE(LiftFloor().HasNeighbour(landing));

    lift->Running = 1;
    TvFixUpLoadedActor(*lift);
    EXPECT_EQ(std::vector<ServerObject*>(lift->Riders.begin(), lift->Riders.end()), (std::vector<ServerObject*>{a, b}));
    EXPECT_EQ(a->RefCount, references + 1);
    EXPECT_EQ(a->OnTrack, 1);
    EXPECT_TRUE(lift->SavedRiderIds.IsEmpty());
    EXPECT_FALSE(LiftFloor().HasNeighbour(landing)) << "a running lift stays cut off";

    lift->Running = 0;
    TvFixUpLoadedActor(*lift);
    EXPECT_TRUE(LiftFloor().HasNeighbour(landing) && landing->HasNeighbour(&LiftFloor()));
    EXPECT_EQ(lift->Riders.Count(), 2);
}

} // namespace
