// The preprocess pass: what it writes for the parse pass, and what it warns about.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "Tv/defs/preprocessor.h"
#include "defs_test_helpers.h"

namespace {

const std::regex kMarker("\n# line [^\n]*\n");

// The output's tokens without the line markers, one blank apart.
std::string Body(const std::string& output) {
    std::istringstream words(std::regex_replace(output, kMarker, " "));
    std::string body, word;
    while (words >> word) body += (body.empty() ? "" : " ") + word;
    return body;
}

// Newlines written outside the line markers.
int Lines(const std::string& output) {
    std::string text = std::regex_replace(output, kMarker, " ");
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class DefsPreprocessor : public DefsTest {
protected:
    // Runs the first pass over `text` (as "test.tvs") and returns its output.
    std::string Preprocess(const std::string& text) {
        Write("test.tvs", text);
        diagnostics.Clear();
        ScriptPreprocessor pp;
        ScriptScanner scanner(pp);
        pp.StartOutput();
        scanner.SelectPass(1);
        pp.PushInput(new ScriptFileStream("test.tvs"));
        completed = RunPreprocessPass(scanner, pp);
        ScriptTokenStream* output = pp.TakeOutput();
        std::string written(output->Text());
        delete output;
        return written;
    }

    bool completed = false;
};

TEST_F(DefsPreprocessor, WritesTokensNewlinesAndFileMarkers) {
    EXPECT_EQ(Preprocess("role tank : base { walking speed 2.5 }\n"),
              " \n# line 1 \"test.tvs\"\n role tank : base { walking speed 2.5 } \n \n \n# line 0 \"\"\n ");
    EXPECT_TRUE(completed);
    // The last line needs no newline of its own.
    EXPECT_EQ(Body(Preprocess("a\n\"q r\"")), "a \"q r\"");
}

struct PpCase {
    const char* source;
    const char* body;
    std::vector<std::string> diagnostics;
    int includedLines = 0; // lines that included files add (a missing file adds its final newline)
};

class DefsPreprocessorCases : public DefsPreprocessor, public ::testing::WithParamInterface<PpCase> {};

TEST_P(DefsPreprocessorCases, Output) {
    const PpCase& c = GetParam();
    std::string output = Preprocess(c.source);
    EXPECT_EQ(Body(output), c.body) << c.source;
    EXPECT_EQ(diagnostics.Notable(), c.diagnostics) << c.source;
    // Every source line keeps its line in the output, and the file ends with one more newline.
    EXPECT_EQ(Lines(output), std::count(c.source, c.source + std::strlen(c.source), '\n') + 1 + c.includedLines)
        << c.source;
}

INSTANTIATE_TEST_SUITE_P(
    Macros, DefsPreprocessorCases,
    ::testing::Values(PpCase{"#define A B\n#define B 3\nA\n", "3", {}},
                      PpCase{"#define E\nx E y\n#ifdef E\nyes\n#endif\n", "x y yes", {}},
                      PpCase{"#define X 1\nX2 (X)\n", "X2 ( 1 )", {}},
                      PpCase{"#define A 1\n#define A 2\nA\n", "2", {"macro redefinition"}},
                      PpCase{"#definex 7\nx\n", "7", {}},
                      PpCase{"#define S \"a b\" c/d\nS\n", "\"a b\" c / d", {}},
                      PpCase{"A\n#define A 1\nA\n", "A 1", {}},
                      PpCase{"#define\n#ifdef U\n#define 9\n#endif\n", "",
                             {"invalid #define directive", "invalid #define directive"}},
                      PpCase{"#define A 1 \\\n 2\n#define B 3 \\ \t\n 4\nA B\n", "1 2 3 4",
                             {"Preprocessor directive continues on next line after whitespace"}}));

INSTANTIATE_TEST_SUITE_P(
    Conditionals, DefsPreprocessorCases,
    ::testing::Values(PpCase{"#ifdef U\na\n#else\nb\n#endif\n", "b", {}},
                      PpCase{"#ifndef U\na\n#else\nb\n#endif\n", "a", {}},
                      PpCase{"#define D\n#ifdef D\na\n#else\nb\n#else\nc\n#endif\n", "a c", {"'#else' already found"}},
                      // A block opened in inactive text has neither branch active.
                      PpCase{"#ifdef U\n#ifdef U\na\n#else\nb\n#endif\nc\n#endif\nd\n", "d", {}},
                      PpCase{"#ifdef U\n#define A 1\n#endif\nA\n", "A", {}},
                      PpCase{"#ifndef \"x\"\na\n#endif\n", "a", {"invalid '#ifdef' or '#ifndef' directive"}},
                      PpCase{"#else\n#endif\na\n", "a", {"'#else' not within conditional block", "unexpected '#endif'"}},
                      PpCase{"#ifdef A B\n#else x\n#endif C\n", "",
                             {"unexpected symbols in preprocessor directive",
                              "unexpected symbols in preprocessor directive",
                              "unexpected symbols in preprocessor directive"}},
                      PpCase{"#pragma once\n#ifdef U\n#what\n#endif\n", "",
                             {"unrecognized preprocessor directive", "unrecognized preprocessor directive"}},
                      // "#1" is a longer text run than the bare '#' of a directive.
                      PpCase{"#1 x\n  #  1\n", "#1 x", {"unrecognized preprocessor directive"}}));

INSTANTIATE_TEST_SUITE_P(
    Comments, DefsPreprocessorCases,
    ::testing::Values(PpCase{"a /* b /* c */ d */ e\n", "a e",
                             {"start of nested comment found", "end of nested comment found"}},
                      PpCase{"a /* 1\n2\n3 */ b\n", "a b", {}},
                      PpCase{"a // c \\\n still comment\nb\n", "a b", {"Single-line comment continues on next line"}},
                      PpCase{"#define A 1 // one\n#define B /* two\n */ 2\nA B\n", "1 2", {}},
                      PpCase{"1/2 /x\n", "1 / 2 / x", {}}));

INSTANTIATE_TEST_SUITE_P(
    Includes, DefsPreprocessorCases,
    ::testing::Values(PpCase{"#include \"123\"\n#include name\n#include\n", "",
                             {"invalid #include directive", "invalid #include directive", "invalid #include directive"}},
                      PpCase{"#ifdef U\n#include \"missing.tvs\"\n#endif\n", "", {}},
                      PpCase{"a\n#include \"missing.tvs\" x\nb\n", "a b",
                             {"unexpected symbols in preprocessor directive", "unable to open file 'missing.tvs'"},
                             1}));

TEST_F(DefsPreprocessor, IncludedFileFollowsItsDirectiveAndClosesWhatItLeftOpen) {
    Write("inc.tvs", "#ifdef M\ninside /* open\n");
    std::string output = Preprocess("#define M\n#ifdef M\n#include \"inc.tvs\"\nafter\n#endif\nend\n");
    EXPECT_EQ(Body(output), "inside after end");
    EXPECT_EQ(diagnostics.Notable(), (std::vector<std::string>{"missing '#endif'", "unterminated comment"}));
    // Markers around the included text restore the including file's line.
    EXPECT_NE(output.find("\n# line 1 \"inc.tvs\"\n \n inside"), std::string::npos);
    EXPECT_NE(output.find("\n# line 4 \"test.tvs\"\n after"), std::string::npos);
}

TEST_F(DefsPreprocessor, SelfIncludeStopsAtTheNestingLimit) {
    std::string output = Preprocess("a\n#include \"test.tvs\"\n");
    EXPECT_FALSE(completed);
    EXPECT_EQ(diagnostics.Errors(), std::vector<std::string>{"#include nested too deeply"});
    // The file and the copies of itself it could include, each writing its "a".
    std::string expected = "a";
    for (int depth = 1; depth < ScriptPreprocessor::kMaxInputDepth; ++depth) expected += " a";
    EXPECT_EQ(Body(output), expected);
}

TEST_F(DefsPreprocessor, SelfExpandingMacroStops) {
    Preprocess("#define A x A\nA\n");
    EXPECT_FALSE(completed);
    EXPECT_EQ(diagnostics.Errors(), std::vector<std::string>{"macro 'A' nested too deeply"});
}

TEST_F(DefsPreprocessor, MultiplyingMacrosStopAtTheTextLimit) {
    std::string source = "#define A " + std::string(1000, 'x') + "\n";
    const char* names = "ABCD";
    for (int level = 1; level < 4; ++level) {
        source += "#define ";
        source += names[level];
        for (int i = 0; i < 100; ++i) {
            source += ' ';
            source += names[level - 1];
        }
        source += '\n';
    }
    Preprocess(source + "D\n");
    EXPECT_FALSE(completed);
    EXPECT_EQ(diagnostics.Errors(), std::vector<std::string>{"macro expansion too large"});
}

TEST_F(DefsPreprocessor, LoneQuoteIsASyntaxError) {
    std::string output = Preprocess("a\n#define Q \"\nQ\nb\n");
    EXPECT_FALSE(completed);
    EXPECT_EQ(diagnostics.Errors(), std::vector<std::string>{"syntax error"});
    EXPECT_EQ(Body(output), "a");
}

} // namespace
