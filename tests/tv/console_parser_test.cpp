// The command language's argument parsers, condition evaluator and number text.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "Tv/console/line_parser.h"
#include "Tv/console/tokens.h"
#include "tests/tv/console_recorder.h"

namespace {

class ConsoleParserTest : public testing::Test {
protected:
    void SetUp() override {
        TokenTable::Set("FOO", 2.5f);
        TokenTable::Set("NEG", -2.5f);
        TokenTable::Set("RES", 0.0f);
    }

    ConsoleRecorder console;
};

struct IntCase {
    const char* line;
    int32_t defaultValue;
    int32_t expected;
    const char* rest;
};

TEST_F(ConsoleParserTest, IntegersTakeSignsBlanksDigitsAndTokens) {
    const IntCase cases[] = {
        {"  -  -7 rest", 0, 7, "rest"},
        {"-", 5, 5, ""}, // a lone minus: the default, not its negation
        {"   ", 5, 5, ""},
        {"-FOO rest", 0, -2, " rest"}, // token words keep the blanks after them
        {"NEG", 0, -3, ""},            // token values floor
        {"-BAR", 5, -5, ""},           // an unknown token gives the default, negated
        {"12abc 9", 0, 12, "9"},       // the rest of a number's word goes with it
        {"3.7 x", 0, 3, "x"},
        {".5", 4, 4, ""}, // a point starts a word, not a number
        {"99999999999 x", 0, INT_MAX, "x"},
        {"-99999999999", 0, -INT_MAX, ""},
        {"--99999999999", 0, INT_MAX, ""},
    };
    for (const IntCase& c : cases) {
        ConsoleRecorder::SetLine(c.line);
        EXPECT_EQ(TvParseInt(c.defaultValue), c.expected) << '"' << c.line << '"';
        EXPECT_EQ(ConsoleRecorder::Line(), c.rest) << '"' << c.line << '"';
    }
}

struct FloatCase {
    const char* line;
    float expected;
    const char* rest;
};

TEST_F(ConsoleParserTest, FloatsTakeOneSignDigitsAFractionAndTokens) {
    const FloatCase cases[] = {
        {".5x", 0.5f, "x"}, {"- 3", -3.0f, ""}, {"-FOO", 2.5f, ""}, // the sign does not apply to a token
        {"--3", 9.0f, ""},                                          // the word -3 names no token: the default
        {"-", 9.0f, ""},    {"", 9.0f, ""},     {"  12.25 y", 12.25f, " y"}, {"7.", 7.0f, ""}, {"1.2.3", 1.2f, ".3"},
    };
    for (const FloatCase& c : cases) {
        ConsoleRecorder::SetLine(c.line);
        EXPECT_FLOAT_EQ(TvParseFloat(9.0f), c.expected) << '"' << c.line << '"';
        EXPECT_EQ(ConsoleRecorder::Line(), c.rest) << '"' << c.line << '"';
    }
    ConsoleRecorder::SetLine("-0");
    const float minusZero = TvParseFloat(1.0f);
    EXPECT_EQ(minusZero, 0.0f);
    EXPECT_TRUE(std::signbit(minusZero));
}

TEST_F(ConsoleParserTest, WordsEndAtABlankOrTheirClosingQuote) {
    struct {
        const char* line;
        const char* word;
        const char* rest;
    } const cases[] = {
        {"  \"two words\" next", "two words", " next"},
        {"\"open", "open", ""},
        {"a\"b c", "a\"b", " c"},
        {"\tx y", "\tx", " y"}, // tabs are not blanks
        {"   ", "", ""},
    };
    for (const auto& c : cases) {
        ConsoleText word;
        ConsoleRecorder::SetLine(c.line);
        TvPeekWord(word);
        EXPECT_STREQ(word, c.word);
        EXPECT_EQ(ConsoleRecorder::Line(), c.line) << "peeking consumes nothing";
        TvParseWord(word);
        EXPECT_STREQ(word, c.word);
        EXPECT_EQ(ConsoleRecorder::Line(), c.rest);
    }
}

TEST_F(ConsoleParserTest, RestOfLineBoolsAndArgumentKinds) {
    ConsoleText text;
    ConsoleRecorder::SetLine("   rest of  it ");
    TvParseRestOfLine(text);
    EXPECT_STREQ(text, "rest of  it ");
    EXPECT_EQ(ConsoleRecorder::Line(), "rest of  it ") << "the rest stays on the line";

    struct {
        const char* line;
        uint8_t value;
    } const bools[] = {{"on", 1}, {"TRUE", 1}, {"Off", 0}, {"false", 0}, {"yes", 2}, {"", 2}};
    for (const auto& c : bools) {
        ConsoleRecorder::SetLine(c.line);
        EXPECT_EQ(TvParseBool(), c.value) << c.line;
    }

    struct {
        const char* line;
        bool number, word;
    } const kinds[] = {{"  -.5", true, false}, {"7", true, false}, {"--7", false, false}, {"-x", false, false},
                       {" name", false, true}, {"", false, false}, {"   ", false, false}};
    for (const auto& c : kinds) {
        ConsoleRecorder::SetLine(c.line);
        EXPECT_EQ(TvNextArgIsNumber(), c.number) << '"' << c.line << '"';
        EXPECT_EQ(TvNextArgIsWord(), c.word) << '"' << c.line << '"';
        EXPECT_EQ(ConsoleRecorder::Line(), c.line);
    }

    ConsoleRecorder::SetLine("  ");
    EXPECT_EQ(TvSkipBlanks(), nullptr);
    ConsoleRecorder::SetLine("  a");
    EXPECT_EQ(TvSkipBlanks(), ConsoleLine);
    EXPECT_EQ(ConsoleRecorder::Line(), "a");
}

TEST_F(ConsoleParserTest, LineEditingInsertsDeletesAndSkipsArguments) {
    char text[kConsoleLineSize] = "ac";
    TvInsertChar(1, text, 'b');
    EXPECT_STREQ(text, "abc");
    TvInsertChar(3, text, 'd');
    EXPECT_STREQ(text, "abcd");
    TvInsertChar(9, text, 'z');
    EXPECT_STREQ(text, "abcd") << "past the end: nothing";
    TvDeleteChar(0, text);
    EXPECT_STREQ(text, "bcd");
    TvDeleteChar(3, text);
    EXPECT_STREQ(text, "bcd");

    char full[kConsoleLineSize];
    std::memset(full, 'x', kConsoleLineSize - 1);
    full[kConsoleLineSize - 1] = '\0';
    TvInsertChar(0, full, 'y');
    EXPECT_EQ(std::strlen(full), kConsoleLineSize - 1) << "a full string takes no more";
    EXPECT_EQ(full[0], 'x');

    char line[kConsoleLineSize] = "  first   second third";
    TvSkipArgument(line);
    EXPECT_STREQ(line, "second third");
}

struct ConditionCase {
    const char* line;
    uint8_t result;
    const char* printed; // the one line printed, or null
    const char* rest;
};

TEST_F(ConsoleParserTest, ConditionsCompareNumbersAndTokens) {
    const std::string unknownLeft = ConsoleRecorder::String(11006), badOperator = ConsoleRecorder::String(11007),
                      unknownRight = ConsoleRecorder::String(11008);
    const ConditionCase cases[] = {
        {"(RES = 0) TEXT 5", 1, nullptr, "TEXT 5"},
        {" ( ( FOO > 2 ) ) ", 1, nullptr, ""},
        {"(1 != 2)", 1, nullptr, ""},
        {"(2 < 1)", 0, nullptr, ""},
        {"(3=3)", 1, nullptr, ""}, // a number ends at its last digit
        {"(RES=0)", 2, unknownLeft.c_str(), nullptr},
        {"(1 <= 2)", 2, unknownRight.c_str(), nullptr},
        {"(1 ~ 2)", 2, badOperator.c_str(), nullptr},
        {"(1 ! 2)", 2, badOperator.c_str(), nullptr},
        {"(-1 = 2)", 2, unknownLeft.c_str(), nullptr}, // a sign cannot start a literal operand
        {"( ", 2, nullptr, nullptr},
        {"(RES", 2, nullptr, nullptr},
        {"(RES =", 2, nullptr, nullptr},
    };
    for (const ConditionCase& c : cases) {
        console.lines.clear();
        ConsoleRecorder::SetLine(c.line);
        EXPECT_EQ(TvEvaluateCondition(), c.result) << c.line;
        if (c.printed)
            EXPECT_EQ(console.lines, std::vector<std::string>{c.printed}) << c.line;
        else
            EXPECT_TRUE(console.lines.empty()) << c.line;
        if (c.rest) EXPECT_EQ(ConsoleRecorder::Line(), c.rest) << c.line;
    }
}

TEST_F(ConsoleParserTest, NumbersPrintWithAtMostFourDecimals) {
    struct {
        float value;
        const char* text;
    } const cases[] = {
        {0.0f, "0"},
        {-0.0f, "0"},
        {-0.25f, "-.25"},
        {12.0f, "12"},
        {0.0001f, ".0001"},
        {1.5f, "1.5"},
        {1.05f, "1.05"},
        {2.0305f, "2.0305"},
        {2.99999f, "3"},
        {-2.99999f, "-3"},
        {0.00004f, "0"},
        {-0.00004f, "0"},
        {2147483648.0f, "2147483648"},
        {-3e9f, "-3000000000"},
        {1e20f, "100000002004087734272"},
    };
    for (const auto& c : cases) EXPECT_EQ(TvFormatFloat(c.value), c.text) << c.value;
}

} // namespace
