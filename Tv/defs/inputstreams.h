#pragma once
// The character sources the definition scanner reads: script files, and token
// streams (the preprocessor's output, and macro bodies while they expand).

#include <cstddef>
#include <string>
#include <string_view>

#include "Tv/defs/ownedtext.h"
#include "core/mem.h"
#include "platform/textfile.h"

class ScriptInputStream : public MemObject {
public:
    virtual ~ScriptInputStream() = default;
    // Places up to `maximum` characters in `buffer`; returns how many (0 at the end).
    virtual size_t Read(char* buffer, size_t maximum) = 0;
    // The name of the file the stream reads, or null for a stream that is not a file.
    virtual const char* FileName() const = 0;
};

// A script file read in text mode (CR LF arrives as LF), followed by a final
// newline, so every file ends with one. A file that cannot be opened delivers
// only that newline; it keeps its name all the same.
class ScriptFileStream final : public ScriptInputStream {
public:
    explicit ScriptFileStream(std::string_view path);

    bool IsOpen() const { return file_.IsOpen(); }
    size_t Read(char* buffer, size_t maximum) override;
    const char* FileName() const override { return name_.Get(); }

private:
    plat::TextFile file_;
    OwnedText name_;
    size_t tailRead_ = 0; // characters of the final newline delivered
};

// A sequence of tokens, read back as each token's text followed by one blank,
// so consecutive tokens never run together. A new stream holds one empty
// token (it reads as a single blank).
class ScriptTokenStream final : public ScriptInputStream {
public:
    ScriptTokenStream() : text_(" ") {}
    // A stream of one empty token followed by tokens already joined as
    // "token token " (a macro body).
    explicit ScriptTokenStream(std::string_view joinedTokens);

    void AppendToken(std::string_view token);
    void AppendNewline() { text_ += "\n "; }

    size_t Read(char* buffer, size_t maximum) override;
    const char* FileName() const override { return nullptr; }

    // Everything the stream reads, from its start.
    std::string_view Text() const { return text_; }

private:
    std::string text_;
    size_t read_ = 0;
};
