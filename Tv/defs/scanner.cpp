#include "Tv/defs/scanner.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

#include "Tv/defs/diagnostics.h"
#include "Tv/defs/inputstreams.h"
#include "Tv/defs/keywordtrie.h"
#include "Tv/defs/preprocessor.h"
#include "platform/fpu.h"

namespace {

constexpr size_t kReadPiece = 8192;
constexpr size_t kView = ScanBuffer::kMaxTokenLength + 2; // a longest token and the character after it
// Room for four views: the characters still in view move to the front only
// after three quarters of the buffer have been scanned.
constexpr size_t kCapacity = 4 * (ScanBuffer::kMaxTokenLength + 1);
constexpr size_t kFirstCapacity = 256;

// Character classes, one table look-up per character.
enum CharClass : uint8_t {
    kBlank = 1,
    kLetter = 2, // and the underscore
    kDigit = 4,
    kDirectiveText = 8,  // a text run in a directive: no blank, newline, letter or '/'
    kPreprocessText = 16, // the same outside directives, where a double quote ends it
    kIdentifier = kLetter | kDigit,
};
constexpr std::array<uint8_t, 256> kCharClasses = [] {
    std::array<uint8_t, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        const bool blank = c == ' ' || c == '\t';
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        const bool digit = c >= '0' && c <= '9';
        const bool directiveText = !blank && c != '\n' && !letter && c != '/';
        classes[static_cast<size_t>(c)] = static_cast<uint8_t>((blank ? kBlank : 0) | (letter ? kLetter : 0) |
                                                               (digit ? kDigit : 0) |
                                                               (directiveText ? kDirectiveText : 0) |
                                                               (directiveText && c != '"' ? kPreprocessText : 0));
    }
    return classes;
}();

bool IsIn(char c, uint8_t classes) { return (kCharClasses[static_cast<unsigned char>(c)] & classes) != 0; }
bool IsBlank(char c) { return IsIn(c, kBlank); }
bool IsLetter(char c) { return IsIn(c, kLetter); }
bool IsDigit(char c) { return IsIn(c, kDigit); }

size_t RunLength(const char* p, const char* end, uint8_t classes) {
    const char* q = p;
    while (q < end && IsIn(*q, classes)) ++q;
    return static_cast<size_t>(q - p);
}

const char* SkipBlanks(const char* p, const char* end) {
    while (p < end && IsBlank(*p)) ++p;
    return p;
}

// A string starting at p (a double quote): it ends at the closing quote,
// which it takes, or before a newline, which it leaves.
struct StringScan {
    bool terminated;
    size_t length; // characters taken (or looked at, when not terminated)
    std::string_view text;
};
StringScan ScanString(const char* p, const char* end) {
    const char* q = p + 1;
    while (q < end && *q != '"' && *q != '\n') ++q;
    if (q == end) return {false, static_cast<size_t>(q - p), {}};
    std::string_view text(p + 1, static_cast<size_t>(q - p - 1));
    return {true, static_cast<size_t>(q - p) + (*q == '"' ? 1 : 0), text};
}

// Blanks, '#', blanks and perhaps a directive word at the start of a line.
enum class DirectiveKind { None, Hash, Define, Include, Ifdef, Ifndef, Else, Endif, Line };
struct DirectiveMatch {
    DirectiveKind kind = DirectiveKind::None;
    size_t length = 0;
};
DirectiveMatch MatchDirectiveStart(const char* p, const char* end) {
    static constexpr struct {
        std::string_view word;
        DirectiveKind kind;
    } kWords[] = {
        {"define", DirectiveKind::Define}, {"include", DirectiveKind::Include}, {"ifdef", DirectiveKind::Ifdef},
        {"ifndef", DirectiveKind::Ifndef}, {"else", DirectiveKind::Else},       {"endif", DirectiveKind::Endif},
        {"line", DirectiveKind::Line},
    };
    const char* q = SkipBlanks(p, end);
    if (q == end || *q != '#') return {};
    q = SkipBlanks(q + 1, end);
    for (const auto& w : kWords)
        if (static_cast<size_t>(end - q) >= w.word.size() && std::memcmp(q, w.word.data(), w.word.size()) == 0)
            return {w.kind, static_cast<size_t>(q - p) + w.word.size()};
    return {DirectiveKind::Hash, static_cast<size_t>(q - p)};
}

