#include <gtest/gtest.h>

#include <string>

#include "platform/msgbox.h"

namespace {

TEST(MessageBoxes, DefaultAnswerIsTheStylesDefaultButton) {
    struct Case {
        uint32_t style;
        int answer;
    } cases[] = {
        {plat::kMbOk | plat::kMbIconError | plat::kMbTaskModal, plat::kIdOk},
        {plat::kMbOkCancel, plat::kIdOk},
        {plat::kMbOkCancel | plat::kMbDefButton2, plat::kIdCancel},
        {plat::kMbYesNo | plat::kMbIconQuestion, plat::kIdYes},
        {plat::kMbYesNo | plat::kMbDefButton2, plat::kIdNo},
    };
    for (const Case& c : cases) EXPECT_EQ(plat::DefaultMessageBoxAnswer(c.style), c.answer) << std::hex << c.style;
}

int g_backendCalls = 0;
int AnswerNo(std::string_view, std::string_view, uint32_t) {
    ++g_backendCalls;
    return plat::kIdNo;
}

TEST(MessageBoxes, TestModePrintsAndAnswersWithoutTheBackend) {
    plat::SetMessageBoxBackend(AnswerNo);
    testing::internal::CaptureStderr();
    EXPECT_EQ(plat::MessageBox("Quit the game?", "Tavrin", plat::kMbYesNo), plat::kIdYes);
    EXPECT_EQ(plat::MessageBox("Out of Memory", "", plat::kMbOk | plat::kMbTaskModal), plat::kIdOk);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Tavrin: Quit the game?\nOut of Memory\n");
    EXPECT_EQ(g_backendCalls, 0);

    plat::SetMessageBoxTestMode(false);
    EXPECT_EQ(plat::MessageBox("Quit the game?", "Tavrin", plat::kMbYesNo), plat::kIdNo);
    EXPECT_EQ(g_backendCalls, 1);
    plat::SetMessageBoxTestMode(true);
    plat::SetMessageBoxBackend(nullptr);
}

} // namespace
