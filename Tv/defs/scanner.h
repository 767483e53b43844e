#pragma once
// The definition scanner: turns the characters of the current input into
// tokens for both compiler passes.
//
// In every state it takes the longest match among its rules, the earlier rule
// winning a tie (a keyword beats an identifier of the same text). In the
// preprocess states it recognises directives, comments, identifiers, strings
// and runs of other characters and writes newlines to the preprocessor's
// output itself; in the parse state it recognises the keywords, numbers,
// strings and identifiers of the definition language. Line markers
// ("# line N "file"" at the start of a line) set the current line and file.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Tv/defs/keywords.h"

class ScriptInputStream;
class ScriptPreprocessor;

enum class ScanState : uint8_t { Initial, Preprocess, Parse, Comment, LineComment, Directive, LineMarker };

// The value of a written real number (an optional '-', digits, an optional
// '.' and digits): the double nearest to it, whatever the thread's rounding
// mode. A value beyond a double's range is the C library's answer: infinity
// for one too large and zero for one too small.
double ScriptRealValue(const char* p, const char* end);

// The value that comes with a token.
struct ScriptTokenValue {
    int32_t integer = 0;                    // Integer, Boolean (1, 0), Difficulty (0..3)
    double real = 0.0;                      // Real
    std::string_view text;                  // Identifier, String (without quotes), PpText: valid until the next Lex
    const ScriptKeyword* keyword = nullptr; // the keyword behind a keyword-made token
};

// One input's window of characters. Characters are read from the stream in
// pieces of at most 8,192 and kept so that a whole token of up to
// kMaxTokenLength characters and the character after it are in view.
class ScanBuffer {
public:
    static constexpr size_t kMaxTokenLength = 16383;

    explicit ScanBuffer(ScriptInputStream& stream);
    ~ScanBuffer();
    ScanBuffer(const ScanBuffer&) = delete;
    ScanBuffer& operator=(const ScanBuffer&) = delete;

    // Reads ahead so that at least kMaxTokenLength + 2 characters are in view,
    // or all that is left of the input.
    void Fill();
    const char* Cursor() const { return data_ + pos_; }
    const char* Limit() const { return data_ + end_; }
    // True when the input is used up.
    bool Exhausted() const { return pos_ == end_ && ended_; }
    // True when a whole token and the character after it are in view at the
    // cursor (or all that is left of the input, and that is not nothing), so
    // scanning may go on without a Fill.
    bool HoldsToken() const;
    void Consume(size_t n) { pos_ += n; }
    // Drops the rest of the input.
    void Discard();

    // The next character starts a line (a new input starts at one).
    bool atLineStart = true;

private:
    ScriptInputStream& stream_;
    char* data_ = nullptr;
    size_t capacity_ = 0; // grows as the input needs it: most macro bodies are short
    size_t pos_ = 0;
    size_t end_ = 0;
    bool ended_ = false;
};

class ScriptScanner {
public:
    explicit ScriptScanner(ScriptPreprocessor& input) : input_(input) {}

    // Sets the pass selector: the next Lex returns PpStart (pass 1, state
    // Preprocess) or ParseStart (pass 2, state Parse) before reading input.
    void SelectPass(int pass) { pendingPass_ = pass; }

    // The next token (End when no input is left) and its value.
    ScriptToken Lex(ScriptTokenValue& value);

    // At the end of a file: a block comment still open is closed with the
    // warning "unterminated comment" and scanning resumes in the state it was
    // opened from.
    void CloseOpenComment();

private:
    // Each returns true with a token, or false after consuming input (or
    // changing state) without one.
    bool ScanPreprocess(ScanBuffer& buffer, ScriptTokenValue& value, ScriptToken& token);
    bool ScanDirective(ScanBuffer& buffer, ScriptTokenValue& value, ScriptToken& token);
    bool ScanParse(ScanBuffer& buffer, ScriptTokenValue& value, ScriptToken& token);
    void ScanComment(ScanBuffer& buffer);
    void ScanLineComment(ScanBuffer& buffer);
    void ScanLineMarker(ScanBuffer& buffer);

    // Shared rules.
    bool ScanIdentifier(ScanBuffer& buffer, ScriptTokenValue& value, ScriptToken& token);
    // Takes a token of `length` characters as `kind` with the given text.
    bool TakeToken(ScanBuffer& buffer, size_t length, ScriptToken kind, std::string_view text,
                   ScriptTokenValue& value, ScriptToken& token);
    // Skips blanks (and, in the parse state, newlines) at the cursor while
    // the buffer holds a token after them; false when the caller must return
    // to Lex (for more input, or after an overlong run).
    bool SkipSpace(ScanBuffer& buffer, bool newlines);
    // A comment start ("/*" or "//") at the cursor: enters the comment, returning to `from`.
    bool EnterComment(ScanBuffer& buffer, ScanState from);
    void Newline(ScanBuffer& buffer, bool written);
    // Consumes a token of `length` characters; false (and the input ends)
    // when it is longer than a buffer can hold.
    bool Take(ScanBuffer& buffer, size_t length);

    ScriptPreprocessor& input_;
    int pendingPass_ = 0;
    ScanState state_ = ScanState::Initial;
    ScanState commentReturn_ = ScanState::Initial;
    ScanState markerReturn_ = ScanState::Initial;
    int32_t commentDepth_ = 0;
};
