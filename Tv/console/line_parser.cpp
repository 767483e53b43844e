#include "Tv/console/line_parser.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "Tv/console/command_args.h"
#include "Tv/console/tokens.h"
#include "core/hashtable.h"
#include "core/numeric.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Deletes `count` characters (at most all) from the front of a string.
void CutFront(char* text, size_t count) {
    const size_t length = std::strlen(text);
    if (count > length) count = length;
    std::memmove(text, text + count, length - count + 1);
}

void CutBlanks(char* text) {
    size_t blanks = 0;
    while (text[blanks] == ' ') ++blanks;
    CutFront(text, blanks);
}

// Copies `count` characters of `from` into a console text, cut to fit.
void CopyCut(ConsoleText& to, const char* from, size_t count) {
    if (count > kConsoleLineSize - 1) count = kConsoleLineSize - 1;
    std::memcpy(to, from, count);
    to[count] = '\0';
}

size_t WordLength(const char* text) {
    const char* blank = std::strchr(text, ' ');
    return blank ? static_cast<size_t>(blank - text) : std::strlen(text);
}

const char* PastBlanks() {
    const char* p = ConsoleLine;
    while (*p == ' ') ++p;
    return p;
}

// ints negate without overflow: the most negative value becomes the largest.
int32_t Negated(int32_t value) { return value == INT32_MIN ? INT32_MAX : -value; }

// The decimal digits at the front of `text`, saturated at the largest int.
int32_t SaturatedDigits(const char* text) {
    int64_t value = 0;
    for (; IsDigit(*text); ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT32_MAX) return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

// A condition operand: a number when it starts with a digit, else a token's
// value; false (string `unknownId` printed) for an unknown token.
bool ConditionOperand(float& value, uint32_t unknownId) {
    if (IsDigit(ConsoleLine[0])) {
        value = TvParseFloat(0.0f);
        return true;
    }
    ConsoleText word;
    TvParseWord(word);
    if (TokenTable::Get(word, value)) return true;
    TvPrintString(unknownId);
    return false;
}

} // namespace

void TvCutLineFront(size_t count) { CutFront(ConsoleLine, count); }

char* TvSkipBlanks() {
    CutBlanks(ConsoleLine);
    return ConsoleLine[0] ? ConsoleLine : nullptr;
}

void TvParseWord(ConsoleText& word) {
    CutBlanks(ConsoleLine);
    if (ConsoleLine[0] == '"') {
        const char* close = std::strchr(ConsoleLine + 1, '"');
        const size_t length = close ? static_cast<size_t>(close - ConsoleLine - 1) : std::strlen(ConsoleLine + 1);
        CopyCut(word, ConsoleLine + 1, length);
        TvCutLineFront(length + (close ? 2 : 1));
        return;
    }
    const size_t length = WordLength(ConsoleLine);
    CopyCut(word, ConsoleLine, length);
    TvCutLineFront(length);
}

void TvPeekWord(ConsoleText& word) {
    ConsoleText saved;
    std::memcpy(saved, ConsoleLine, kConsoleLineSize);
    TvParseWord(word);
    std::memcpy(ConsoleLine, saved, kConsoleLineSize);
}

void TvParseRestOfLine(ConsoleText& text) {
    CutBlanks(ConsoleLine);
    CopyCut(text, ConsoleLine, std::strlen(ConsoleLine));
}

bool TvNextArgIsNumber() {
    const char* p = PastBlanks();
    if (*p == '-') ++p;
    return IsDigit(*p) || *p == '.';
}

bool TvNextArgIsWord() {
    const char c = *PastBlanks();
    return c != '\0' && c != '-' && c != '.' && !IsDigit(c);
}

int32_t TvParseInt(int32_t defaultValue) {
    bool negate = false;
    for (;; TvCutLineFront(1)) {
        if (ConsoleLine[0] == '-')
            negate = !negate;
        else if (ConsoleLine[0] != ' ')
            break;
    }
    if (ConsoleLine[0] == '\0') return defaultValue;
    int32_t value = defaultValue;
    if (IsDigit(ConsoleLine[0])) {
        value = SaturatedDigits(ConsoleLine);
        TvCutLineFront(WordLength(ConsoleLine));
        CutBlanks(ConsoleLine);
    } else {
        ConsoleText word;
        TvParseWord(word);
        float tokenValue = 0.0f;
        if (TokenTable::Get(word, tokenValue)) value = FloorToInt(tokenValue);
    }
    return negate ? Negated(value) : value;
}

