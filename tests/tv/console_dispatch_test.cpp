// The server's messages that reach the console, through the console as the
// program sets it up: chat lines (141), object notices (67) and captions
// (179) and the script a server asks for (103).

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "Tv/console/batch.h"
#include "Tv/console/captions.h"
#include "Tv/console/console_window.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/server/game_options.h"
#include "tests/support/temp_dir.h"
#include "tests/tv/client_dispatch_fixture.h"
#include "tests/tv/console_fixture.h"

namespace {

class ConsoleDispatchTest : public ClientDispatchTest {
protected:
    void SetUp() override {
        ClientDispatchTest::SetUp();
        console.Start();
    }
    void TearDown() override {
        console.Stop();
        ClientDispatchTest::TearDown();
    }
    static ByteWriter WithText(ByteWriter record, const char* text) {
        record.Bytes(text, std::strlen(text) + 1);
        return record;
    }

    TestConsole console;
};

TEST_F(ConsoleDispatchTest, ChatLinesArePrintedOnTheConsole) {
    ByteWriter chat = Record(141);
    char field[255] = "hello there";
    chat.Bytes(field, sizeof field);
    Dispatch(chat);
    EXPECT_EQ(console.printed, std::vector<std::string>{"hello there"});
    ASSERT_EQ(TvConsoleScrollbackCount(), 1);
    EXPECT_STREQ(TvConsoleScrollbackLine(0), "hello there");
    EXPECT_EQ(GameOptions.ConsoleState, kConsolePoppedUp);
}

TEST_F(ConsoleDispatchTest, NoticesAndCaptionsBecomeCaptionsOfTheirKinds) {
    MakeClientObject(5);
    Dispatch(Record(67, {5}));
    Dispatch(Record(67, {5})); // a second notice while the first shows never appears
    Dispatch(WithText(Record(179, {5}), "Hello"));
    ASSERT_EQ(CaptionList.Count(), 3);
    EXPECT_STREQ(CaptionList.At(0)[0]->text, StringTableLookup(12560));
    EXPECT_EQ(CaptionList.At(0)[0]->kind, 4);
    EXPECT_EQ(CaptionList.At(1)[0]->endTime, 0u);
    EXPECT_STREQ(CaptionList.At(2)[0]->text, "Hello");
    EXPECT_EQ(CaptionList.At(2)[0]->kind, 1);
}

TEST_F(ConsoleDispatchTest, ARunScriptMessageQueuesTheScriptsLines) {
    TempDir scripts;
    scripts.Write("intro.tcs", "TEXT one\nTEXT two\n");
    const std::filesystem::path current = std::filesystem::current_path();
    DataDirSet(0, scripts.path().c_str());
    Dispatch(WithText(Record(103), "intro.tcs"));
    DataDirSet(0, nullptr);
    std::filesystem::current_path(current);
    EXPECT_EQ(TvBatchCount(), 2);
}

} // namespace
