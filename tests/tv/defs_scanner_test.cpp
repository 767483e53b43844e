// The scanner's parse state: longest match, keyword over identifier, the
// multi-word keyword rules, numbers, strings, line markers and the token limit.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>

#include "Tv/defs/inputstreams.h"
#include "Tv/defs/preprocessor.h"
#include "Tv/defs/scanner.h"
#include "defs_test_helpers.h"

namespace {

// Characters from memory, delivered in small pieces so tokens straddle reads.
class TextStream final : public ScriptInputStream {
public:
    explicit TextStream(std::string text) : text_(std::move(text)) {}
    size_t Read(char* buffer, size_t maximum) override {
        size_t n = std::min({maximum, text_.size() - read_, size_t{7}});
        std::memcpy(buffer, text_.data() + read_, n);
        read_ += n;
        return n;
    }
    const char* FileName() const override { return nullptr; }

private:
    std::string text_;
    size_t read_ = 0;
};

std::string Describe(ScriptToken token, const ScriptTokenValue& v) {
    char number[32];
    switch (token) {
    case ScriptToken::Integer: return "int(" + std::to_string(v.integer) + ")";
    case ScriptToken::Real: std::snprintf(number, sizeof number, "real(%g)", v.real); return number;
    case ScriptToken::Identifier: return "id(" + std::string(v.text) + ")";
    case ScriptToken::String: return "str(" + std::string(v.text) + ")";
    case ScriptToken::Boolean: return "bool(" + std::to_string(v.integer) + ")";
    case ScriptToken::Difficulty: return "diff(" + std::to_string(v.integer) + ")";
    default: break;
    }
    if (!v.keyword) return "?";
    std::string text = v.keyword->text;
    if (v.keyword->property >= 0) text += "=" + std::to_string(v.keyword->property);
    return text;
}

struct ScanResult {
    std::string tokens; // described, separated by " | "
    int errors;
};

ScanResult ScanParse(const std::string& text) {
    RecordedDiagnostics diagnostics;
    ScriptPreprocessor input;
    ScriptScanner scanner(input);
    input.PushInput(new TextStream(text));
    scanner.SelectPass(2);
    ScriptTokenValue value;
    EXPECT_EQ(scanner.Lex(value), ScriptToken::ParseStart);
    ScanResult result{"", 0};
    for (ScriptToken t = scanner.Lex(value); t != ScriptToken::End; t = scanner.Lex(value))
        result.tokens += (result.tokens.empty() ? "" : " | ") + Describe(t, value);
    result.errors = static_cast<int>(diagnostics.Errors().size());
    return result;
}

struct ScanCase {
    const char* text;
    const char* tokens;
    int errors;
};

// Test names carry the input with its punctuation and blanks made plain.
void PrintTo(const ScanCase& c, std::ostream* os) {
    for (const char* p = c.text; *p; ++p) *os << (std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_');
}

class DefsScannerCases : public ::testing::TestWithParam<ScanCase> {};

TEST_P(DefsScannerCases, Scan) {
    const ScanCase& c = GetParam();
    ScanResult result = ScanParse(c.text);
    EXPECT_EQ(result.tokens, c.tokens) << "input: " << c.text;
    EXPECT_EQ(result.errors, c.errors) << "input: " << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    MultiWordKeywords, DefsScannerCases,
    ::testing::Values(ScanCase{"walking speed 2", "walking speed=12 | int(2)", 0},
                      ScanCase{"walkingspeed 2", "walking speed=12 | int(2)", 0},
                      ScanCase{"walking\tspeed 2", "walking speed=12 | int(2)", 0},
                      ScanCase{"walking \t  speed\t2", "walking speed=12 | int(2)", 0},
                      ScanCase{"action on death 1", "action on death=92 | int(1)", 0},
                      ScanCase{"action  on death", "id(action) | id(on) | id(death)", 0},
                      ScanCase{"actionon death", "id(actionon) | id(death)", 0},
                      // Longest match: a longer keyword, or a longer identifier, wins.
                      ScanCase{"status window", "status window=1", 0},
                      ScanCase{"statuswindowu status window v", "status window u=63 | status window v=64", 0},
                      ScanCase{"status window ux", "status window u=63 | x=68", 0},
                      ScanCase{"rolex role x x1 _x", "id(rolex) | role=95 | x=68 | id(x1) | id(_x)", 0},
                      ScanCase{"life timer life", "life timer=22 | life=66", 0},
                      ScanCase{"ammo info ammoinfo ammo", "ammo info | ammo info | ammo", 0},
                      ScanCase{"plasma pistol training", "int(1)", 0},
                      ScanCase{"plasma pistolx", "int(0) | x=68", 0},
                      ScanCase{"missile launcher sound", "int(8) | sound=32", 0},
                      ScanCase{"missilelauncher sound", "int(114)", 0},
                      ScanCase{"enemy missile launcher basic slow reload", "int(26)", 0},
                      ScanCase{"none needed none", "int(18) | none", 0},
                      ScanCase{"customization hierarchy customisation hierarchy",
                               "customization hierarchy=117 | customisation hierarchy=117", 0},
                      ScanCase{"in team inteam", "in team | in team", 0},
                      ScanCase{"yes no easy extreme", "bool(1) | bool(0) | diff(0) | diff(3)", 0},
                      ScanCase{"{begin([}end)]:@", "{ | begin | ( | [ | } | end | ) | ] | : | @", 0}));

INSTANTIATE_TEST_SUITE_P(
    NumbersStringsAndStrays, DefsScannerCases,
    ::testing::Values(ScanCase{"-.5 .25 1. 12.5", "real(-0.5) | real(0.25) | real(1) | real(12.5)", 0},
                      ScanCase{"1e5", "int(1) | id(e5)", 0}, ScanCase{"12abc", "int(12) | id(abc)", 0},
                      ScanCase{"-7 007", "int(-7) | int(7)", 0},
                      ScanCase{"99999999999 -99999999999", "int(2147483647) | int(-2147483648)", 0},
                      ScanCase{"+5", "int(5)", 1}, ScanCase{"-", "", 1}, ScanCase{"1..5", "real(1) | real(0.5)", 0},
                      ScanCase{"\"abc\nx", "str(abc) | x=68", 0}, ScanCase{"\"a b\"x", "str(a b) | x=68", 0},
                      ScanCase{"; = , # /", "", 5},
                      // A '#' is a line marker only at the start of a line.
                      ScanCase{"x # line 3", "x=68 | id(line) | int(3)", 1}));

TEST(DefsScanner, NumbersBeyondADoublesRangeTakeTheCLibrarysAnswer) {
    // Too large: infinity (which every range check refuses); too small: zero.
    const std::string huge(400, '9'), tiny = "0." + std::string(400, '0') + "1";
    EXPECT_EQ(ScanParse(huge + ". -" + huge + ".5 " + tiny + " -0" + tiny).tokens,
              "real(inf) | real(-inf) | real(0) | real(-0)");
}

TEST(DefsScanner, LineMarkersSetTheLineAndFileOfTheFollowingLines) {
    ScriptPreprocessor input;
    ScriptScanner scanner(input);
    input.PushInput(new TextStream("a\n# line 40 \"other.tvs\"\nb\nc\n  #  line 7 junk\nd\n#line -2\ne"));
    scanner.SelectPass(2);
    ScriptTokenValue value;
    scanner.Lex(value);
    std::string seen;
    for (ScriptToken t = scanner.Lex(value); t != ScriptToken::End; t = scanner.Lex(value)) {
        const char* file = input.Position().file.Get();
        seen += std::string(value.text) + "@" + (file ? file : "") + ":" + std::to_string(input.Position().line) + " ";
    }
    EXPECT_EQ(seen, "a@:0 b@other.tvs:40 c@other.tvs:41 d@other.tvs:7 e@other.tvs:-2 ");
}

TEST(DefsScanner, TokensLongerThanTheBufferEndTheInput) {
    const std::string longest(ScanBuffer::kMaxTokenLength, 'a');
    EXPECT_EQ(ScanParse("x " + longest + " y").tokens, "x=68 | id(" + longest + ") | y=69");

    ScanResult result = ScanParse("x " + longest + "a y");
    EXPECT_EQ(result.tokens, "x=68");
    EXPECT_EQ(result.errors, 1);
}

TEST(DefsScanner, OverflowMessageText) {
    RecordedDiagnostics diagnostics;
    ScriptPreprocessor input;
    ScriptScanner scanner(input);
    input.PushInput(new TextStream("\"" + std::string(20000, 's') + "\""));
    scanner.SelectPass(2);
    ScriptTokenValue value;
    scanner.Lex(value);
    EXPECT_EQ(scanner.Lex(value), ScriptToken::End);
    EXPECT_EQ(diagnostics.Errors(), std::vector<std::string>{"fatal error - scanner input buffer overflow"});
}

} // namespace