float TvParseFloat(float defaultValue) {
    CutBlanks(ConsoleLine);
    bool negate = false;
    if (ConsoleLine[0] == '-') {
        negate = true;
        TvCutLineFront(1);
        CutBlanks(ConsoleLine);
    }
    if (ConsoleLine[0] == '\0') return defaultValue;
    if (!IsDigit(ConsoleLine[0]) && ConsoleLine[0] != '.') {
        ConsoleText word;
        TvParseWord(word);
        float tokenValue = defaultValue;
        TokenTable::Get(word, tokenValue);
        return tokenValue;
    }
    float value = 0.0f;
    size_t used = 0;
    for (; IsDigit(ConsoleLine[used]); ++used) value = value * 10.0f + static_cast<float>(ConsoleLine[used] - '0');
    if (ConsoleLine[used] == '.') {
        float place = 10.0f;
        for (++used; IsDigit(ConsoleLine[used]); ++used, place *= 10.0f)
            value += static_cast<float>(ConsoleLine[used] - '0') / place;
    }
    TvCutLineFront(used);
    return negate ? -value : value;
}

uint8_t TvParseBool() {
    ConsoleText word;
    TvParseWord(word);
    if (NameEquals(word, "ON") || NameEquals(word, "TRUE")) return 1;
    if (NameEquals(word, "OFF") || NameEquals(word, "FALSE")) return 0;
    return 2;
}

uint8_t TvEvaluateCondition() {
    size_t opening = 0;
    while (ConsoleLine[opening] == ' ' || ConsoleLine[opening] == '(') ++opening;
    TvCutLineFront(opening);
    float left = 0.0f;
    if (ConsoleLine[0] == '\0' || !ConditionOperand(left, 11006)) return 2;
    if (!TvSkipBlanks()) return 2;
    enum class Op { Equal, Less, Greater, NotEqual } op;
    size_t opLength = 1;
    if (ConsoleLine[0] == '=') {
        op = Op::Equal;
    } else if (ConsoleLine[0] == '<') {
        op = Op::Less;
    } else if (ConsoleLine[0] == '>') {
        op = Op::Greater;
    } else if (ConsoleLine[0] == '!' && ConsoleLine[1] == '=') {
        op = Op::NotEqual;
        opLength = 2;
    } else {
        TvPrintString(11007);
        return 2;
    }
    TvCutLineFront(opLength);
    float right = 0.0f;
    if (!TvSkipBlanks() || !ConditionOperand(right, 11008)) return 2;
    size_t closing = 0;
    while (ConsoleLine[closing] == ' ' || ConsoleLine[closing] == ')') ++closing;
    TvCutLineFront(closing);
    switch (op) {
    case Op::Equal:
        return left == right;
    case Op::Less:
        return left < right;
    case Op::Greater:
        return left > right;
    case Op::NotEqual:
        return left != right;
    }
    return 2;
}

void TvSkipArgument(char* text) {
    CutBlanks(text);
    CutFront(text, WordLength(text));
    CutBlanks(text);
}

void TvInsertChar(size_t position, char* text, char c) {
    const size_t length = std::strlen(text);
    if (length >= kConsoleLineSize - 1 || position > length) return;
    std::memmove(text + position + 1, text + position, length - position + 1);
    text[position] = c;
}

void TvDeleteChar(size_t position, char* text) {
    if (position >= std::strlen(text)) return;
    CutFront(text + position, 1);
}

std::string TvFormatFloat(float value) {
    if (!std::isfinite(value)) return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    const float magnitude = std::fabs(value);
    double whole = std::floor(static_cast<double>(magnitude));
    const float scaled = (magnitude - static_cast<float>(whole)) * 10000.0f;
    int32_t fraction = FloorToInt(scaled);
    if (scaled - static_cast<float>(fraction) >= 0.5f) ++fraction;
    if (fraction == 10000) {
        whole += 1.0;
        fraction = 0;
    }
    if (whole == 0.0 && fraction == 0) return "0";
    std::string text = value < 0 ? "-" : "";
    char digits[64];
    if (whole != 0.0) {
        std::snprintf(digits, sizeof digits, "%.0f", whole);
        text += digits;
    }
    if (fraction != 0) {
        std::snprintf(digits, sizeof digits, ".%04d", fraction);
        size_t end = std::strlen(digits);
        while (digits[end - 1] == '0') --end;
        text.append(digits, end);
    }
    return text;
}