ScriptToken DirectiveToken(DirectiveKind kind) {
    switch (kind) {
    case DirectiveKind::Define: return ScriptToken::PpDefine;
    case DirectiveKind::Include: return ScriptToken::PpInclude;
    case DirectiveKind::Ifdef: return ScriptToken::PpIfdef;
    case DirectiveKind::Ifndef: return ScriptToken::PpIfndef;
    case DirectiveKind::Else: return ScriptToken::PpElse;
    case DirectiveKind::Endif: return ScriptToken::PpEndif;
    default: return ScriptToken::PpHash;
    }
}

// An optional minus sign and digits; the value saturates at the int32 range.
size_t MatchDecimal(const char* p, const char* end, int32_t& value) {
    const char* q = p + (*p == '-' ? 1 : 0);
    const char* digits = q;
    int64_t v = 0;
    for (; q < end && IsDigit(*q); ++q) v = std::min<int64_t>(v * 10 + (*q - '0'), int64_t{INT32_MAX} + 1);
    if (q == digits) return 0;
    if (*p == '-') v = -v;
    value = static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    return static_cast<size_t>(q - p);
}

// INTEGER: an optional minus sign and digits. REAL: an optional minus sign and
// digits, a point and optional digits, or a point and digits.
struct NumberMatch {
    ScriptToken token = ScriptToken::End;
    size_t length = 0;
};
} // namespace

double ScriptRealValue(const char* p, const char* end) {
    // Most written reals (0.5, 2.25, 12.5) are exact binary fractions: their
    // quotient digits / 10^k is exact in any rounding mode, which the product
    // back proves (rounding down could only make it smaller).
    {
        const bool negative = *p == '-';
        uint64_t digits = 0;
        int fractionDigits = -1; // -1 before the point
        bool small = true;
        for (const char* q = p + (negative ? 1 : 0); q < end && small; ++q) {
            if (*q == '.') {
                fractionDigits = 0;
                continue;
            }
            digits = digits * 10 + static_cast<uint64_t>(*q - '0');
            if (fractionDigits >= 0) ++fractionDigits;
            small = digits < (uint64_t{1} << 53) && fractionDigits <= 22;
        }
        if (small) {
            static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
            const double scale = kPowersOfTen[fractionDigits < 0 ? 0 : fractionDigits];
            const double whole = static_cast<double>(digits);
            const double quotient = whole / scale;
            if (quotient * scale == whole) return negative ? -quotient : quotient;
        }
    }
    double value = 0.0;
    std::from_chars_result result;
    {
        plat::NearestRoundingScope nearest;
        result = std::from_chars(p, end, value);
    }
    if (result.ec == std::errc::result_out_of_range) {
        const bool negative = *p == '-';
        const char* digit = p + (negative ? 1 : 0);
        while (digit < end && *digit == '0') ++digit;
        const bool large = digit < end && *digit != '.';
        value = large ? std::numeric_limits<double>::infinity() : 0.0;
        if (negative) value = -value;
    }
    return value;
}

namespace {

NumberMatch MatchNumber(const char* p, const char* end) {
    const char* q = p + (*p == '-' ? 1 : 0);
    const char* whole = q;
    while (q < end && IsDigit(*q)) ++q;
    bool hasWhole = q > whole;
    if (q < end && *q == '.') {
        const char* fraction = q + 1;
        const char* r = fraction;
        while (r < end && IsDigit(*r)) ++r;
        if (hasWhole || r > fraction) return {ScriptToken::Real, static_cast<size_t>(r - p)};
    }
    if (hasWhole) return {ScriptToken::Integer, static_cast<size_t>(q - p)};
    return {};
}

} // namespace

ScanBuffer::ScanBuffer(ScriptInputStream& stream) : stream_(stream) {}

ScanBuffer::~ScanBuffer() { delete[] data_; }

