// Captions (queueing by kind, boxing, moving apart) and the repeating text
// (its ticks, the REPTXT command and its saved-game block).

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Tv/client/client_sounds.h"
#include "Tv/console/captions.h"
#include "Tv/console/console_fonts.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/console_window.h"
#include "Tv/console/repeat_text.h"
#include "Tv/server/game_options.h"
#include "Tv/server/shell_state.h"
#include "core/bytes.h"
#include "core/clock.h"
#include "tests/tv/console_fixture.h"

namespace {

std::vector<int32_t> soundsPlayed;

class ConsoleCaptionsTest : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        soundsPlayed.clear();
        SetSoundPlayObserver([](int32_t sample, const char*) { soundsPlayed.push_back(sample); });
    }
    void TearDown() override {
        SetSoundPlayObserver(nullptr);
        ConsoleTest::TearDown();
    }
    // Draws the captions once and answers the texts they queued.
    static std::vector<std::string> DrawnTexts() {
        TakeQueued(SmallFont());
        TvDrawCaptions();
        std::vector<std::string> texts;
        for (const QueuedText& queued : TakeQueued(SmallFont())) texts.push_back(queued.text);
        return texts;
    }
    Caption* Last() { return CaptionList.Back(); }
};

using Texts = std::vector<std::string>;

TEST_F(ConsoleCaptionsTest, CaptionsOfOneKindShowOneAfterAnotherForTheirLengthOverSeven) {
    TvShowCaption(0.2f, 0.5f, "fourteen chars", 0, 0.5f);        // 2 s
    TvShowCaption(0.2f, 0.5f, "twenty-one characters", 0, 0.5f); // 3 s
    TvShowCaption(0.2f, 0.5f, "seven c", 0, 0.5f);               // 1 s
    TvShowCaption(0.2f, 0.2f, "other kind", 1, 0.5f);
    EXPECT_EQ(DrawnTexts(), (Texts{"fourteen chars", "other kind"}));
    AdvanceSeconds(1.9);
    EXPECT_EQ(DrawnTexts(), (Texts{"fourteen chars"})); // "other kind" (10 / 7 s) has ended
    AdvanceSeconds(0.2);
    EXPECT_EQ(DrawnTexts(), (Texts{"twenty-one characters"}));
    AdvanceSeconds(3.0);
    EXPECT_EQ(DrawnTexts(), (Texts{"seven c"}));
    AdvanceSeconds(1.0);
    EXPECT_EQ(DrawnTexts(), Texts{});
    EXPECT_TRUE(CaptionList.IsEmpty());
    EXPECT_EQ(soundsPlayed, (std::vector<int32_t>{83, 83, 83, 83}));
}

TEST_F(ConsoleCaptionsTest, ASecondSingleCaptionNeverAppears) {
    TvShowCaption(0.2f, 0.5f, "first notice", 4, 0.5f);
    TvShowCaption(0.2f, 0.5f, "second notice", 4, 0.5f);
    EXPECT_TRUE(TvHasCaptionOfKind(4));
    for (int i = 0; i < 4; ++i) {
        for (const std::string& text : DrawnTexts()) EXPECT_NE(text, "second notice");
        AdvanceSeconds(1.0);
    }
    EXPECT_FALSE(TvHasCaptionOfKind(4));
}

TEST_F(ConsoleCaptionsTest, CaptionsStayOnTheScreen) {
    const float line = TvSmallLineHeight();
    const struct {
        float x, y, width;
        float left, right, bottom;
    } cases[] = {
        {0.2f, 0.95f, 0.4f, 0.2f, 0.6f, 0.9f},        // below the lowest row
        {0.8f, 0.5f, 0.4f, 0.6f, 1.0f, 0.5f},         // past the right edge
        {-0.1f, 0.5f, 0.4f, 0.0f, 0.4f, 0.5f},        // past the left edge
        {0.2f, 0.05f, 0.4f, 0.2f, 0.6f, 0.1f + line}, // above the highest row: its top row at 0.1
    };
    for (const auto& c : cases) {
        TvShowCaption(c.x, c.y, "x", 3, c.width);
        EXPECT_FLOAT_EQ(Last()->left, c.left);
        EXPECT_FLOAT_EQ(Last()->right, c.right);
        EXPECT_NEAR(Last()->y, c.bottom, 1e-6f);
        TvClearCaptions();
    }
}

TEST_F(ConsoleCaptionsTest, OverlappingCaptionsOfOtherKindsMoveApart) {
    const float h = TvSmallLineHeight();
    TvShowCaption(0.2f, 0.8f, "lower caption", 0, 0.5f);
    TvShowCaption(0.2f, 0.8f, "moves up", 1, 0.5f);
    EXPECT_NEAR(Last()->y, 0.8f - h, 1e-6f);
    TvShowCaption(0.2f, 0.3f, "upper caption", 0, 0.5f); // queued behind the first: no overlap in time
    TvShowCaption(0.2f, 0.3f, "moves down", 2, 0.5f);
    EXPECT_NEAR(Last()->y, 0.3f, 1e-6f);
    TvShowCaption(0.2f, 0.8f, "also moves", 3, 0.5f); // past both of the others at 0.8
    EXPECT_NEAR(Last()->y, 0.8f - 2 * h, 1e-6f);
}

