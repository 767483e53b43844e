// The server actor base and the actor registry.
#include "Tv/server/message_types.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "tests/tv/server_fixture.h"

namespace {

using SimActorTest = ServerTest;

class CountedActor : public ServerObject {
public:
    CountedActor(int32_t team, int32_t id, int32_t* alive)
        : ServerObject(team, nullptr, {0, 0, 0}, {0, 0, 0, 1}, kActorFlagsPlain, id), alive_(alive) {
        ++*alive_;
    }
    ~CountedActor() override { --*alive_; }

private:
    int32_t* alive_;
};

TEST_F(SimActorTest, IdsCountUpAndLookUpsFindTheExactIdInSharedBuckets) {
    int32_t alive = 0;
    for (int32_t id : {0, 64, 128, 5}) new CountedActor(1, id, &alive);
    EXPECT_EQ(ServerActorHash.Count(), 4);
    for (int32_t id : {0, 64, 128, 5}) {
        ASSERT_NE(TvFindActor(id), nullptr);
        EXPECT_EQ(TvFindActor(id)->Id, id);
    }
    EXPECT_EQ(TvFindActor(192), nullptr);
    EXPECT_EQ(TvNextActorId(), 0);
    EXPECT_EQ(TvNextActorId(), 1);
    TvResetActorIds();
    EXPECT_EQ(ActorIdCounter, 0);
    TvReleaseAllActors();
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(ServerActorHash.Count(), 0);
}

TEST_F(SimActorTest, RemoveAnnouncesOnceAndReleasesTheRegistrysReferenceOnce) {
    int32_t alive = 0;
    ServerObject* actor = new CountedActor(2, 9, &alive);
    TeamListAppend(actor);
    actor->AddRef(); // a list elsewhere still holds it
    actor->Remove(true);
    EXPECT_TRUE(actor->Dead);
    EXPECT_FALSE(actor->IsAlive());
    EXPECT_EQ(TvFindActor(9), nullptr);
    EXPECT_EQ(actor->RefCount, 1);
    actor->Remove(true);
    EXPECT_EQ(actor->RefCount, 1);
    const std::vector<RecordedMessage> removed = recorder.Sent(MSG_REMOVE_OBJECT);
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(removed[0].bytes, MessageOf({MSG_REMOVE_OBJECT, 9}));
    EXPECT_EQ(TeamActorListOf(2)->Count(), 1) << "the team list keeps it until it is deleted";
    actor->Release();
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(TeamActorListOf(2)->Count(), 0);
}

TEST_F(SimActorTest, SnapshotsSurviveRemovalAndHoldReferencesWhenAsked) {
    int32_t alive = 0;
    for (int32_t id = 0; id < 5; ++id) new CountedActor(1, id * 64 + 1, &alive);
    std::vector<int32_t> walked;
    {
        ActorSnapshot snapshot(ActorSnapshot::Hold::References);
        snapshot.ForEach([&](ServerObject* actor) {
            walked.push_back(actor->Id);
            actor->Remove(false);
        });
        EXPECT_EQ(alive, 5) << "the snapshot still holds every actor";
        EXPECT_EQ(ServerActorHash.Count(), 0);
    }
    EXPECT_EQ(alive, 0);
    // One bucket, re-inserted at its head: the snapshot walks the chain in creation order.
    EXPECT_EQ(walked, (std::vector<int32_t>{1, 65, 129, 193, 257}));
}

TEST_F(SimActorTest, TeamListsExistForTeamsZeroToNine) {
    EXPECT_NE(TeamActorListOf(0), nullptr);
    EXPECT_NE(TeamActorListOf(9), nullptr);
    EXPECT_EQ(TeamActorListOf(10), nullptr);
    EXPECT_EQ(TeamActorListOf(-1), nullptr);
    int32_t alive = 0;
    ServerObject* stray = new CountedActor(12, 3, &alive);
    TeamListAppend(stray); // no list: nothing happens
    ServerObject* listed = new CountedActor(4, 4, &alive);
    TeamListAppend(listed);
    EXPECT_EQ(TeamActorListOf(4)->Front(), listed);
    TvReleaseAllActors();
    EXPECT_EQ(alive, 0);
    EXPECT_TRUE(TeamActorListOf(4)->IsEmpty());
}

TEST_F(SimActorTest, TheBaseAnswersItsOwnOperations) {
    int32_t alive = 0;
    ServerObject* actor = new CountedActor(1, 2, &alive);
    EXPECT_EQ(actor->GetSize(), 288);
    EXPECT_FALSE(actor->IsUnit() || actor->IsBot() || actor->IsProjectile() || actor->IsTrackObject() ||
                 actor->IsNode() || actor->IsCentipede() || actor->IsCentibody() || actor->IsBackgroundCreature() ||
                 actor->IsFlyingCreature() || actor->IsPickup() || actor->IsTumbleweed() || actor->IsPopup() ||
                 actor->IsBlocker() || actor->IsPresident() || actor->IsTurret());
    EXPECT_EQ(actor->GetFloorPolygon(), nullptr);
    EXPECT_FALSE(actor->StateChanged);
    actor->SetPosition({1, 2, 3});
    EXPECT_TRUE(actor->StateChanged);
    EXPECT_EQ(actor->Position.y, 2.0f);
    actor->StateChanged = 0;
    actor->SetOrientation({0, 1, 0, 0});
    EXPECT_TRUE(actor->StateChanged);
    actor->SetTeam(5);
    EXPECT_EQ(actor->Team, 5);
    actor->Start(1234, 5.5f);
    EXPECT_EQ(actor->StateTicks, 1234u);
    EXPECT_EQ(actor->ThinkTicks, 1234u);
    EXPECT_EQ(actor->StateSeconds, 5.5f);
    EXPECT_EQ(actor->LastSeconds, 5.5f);
    TvStartAllActors();
    EXPECT_EQ(actor->StateTicks, 0u);
    EXPECT_EQ(actor->LastSeconds, 0.0f);
    TvReleaseAllActors();
    EXPECT_EQ(alive, 0);
}

} // namespace
