// Centipedes: the body the head spawns, how it follows, and how the chain breaks.
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_centipede.h"
#include "tests/tv/sim_fixture.h"

namespace {

constexpr int32_t kAiCoreCentipede = 13;
constexpr int32_t kAiCoreCentibody = 14;
constexpr int32_t kFacingPlusX = 1024; // a quarter turn: forward is +x
constexpr Real kTableError = 1e-3f;    // of the maths tables' square roots and sines

// The actor's forward axis points that way, within the two angle units the floored half angles may lose.
void ExpectFacing(const ServerObject& actor, const Vector3& direction) {
    constexpr Real kTwoAngleUnits = 3.1e-3f;
    Vector3 forward;
    QuaternionZAxis(forward, actor.Orientation);
    EXPECT_NEAR(forward.x, direction.x, kTwoAngleUnits);
    EXPECT_NEAR(forward.y, direction.y, kTwoAngleUnits);
    EXPECT_NEAR(forward.z, direction.z, kTwoAngleUnits);
}

class CentipedeTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        MakeFloor(20, 20);
        WalkerSpec headSpec;
        headSpec.aiCore = kAiCoreCentipede;
        headKind = MakeWalker("centipede", headSpec);
        Explodes(*headKind, 0, 0);
        WalkerSpec bodySpec;
        bodySpec.aiCore = kAiCoreCentibody;
        bodySpec.registered = true;
        bodyKind = MakeWalker("centibody", bodySpec);
    }

    // The definition's destruction: removal, with a blast when asked.
    static void Explodes(ObjectDefinition& definition, Real blastDamage, Real blastRange) {
        auto record = std::make_unique<FragDataRecord>();
        record->replace = true;
        record->blastDamage = blastDamage;
        record->blastRange = blastRange;
        definition.destruction = std::move(record);
    }

    ServerCentipede* Head(const Vector3& at = {20, 0, 20}) {
        ServerUnit* unit = MakeUnit(2, at, headKind, kFacingPlusX);
        return unit && unit->IsCentipede() ? static_cast<ServerCentipede*>(unit) : nullptr;
    }

    // The head's segments, front to back.
    static std::vector<ServerCentibody*> Body(const ServerCentibody& head) {
        std::vector<ServerCentibody*> body;
        for (ServerCentibody* s = head.NextSegment; s; s = s->NextSegment) body.push_back(s);
        return body;
    }

    // The head walks toward +x; its think runs `seconds` on.
    void Crawl(ServerCentipede& head, Real seconds) {
        head.WalkTo(head.Position + Vector3(20, 0, 0), false);
        ThinkUnit(head, seconds);
    }

    static void Place(ServerUnit& unit, const Vector3& at) {
        unit.SetPosition(at);
        unit.SyncMotionPosition();
    }

    static void Kill(ServerObject& unit) { unit.TakeDamage(1000, false, 1); }

    ObjectDefinition* headKind = nullptr;
    ObjectDefinition* bodyKind = nullptr;
};

TEST_F(CentipedeTest, TheHeadSpawnsFiveSegmentsOneToFiveMetresBehindIt) {
    ServerCentipede* head = Head();
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->GetSize(), 784);
    const std::vector<ServerCentibody*> body = Body(*head);
    ASSERT_EQ(body.size(), 5u);
    const std::vector<RecordedMessage> links = recorder.Sent(kMsgSegmentLinked);
    ASSERT_EQ(links.size(), 5u);
    int32_t front = head->Id;
    for (size_t i = 0; i < body.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(body[i]->IsCentibody());
        EXPECT_FALSE(body[i]->IsCentipede());
        EXPECT_EQ(body[i]->Team, 2);
        EXPECT_NEAR(body[i]->Position.x, 20.0f - static_cast<Real>(i + 1), 1e-5f);
        EXPECT_NEAR(body[i]->Position.z, 20.0f, 1e-5f);
        ASSERT_EQ(links[i].bytes.size(), 12u);
        EXPECT_EQ(MessageInt(links[i].bytes, 4), front);
        EXPECT_EQ(MessageInt(links[i].bytes, 8), body[i]->Id);
        front = body[i]->Id;
    }
}

TEST_F(CentipedeTest, EachSegmentMovesAsFarAsTheHeadTowardWhereItsLeaderWas) {
    ServerCentipede* head = Head();
    const std::vector<ServerCentibody*> body = Body(*head);
    std::vector<Vector3> was{head->Position};
    for (ServerCentibody* s : body) was.push_back(s->Position);
    Crawl(*head, 0.5f);
    const Real step = head->Position.x - was[0].x;
    ASSERT_GT(step, 0.5f);
    for (size_t i = 0; i < body.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(body[i]->Position.x, was[i + 1].x + step, kTableError);
        EXPECT_NEAR(body[i]->Position.z, 20.0f, kTableError);
        ExpectFacing(*body[i], {1, 0, 0});
        EXPECT_EQ(body[i]->Orientation.x, 0.0f); // no pitch on a flat floor
    }
}

