// The token table and the token commands SET, INC, DEC and LIST TOKENS.
// ConsoleTokensTest.ReadersOnAnotherThreadSeeWholeValues reads from a second
// thread, as the server's trigger evaluation does.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <vector>

#include "Tv/console/command_registry.h"
#include "Tv/console/tokens.h"
#include "Tv/server/game_options.h"
#include "platform/threads.h"
#include "tests/tv/console_recorder.h"

namespace {

class ConsoleTokensTest : public testing::Test {
protected:
    void TearDown() override { GameOptions.LevelStatus = savedStatus_; }

    // Runs a token command on `arguments` and answers what was printed.
    std::vector<std::string> Run(uint8_t (*command)(), const char* arguments) {
        console.lines.clear();
        ConsoleRecorder::SetLine(arguments);
        command();
        return console.lines;
    }
    static float Value(const char* name) {
        float value = -1234.0f;
        EXPECT_TRUE(TokenTable::Get(name, value)) << name;
        return value;
    }

    ConsoleRecorder console;

private:
    int32_t savedStatus_ = GameOptions.LevelStatus;
};

std::vector<std::pair<std::string, float>> observed;

TEST_F(ConsoleTokensTest, NamesMatchWithoutCaseAndKeepTheirFirstSpellingAndOrder) {
    TokenTable::Set("Door1", 4.0f);
    TokenTable::Set("Gate", 7.0f);
    TokenTable::Set("DOOR1", 5.0f);
    EXPECT_EQ(TokenTable::Count(), 2u);
    EXPECT_FLOAT_EQ(Value("door1"), 5.0f);
    EXPECT_TRUE(TokenTable::SetExisting("gate", 4.0f));
    EXPECT_FALSE(TokenTable::SetExisting("wall", 1.0f));
    EXPECT_EQ(TokenTable::Count(), 2u) << "SetExisting creates nothing";

    std::string name;
    ASSERT_TRUE(TokenTable::FindName(4.0f, name));
    EXPECT_EQ(name, "Gate") << "the first token of that value";
    EXPECT_FALSE(TokenTable::FindName(4.5f, name));

    float untouched = 9.0f;
    EXPECT_FALSE(TokenTable::Get("wall", untouched));
    EXPECT_EQ(untouched, 9.0f);

    TvSetResultToken(0.25f);
    EXPECT_EQ(Run(&TvCmdListTokens, ""), (std::vector<std::string>{"Door1 = 5", "Gate = 4", "res = .25"}));

    TokenTable::Clear();
    EXPECT_EQ(TokenTable::Count(), 0u);
    EXPECT_TRUE(Run(&TvCmdListTokens, "").empty());
}

TEST_F(ConsoleTokensTest, TheObserverSeesEverySetAndTheTableKeepsTheValue) {
    observed.clear();
    const TokenSetter previous =
        TokenTable::Install([](const char* name, float value) { observed.emplace_back(name, value); });
    TokenTable::Set("Crate", 12.0f);
    EXPECT_NE(TokenTable::Install(previous), nullptr);
    TokenTable::Set("Crate", 13.0f);
    EXPECT_EQ(observed, (std::vector<std::pair<std::string, float>>{{"Crate", 12.0f}}));
    EXPECT_FLOAT_EQ(Value("crate"), 13.0f);
}

TEST_F(ConsoleTokensTest, SetIncAndDecChangeOnlyExistingTokens) {
    TokenTable::Set("X", 0.0f);
    TokenTable::Set("RES", 41.0f);
    const std::vector<std::string> missing{ConsoleRecorder::String(11027)};

    EXPECT_TRUE(Run(&TvCmdSet, " X 4").empty());
    EXPECT_FLOAT_EQ(Value("X"), 4.0f);
    Run(&TvCmdSet, " X RES"); // the value may name a token
    EXPECT_FLOAT_EQ(Value("X"), 41.0f);
    Run(&TvCmdSet, " X");
    EXPECT_FLOAT_EQ(Value("X"), 0.0f) << "the value defaults to 0";
    Run(&TvCmdInc, " x");
    Run(&TvCmdInc, " X");
    Run(&TvCmdDec, " X");
    EXPECT_FLOAT_EQ(Value("X"), 1.0f);

    EXPECT_EQ(Run(&TvCmdSet, " Y 4"), missing);
    EXPECT_EQ(Run(&TvCmdInc, " Y"), missing);
    EXPECT_EQ(Run(&TvCmdDec, ""), missing);
    EXPECT_EQ(TokenTable::Count(), 2u);

    GameOptions.LevelStatus = kLevelOver;
    EXPECT_TRUE(Run(&TvCmdSet, " X 9").empty());
    EXPECT_TRUE(Run(&TvCmdInc, " Y").empty());
    EXPECT_FLOAT_EQ(Value("X"), 1.0f) << "nothing changes once the level is over";
}

TEST_F(ConsoleTokensTest, ReadersOnAnotherThreadSeeWholeValues) {
    TokenTable::Set("A", 0.0f);
    std::atomic<bool> stop{false};
    std::atomic<int32_t> torn{0};
    plat::Thread reader;
    ASSERT_TRUE(reader.Start([&] {
        while (!stop) {
            float value = 0.0f;
            if (!TokenTable::Get("A", value) || value != std::floor(value)) ++torn;
        }
    }));
    for (int32_t i = 0; i < 2000; ++i) {
        TokenTable::Set("A", static_cast<float>(i));
        TokenTable::Set(("T" + std::to_string(i % 50)).c_str(), 1.0f); // the list grows under the reader
    }
    stop = true;
    ASSERT_TRUE(reader.Join());
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(TokenTable::Count(), 51u);
}

} // namespace