TEST_F(ConsoleCaptionsTest, NoCaptionSoundDuringACutsceneAndRemovalByKind) {
    CutsceneActive = 1;
    TvShowCaption(0.2f, 0.5f, "subtitle", kCaptionKindSubtitle, 0.5f);
    TvShowCaption(0.2f, 0.5f, "another", 0, 0.5f);
    CutsceneActive = 0;
    EXPECT_TRUE(soundsPlayed.empty());
    TvRemoveCaptionsOfKind(kCaptionKindSubtitle);
    EXPECT_FALSE(TvHasCaptionOfKind(kCaptionKindSubtitle));
    EXPECT_TRUE(TvHasCaptionOfKind(0));
}

TEST_F(ConsoleCaptionsTest, ATypewriterCaptionShowsItsLettersAtTheRate) {
    TvShowCaption(0.2f, 0.5f, "typed out slowly", 0, 0.5f);
    Last()->SetTypewriter(true);
    soundsPlayed.clear();
    AdvanceSeconds(0.21); // five letters
    TvDrawCaptions();
    const std::vector<QueuedText> drawn = TakeQueued(SmallFont());
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].length, 5);
    EXPECT_EQ(soundsPlayed, std::vector<int32_t>{91});
}

TEST_F(ConsoleCaptionsTest, RepeatTextClearsTheConsoleAndShowsTheHintEveryInterval) {
    GameOptions.TrainingArea = 2;
    TvConsolePrint("earlier line");
    Run("REPTXT 3");
    ASSERT_TRUE(TvIsRepeatTextActive());
    EXPECT_STREQ(TvRepeatText(), StringTableLookup(13202));
    AdvanceSeconds(24.9);
    TvRepeatTextTick();
    EXPECT_EQ(Scrollback(), Texts{"earlier line"});
    AdvanceSeconds(0.2);
    TvRepeatTextTick();
    EXPECT_EQ(Scrollback(), Texts{StringTableLookup(13202)});
    EXPECT_EQ(GameOptions.ConsoleState, kConsolePoppedUp);
    AdvanceSeconds(24.8);
    TvRepeatTextTick();
    EXPECT_EQ(printed.size(), 2u);
    AdvanceSeconds(0.2);
    TvRepeatTextTick();
    EXPECT_EQ(printed.size(), 3u);

    TvStopRepeatText();
    AdvanceSeconds(30.0);
    TvRepeatTextTick();
    EXPECT_EQ(printed.size(), 3u);

    Run("REPTXT 99"); // no such training text: nothing changes
    EXPECT_FALSE(TvIsRepeatTextActive());
    EXPECT_STREQ(TvRepeatText(), StringTableLookup(13202));
}

TEST_F(ConsoleCaptionsTest, RepeatTextBlockRoundTripsAndAFarNextTimeIsBroughtNear) {
    TvSetRepeatText("hint");
    ByteWriter saved;
    ASSERT_TRUE(TvSaveRepeatText(saved));
    const uint64_t next = TvRepeatTextNextTime();
    TvClearRepeatText();
    ByteReader in(saved.bytes().data(), saved.size());
    ASSERT_TRUE(TvLoadRepeatText(in));
    EXPECT_STREQ(TvRepeatText(), "hint");
    EXPECT_EQ(TvRepeatTextNextTime(), next);

    // A tick of a run whose clock had gone far further.
    ByteWriter far;
    far.U8(1);
    far.U32(4);
    far.Bytes("hint", 4);
    far.U64(next + 1000 * static_cast<uint64_t>(CurrentTicksPerSecond()));
    ByteReader farIn(far.bytes().data(), far.size());
    ASSERT_TRUE(TvLoadRepeatText(farIn));
    EXPECT_EQ(TvRepeatTextNextTime(), TicksAfter(RealClock.GetTime(), kRepeatTextDefaultInterval));

    ByteWriter tooLong;
    tooLong.U8(1);
    tooLong.U32(250);
    tooLong.Zeros(258);
    ByteReader tooLongIn(tooLong.bytes().data(), tooLong.size());
    EXPECT_FALSE(TvLoadRepeatText(tooLongIn));
    EXPECT_FALSE(TvIsRepeatTextActive());
    EXPECT_STREQ(TvRepeatText(), "");

    ByteReader shortIn(saved.bytes().data(), saved.size() - 1);
    EXPECT_FALSE(TvLoadRepeatText(shortIn));
    EXPECT_FALSE(TvIsRepeatTextActive());
}

} // namespace