TEST_F(CentipedeTest, ASegmentStaysPutButTurnsWhenTheHeadStandsOrItsLeaderIsNear) {
    struct Case {
        const char* what;
        bool headMoves;
        Vector3 offset; // of the first segment from the head's position before the pass
        Vector3 facing; // the way the segment then faces
    };
    const Case cases[] = {
        {"head standing, segment far to the side", false, {0, 0, 6}, {0, 0, -1}},
        {"head moving away, segment within sqrt(0.8)", true, {-0.5f, 0, 0.5f}, {0.70710678f, 0, -0.70710678f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ServerCentipede* head = Head();
        ServerCentibody* first = head->NextSegment;
        ASSERT_NE(first, nullptr);
        const Vector3 at = head->Position + c.offset;
        Place(*first, at);
        const Real headWas = head->Position.x;
        if (c.headMoves)
            Crawl(*head, 0.5f);
        else
            ThinkUnit(*head, 0.5f);
        EXPECT_EQ(head->Position.x > headWas + 0.5f, c.headMoves);
        EXPECT_NEAR(first->Position.x, at.x, kTableError);
        EXPECT_NEAR(first->Position.z, at.z, kTableError);
        ExpectFacing(*first, c.facing);
        for (ServerCentibody* s : Body(*head)) s->Remove(false);
        head->Remove(false);
    }
}

TEST_F(CentipedeTest, KillingTheThirdSegmentCutsTheChainAndStopsTheOnesBehind) {
    ServerCentipede* head = Head();
    const std::vector<ServerCentibody*> body = Body(*head);
    Kill(*body[2]);
    Crawl(*head, 0.5f);
    EXPECT_EQ(Body(*head), (std::vector<ServerCentibody*>{body[0], body[1]}));
    const Vector3 fourth = body[3]->Position, fifth = body[4]->Position;
    Crawl(*head, 0.5f);
    EXPECT_GT(body[1]->Position.x, 18.0f);
    EXPECT_EQ(body[3]->Position.x, fourth.x);
    EXPECT_EQ(body[4]->Position.x, fifth.x);
    EXPECT_TRUE(head->IsAlive());
}

TEST_F(CentipedeTest, WithEveryBodySegmentDeadTheHeadExplodesAtItsNextPass) {
    ServerCentipede* head = Head();
    for (ServerCentibody* s : Body(*head)) Kill(*s);
    ThinkUnit(*head, 0.1f); // finds the first segment dead and lets go of it
    EXPECT_EQ(head->NextSegment, nullptr);
    EXPECT_TRUE(head->IsAlive());
    const int32_t id = head->Id;
    ThinkUnit(*head, 0.1f);
    EXPECT_EQ(SentFor(kMsgActorExploded, id).size(), 1u);
    EXPECT_EQ(TvFindActor(id), nullptr);
}

TEST_F(CentipedeTest, EverySegmentOfABlastingChainExplodesOnce) {
    Explodes(*bodyKind, 1000, 1.2f); // each blast reaches the next segment
    ServerCentipede* head = Head();
    std::vector<int32_t> ids{head->Id};
    for (ServerCentibody* s : Body(*head)) ids.push_back(s->Id);
    Kill(*TvFindActor(ids[4]));
    std::map<int32_t, int32_t> explosions;
    for (const RecordedMessage& m : recorder.Sent(kMsgActorExploded)) ++explosions[MessageInt(m.bytes, 4)];
    for (int32_t id : ids) EXPECT_EQ(explosions[id], 1) << "actor " << id;
}

TEST_F(CentipedeTest, AHeadWhoseBodyCannotBeMadeHasNoneAndExplodesAtItsFirstPass) {
    struct Case {
        const char* what;
        int32_t bodyCore;      // of the "centibody" definition; -1 none
        bool withoutBodyMaker; // the segment class builds nothing
    };
    const Case cases[] = {
        {"no centibody definition", -1, false},
        {"a centibody definition of the head's core", kAiCoreCentipede, false},
        {"no segment built, and the head has id 0", kAiCoreCentibody, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DefinitionRegistry::ReleaseAll();
        if (c.bodyCore >= 0) {
            WalkerSpec spec;
            spec.aiCore = c.bodyCore;
            spec.registered = true;
            MakeWalker("centibody", spec);
        }
        if (c.withoutBodyMaker) SetServerActorMaker(ServerActorClass::Centibody, nullptr);
        TvResetActorIds();
        recorder.Clear();
        ServerCentipede* head = Head();
        ASSERT_NE(head, nullptr);
        EXPECT_EQ(head->NextSegment, nullptr);
        EXPECT_EQ(recorder.CountSent(kMsgSegmentLinked), 0);
        EXPECT_EQ(recorder.CountSent(MSG_CREATE_OBJECT), 0);
        const int32_t id = head->Id;
        ThinkUnit(*head, 0.1f);
        EXPECT_EQ(SentFor(kMsgActorExploded, id).size(), 1u);
        EXPECT_EQ(TvFindActor(id), nullptr);
        RegisterServerCentipede();
    }
}

} // namespace