void ScanBuffer::Fill() {
    if (ended_ || end_ - pos_ >= kView) return;
    if (pos_ > 0) {
        std::memmove(data_, data_ + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    while (!ended_ && end_ < kView) {
        if (end_ == capacity_) {
            size_t capacity = std::min(kCapacity, std::max<size_t>(kFirstCapacity, 2 * capacity_));
            char* data = new char[capacity];
            if (end_) std::memcpy(data, data_, end_);
            delete[] data_;
            data_ = data;
            capacity_ = capacity;
        }
        size_t got = stream_.Read(data_ + end_, std::min(kReadPiece, capacity_ - end_));
        if (got == 0) ended_ = true;
        end_ += got;
    }
}

bool ScanBuffer::HoldsToken() const { return end_ - pos_ >= kView || (ended_ && pos_ < end_); }

void ScanBuffer::Discard() {
    pos_ = end_;
    ended_ = true;
}

ScriptToken ScriptScanner::Lex(ScriptTokenValue& value) {
    value = ScriptTokenValue{};
    if (pendingPass_ != 0) {
        bool preprocess = pendingPass_ == 1;
        pendingPass_ = 0;
        state_ = preprocess ? ScanState::Preprocess : ScanState::Parse;
        return preprocess ? ScriptToken::PpStart : ScriptToken::ParseStart;
    }
    ScriptSourcePosition& position = input_.Position();
    for (;;) {
        position.tokenLine = position.line;
        ScanBuffer* buffer = input_.CurrentBuffer();
        if (!buffer) return ScriptToken::End;
        buffer->Fill();
        if (buffer->Exhausted()) {
            if (input_.InputEnded(*this)) return ScriptToken::End;
            continue;
        }
        ScriptToken token = ScriptToken::End;
        switch (state_) {
        case ScanState::Initial:
        case ScanState::Preprocess:
            if (ScanPreprocess(*buffer, value, token)) return token;
            break;
        case ScanState::Directive:
            if (ScanDirective(*buffer, value, token)) return token;
            break;
        case ScanState::Parse:
            if (ScanParse(*buffer, value, token)) return token;
            break;
        case ScanState::Comment: ScanComment(*buffer); break;
        case ScanState::LineComment: ScanLineComment(*buffer); break;
        case ScanState::LineMarker: ScanLineMarker(*buffer); break;
        }
    }
}

void ScriptScanner::CloseOpenComment() {
    if (state_ != ScanState::Comment) return;
    CompilerWarning("unterminated comment");
    commentDepth_ = 0;
    state_ = commentReturn_;
}

bool ScriptScanner::Take(ScanBuffer& buffer, size_t length) {
    if (length > ScanBuffer::kMaxTokenLength) {
        CompilerError("fatal error - scanner input buffer overflow");
        buffer.Discard();
        return false;
    }
    buffer.Consume(length);
    buffer.atLineStart = false;
    return true;
}

void ScriptScanner::Newline(ScanBuffer& buffer, bool written) {
    buffer.Consume(1);
    buffer.atLineStart = true;
    if (written) input_.WriteNewline();
    ++input_.Position().line;
}

bool ScriptScanner::EnterComment(ScanBuffer& buffer, ScanState from) {
    const char* p = buffer.Cursor();
    if (buffer.Limit() - p < 2 || p[0] != '/' || (p[1] != '*' && p[1] != '/')) return false;
    commentReturn_ = from;
    if (p[1] == '*') {
        commentDepth_ = 1;
        state_ = ScanState::Comment;
    } else {
        state_ = ScanState::LineComment;
    }
    buffer.Consume(2);
    buffer.atLineStart = false;
    return true;
}

bool ScriptScanner::ScanIdentifier(ScanBuffer& buffer, ScriptTokenValue& value, ScriptToken& token) {
    const char* p = buffer.Cursor();
    size_t n = RunLength(p, buffer.Limit(), kIdentifier);
    return TakeToken(buffer, n, ScriptToken::Identifier, {p, n}, value, token);
}

bool ScriptScanner::TakeToken(ScanBuffer& buffer, size_t length, ScriptToken kind, std::string_view text,
                              ScriptTokenValue& value, ScriptToken& token) {
    value.text = text;
    token = kind;
    return Take(buffer, length);
}

bool ScriptScanner::SkipSpace(ScanBuffer& buffer, bool newlines) {
    for (;;) {
        const char c = *buffer.Cursor();
        if (IsBlank(c)) {
            if (!Take(buffer, RunLength(buffer.Cursor(), buffer.Limit(), kBlank))) return false;
        } else if (newlines && c == '\n') {
            Newline(buffer, false);
            if (!buffer.HoldsToken()) return false;
            // A line marker is looked for at the start of every line.
            const char next = *buffer.Cursor();
            if ((next == '#' || IsBlank(next)) &&
                MatchDirectiveStart(buffer.Cursor(), buffer.Limit()).kind == DirectiveKind::Line)
                return false;
            input_.Position().tokenLine = input_.Position().line;
            continue;
        } else {
            return true;
        }
        if (!buffer.HoldsToken()) return false;
    }
}

bool ScriptScanner::ScanPreprocess(ScanBuffer& buffer, ScriptTokenValue& value, ScriptToken& token) {
    const char* p = buffer.Cursor();
    const char* end = buffer.Limit();
    char c = *p;
    if (buffer.atLineStart && (c == '#' || IsBlank(c))) {
        DirectiveMatch d = MatchDirectiveStart(p, end);
        // "#" also starts a text run ("#1" is text), which wins when longer.
        size_t run = c == '#' ? RunLength(p, end, kPreprocessText) : 0;
        if (d.kind != DirectiveKind::None && d.length >= run) {
            buffer.Consume(d.length);
            buffer.atLineStart = false;
            if (d.kind == DirectiveKind::Line) {
                markerReturn_ = ScanState::Preprocess;
                state_ = ScanState::LineMarker;
                return false;
            }
            state_ = ScanState::Directive;
            token = DirectiveToken(d.kind);
            return true;
        }
    }
    if (c == '\n') {
        Newline(buffer, true);
        return false;
    }
    if (IsBlank(c)) {
        if (!SkipSpace(buffer, false)) return false;
        p = buffer.Cursor();
        c = *p;
        if (c == '\n') return false;
    }
    if (c == '"') {
        StringScan s = ScanString(p, end);
        if (s.terminated) return TakeToken(buffer, s.length, ScriptToken::String, s.text, value, token);
        if (!Take(buffer, s.length > ScanBuffer::kMaxTokenLength ? s.length : 1)) return false;
        token = ScriptToken::PpQuote;
        return true;
    }
    if (c == '/' && EnterComment(buffer, ScanState::Preprocess)) return false;
    if (IsLetter(c)) return ScanIdentifier(buffer, value, token);
    size_t n = c == '/' ? 1 : RunLength(p, end, kPreprocessText);
    return TakeToken(buffer, n, ScriptToken::PpText, {p, n}, value, token);
}

bool ScriptScanner::ScanDirective(ScanBuffer& buffer, ScriptTokenValue& value, ScriptToken& token) {
    const char* p = buffer.Cursor();
    const char* end = buffer.Limit();
    char c = *p;
    if (c == '\\') {
        const char* q = SkipBlanks(p + 1, end);
        if (q < end && *q == '\n') {
            if (q > p + 1) CompilerWarning("Preprocessor directive continues on next line after whitespace");
            buffer.Consume(static_cast<size_t>(q - p));
            Newline(buffer, true);
            return false;
        }
    }
    if (c == '\n') {
        Newline(buffer, true);
        state_ = ScanState::Preprocess;
        token = ScriptToken::PpEnd;
        return true;
    }
    if (IsBlank(c)) {
        Take(buffer, RunLength(p, end, kBlank));
        return false;
    }
    if (c == '/' && EnterComment(buffer, ScanState::Directive)) return false;
    if (IsLetter(c)) return ScanIdentifier(buffer, value, token);
    size_t run = c == '/' ? 1 : RunLength(p, end, kDirectiveText);
    if (c == '"') {
        // A quoted text is a string unless a text run is at least as long
        // ("12" with its quotes is a text run).
        StringScan s = ScanString(p, end);
        if (s.terminated && s.length > run)
            return TakeToken(buffer, s.length, ScriptToken::String, s.text, value, token);
    }
    return TakeToken(buffer, run, ScriptToken::PpText, {p, run}, value, token);
}

bool ScriptScanner::ScanParse(ScanBuffer& buffer, ScriptTokenValue& value, ScriptToken& token) {
    const char* p = buffer.Cursor();
    const char* end = buffer.Limit();
    char c = *p;
    if (buffer.atLineStart && (c == '#' || IsBlank(c))) {
        DirectiveMatch d = MatchDirectiveStart(p, end);
        if (d.kind == DirectiveKind::Line) {
            Take(buffer, d.length);
            markerReturn_ = ScanState::Parse;
            state_ = ScanState::LineMarker;
            return false;
        }
    }
    if (c == '\n' || IsBlank(c)) {
        if (!SkipSpace(buffer, true)) return false;
        p = buffer.Cursor();
        c = *p;
    }
    if (c == '"') {
        StringScan s = ScanString(p, end);
        if (s.terminated) return TakeToken(buffer, s.length, ScriptToken::String, s.text, value, token);
        if (s.length > ScanBuffer::kMaxTokenLength) return Take(buffer, s.length);
    } else if (IsDigit(c) || c == '-' || c == '.') {
        NumberMatch m = MatchNumber(p, end);
        if (m.token == ScriptToken::Integer) {
            MatchDecimal(p, end, value.integer);
        } else if (m.token == ScriptToken::Real) {
            value.real = ScriptRealValue(p, p + m.length);
        }
        if (m.length) {
            token = m.token;
            return Take(buffer, m.length);
        }
    } else {
        KeywordMatch k = MatchScriptKeyword(p, end);
        size_t identifier = IsLetter(c) ? RunLength(p, end, kIdentifier) : 0;
        if (k.length && k.length >= identifier) {
            value.keyword = k.keyword;
            value.integer = k.keyword->value;
            token = k.keyword->token;
            return Take(buffer, k.length);
        }
        if (identifier) return TakeToken(buffer, identifier, ScriptToken::Identifier, {p, identifier}, value, token);
    }
    char text[2] = {c, '\0'};
    CompilerError("unexpected character '%s'", text);
    Take(buffer, 1);
    return false;
}

void ScriptScanner::ScanComment(ScanBuffer& buffer) {
    const char* p = buffer.Cursor();
    const char* end = buffer.Limit();
    bool pair = end - p >= 2;
    if (pair && p[0] == '*' && p[1] == '/') {
        Take(buffer, 2);
        if (--commentDepth_ == 0)
            state_ = commentReturn_;
        else
            CompilerWarning("end of nested comment found");
        return;
    }
    if (pair && p[0] == '/' && p[1] == '*') {
        Take(buffer, 2);
        CompilerWarning("start of nested comment found");
        ++commentDepth_;
        return;
    }
    if (*p == '\n') {
        Newline(buffer, true);
        return;
    }
    size_t n = 1;
    while (p + n < end && p[n] != '*' && p[n] != '/' && p[n] != '\n') ++n;
    buffer.Consume(n);
    buffer.atLineStart = false;
}

void ScriptScanner::ScanLineComment(ScanBuffer& buffer) {
    const char* p = buffer.Cursor();
    const char* end = buffer.Limit();
    if (*p == '\\' && end - p >= 2 && p[1] == '\n') {
        CompilerWarning("Single-line comment continues on next line");
        buffer.Consume(1);
        Newline(buffer, true);
        return;
    }
    if (*p == '\n') {
        // The newline is left for the state the comment began in.
        commentDepth_ = 0;
        state_ = commentReturn_;
        return;
    }
    size_t n = 1;
    while (p + n < end && p[n] != '\\' && p[n] != '\n') ++n;
    buffer.Consume(n);
    buffer.atLineStart = false;
}

void ScriptScanner::ScanLineMarker(ScanBuffer& buffer) {
    const char* p = buffer.Cursor();
    const char* end = buffer.Limit();
    char c = *p;
    if (c == '\n') {
        // The marker's own newline is not counted: the next line has the marker's number.
        buffer.Consume(1);
        buffer.atLineStart = true;
        state_ = markerReturn_;
        if (markerReturn_ == ScanState::Preprocess) input_.WriteLineMarker();
        return;
    }
    if (c == '"') {
        StringScan s = ScanString(p, end);
        if (s.terminated) {
            OwnedText name(s.text);
            if (Take(buffer, s.length)) input_.Position().file = std::move(name);
            return;
        }
    } else if (c == '-' || IsDigit(c)) {
        int32_t line = 0;
        if (size_t n = MatchDecimal(p, end, line)) {
            if (Take(buffer, n)) input_.Position().line = line;
            return;
        }
    } else if (c == '/' && EnterComment(buffer, ScanState::LineMarker)) {
        return;
    }
    Take(buffer, 1);
}
