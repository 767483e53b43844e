#include <gtest/gtest.h>

#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/ai_tick.h"
#include "Tv/sim/combat_ai.h"
#include "Tv/sim/server_popup.h"
#include "tests/tv/sim_emplacement_fixture.h"

namespace {

class PopupTest : public EmplacementTest {
protected:
    void SetUp() override {
        EmplacementTest::SetUp();
        MakeFloor(20, 20);
        emplacement = MakeEmplacement("emplacement", 18);
    }

    ObjectDefinition* emplacement = nullptr;
};

// Hearing range 4 m, measured from the popup's position to the actor's centre; teams 1 and up other
// than its own count, concealed actors do not.
TEST_F(PopupTest, RisesForAnEnemyWithinHearingRangeAndForNothingElse) {
    struct Case {
        const char* what;
        int32_t team;
        Real distance;
        bool concealed;
        bool rises;
    };
    const Case cases[] = {
        {"an enemy within hearing range", 1, 3.9f, false, true},
        {"an enemy just beyond it", 1, 4.1f, false, false},
        {"an actor of team 0", 0, 2, false, false},
        {"a concealed enemy", 1, 2, true, false},
        {"an actor of its own team", 2, 2, false, false},
    };
    Real x = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ServerPopup* popup = MakePopup(2, {x, 0, 4}, emplacement);
        ASSERT_NE(popup, nullptr);
        x += 7; // out of the other cases' hearing range
        EXPECT_TRUE(SameVector(popup->CentreOffset, kLoweredBoxCentre));
        Intruder(c.team, popup->Position + Vector3(0, 0, c.distance))->concealed = c.concealed;

        ThinkFor(*popup, 0.05f);
        EXPECT_EQ(popup->Rising, c.rises);
        EXPECT_FALSE(popup->Raised) << "the rise takes its sequence's second";
        const std::vector<RecordedMessage> rising = SentFor(kMsgPopupRising, popup->Id);
        ASSERT_EQ(rising.size(), c.rises ? 1u : 0u);
        if (!c.rises) continue;
        EXPECT_EQ(rising[0].bytes, MessageOf({kMsgPopupRising, popup->Id}));
        EXPECT_TRUE(SameVector(popup->CentreOffset, kRaisedBoxCentre));
    }
}

// The rise runs once; the popup is raised when its sequence ends and only then fights under the
// combat core (not while an EMP keeps it disabled).
TEST_F(PopupTest, RaisedWhenTheRiseEndsThenFightsUnderTheCombatCore) {
    ServerPopup* popup = MakePopup(2, {10, 0, 10}, emplacement);
    ASSERT_NE(popup, nullptr);
    Intruder(1, popup->Position + Vector3(0, 0, 3));
    EXPECT_EQ(popup->AiTickCallback, &TvIdleAi);

    ThinkFor(*popup, 0.05f);
    ASSERT_TRUE(popup->Rising);
    ThinkFor(*popup, 0.5f);
    EXPECT_FALSE(popup->Raised);
    EXPECT_EQ(popup->AiTickCallback, &TvIdleAi);
    ThinkFor(*popup, 0.6f);
    EXPECT_TRUE(popup->Raised);
    EXPECT_EQ(SentFor(kMsgPopupRising, popup->Id).size(), 1u) << "no second rise while the first runs";

    popup->Disabled = 1;
    ThinkFor(*popup, 0.05f);
    EXPECT_EQ(popup->AiTickCallback, &TvIdleAi) << "disabled: no combat core";
    popup->Disabled = 0;
    ThinkFor(*popup, 0.05f);
    EXPECT_EQ(popup->AiTickCallback, &TvCombatAi);
}

TEST_F(PopupTest, AFastRiseIsAnnouncedAsSuch) {
    ServerPopup* popup = MakePopup(2, {10, 0, 10}, emplacement);
    ASSERT_NE(popup, nullptr);
    popup->PopUp(true);
    EXPECT_TRUE(popup->Rising);
    EXPECT_EQ(SentFor(kMsgPopupRisingFast, popup->Id).size(), 1u);
    EXPECT_TRUE(SentFor(kMsgPopupRising, popup->Id).empty());
}

// A model without the rise counts as raised as soon as it pops up; one without the pose boxes gives
// the popup no centre offset, lowered or raised.
TEST_F(PopupTest, AModelLackingTheRiseOrThePoseBoxesStillWorks) {
    EmplacementModelSpec noRise;
    noRise.rise = false;
    ServerPopup* popup = MakePopup(2, {5, 0, 5}, MakeEmplacement("norise", 18, {}, noRise));
    ASSERT_NE(popup, nullptr);
    popup->PopUp(false);
    EXPECT_TRUE(popup->Raised);
    EXPECT_EQ(SentFor(kMsgPopupRising, popup->Id).size(), 1u);

    EmplacementModelSpec noPoses;
    noPoses.poses = false;
    ServerPopup* bare = MakePopup(2, {15, 0, 5}, MakeEmplacement("noposes", 18, {}, noPoses));
    ASSERT_NE(bare, nullptr);
    EXPECT_TRUE(SameVector(bare->CentreOffset, Vector3(0, 0, 0)));
    bare->PopUp(false);
    EXPECT_TRUE(SameVector(bare->CentreOffset, Vector3(0, 0, 0)));
    EXPECT_FALSE(bare->Raised) << "its rise still plays";
}

} // namespace
