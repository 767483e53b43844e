#pragma once
// The definition preprocessor: the input stack the scanner reads, the macro
// table, the conditional blocks and the output of the preprocess pass.
//
// Inputs are pushed by PushInput and popped by InputEnded when the scanner has
// read them to the end. A file input remembers the file name, line and
// conditional depth that were current before it, restores them at its end and,
// in the preprocess pass, writes line markers ("# line N "name"") around its
// text, so the parse pass knows where each line came from.

#include <cstdint>
#include <string_view>

#include "Tv/defs/diagnostics.h"
#include "Tv/defs/inputstreams.h"
#include "Tv/defs/nametable.h"
#include "Tv/defs/scanner.h"
#include "core/list.h"

class ScriptPreprocessor {
public:
    // Deepest input stack (files and expanding macros together): a file that
    // includes itself or a macro that expands itself stops there.
    static constexpr int32_t kMaxInputDepth = 64;
    // Most characters of macro bodies read in one compilation: expansions that
    // multiply one another stop there.
    static constexpr int64_t kMaxMacroText = int64_t{16} << 20;

    ScriptPreprocessor() = default;
    ~ScriptPreprocessor();
    ScriptPreprocessor(const ScriptPreprocessor&) = delete;
    ScriptPreprocessor& operator=(const ScriptPreprocessor&) = delete;

    // --- Inputs ---
    // Makes `stream` (taken over) the current input; false, with the stream
    // deleted, when the input stack is already kMaxInputDepth deep.
    bool PushInput(ScriptInputStream* stream);
    // Called by the scanner at the end of the current input: closes what the
    // input left open (with the warnings "missing '#endif'" and "unterminated
    // comment" for a file), pops it and returns true when no input is left.
    bool InputEnded(ScriptScanner& scanner);
    // Drops every input without end-of-input processing.
    void DiscardInputs();
    ScanBuffer* CurrentBuffer() const { return current_; }

    // Current file name and line, kept by the scanner and the line markers.
    ScriptSourcePosition& Position() { return position_; }

    // --- Output (present during the preprocess pass only) ---
    void StartOutput();
    // Hands the output over and stops writing.
    ScriptTokenStream* TakeOutput();
    void WriteToken(std::string_view token);
    void WriteNewline();
    // A marker for the current file name and line.
    void WriteLineMarker();

    // --- Macros ---
    // The body of a macro, its tokens joined as "token token ", or null.
    const OwnedText* FindMacro(std::string_view name) const;
    bool IsMacro(std::string_view name) const { return FindMacro(name) != nullptr; }
    // Enters or replaces a macro (the warning "macro redefinition" when replacing).
    void DefineMacro(std::string_view name, std::string_view joinedBody);
    // Pushes a stream of the macro's body; false with an error when the
    // nesting or macro-text limit is reached.
    bool ExpandMacro(std::string_view name, const OwnedText& body);
    void ClearMacros();

    // --- Conditional blocks ---
    // Text is active when no block is open or the innermost block's branch is
    // taken inside active text.
    bool IsActive() const;
    void OpenConditional(bool value);
    void Else();
    void Endif();

private:
    struct Input : MemObject {
        explicit Input(ScriptInputStream* s) : stream(s), buffer(*s) {}
        ~Input() { delete stream; }
        ScriptInputStream* stream;
        ScanBuffer buffer;
        // For file inputs: what was current before the file began.
        OwnedText savedFile;
        int32_t savedLine = 0;
        int32_t savedConditionalDepth = 0;
    };

    void WriteMarker(int32_t line, const char* file);

    List<Input*> inputs_;
    ScanBuffer* current_ = nullptr; // the last input's buffer, read for every token
    ScriptSourcePosition position_;
    ScriptTokenStream* output_ = nullptr;
    static uint64_t LengthBit(size_t length);
    static uint64_t FirstCharacterBit(std::string_view name);

    ScriptNameTable<OwnedText> macros_;
    uint64_t macroLengths_ = 0;         // a bit for each length of a macro's name
    uint64_t macroFirstCharacters_ = 0; // a bit for each first character
    int64_t macroTextRead_ = 0;
    // Innermost last; flag bits: 1 the condition's value, 2 this branch is
    // taken, 4 '#else' seen, 8 the surrounding text is active.
    List<uint8_t> conditionals_;
};

// The preprocess half of the grammar: reads the pass's tokens after PpStart
// and writes the preprocessed text. Returns false when the pass was abandoned
// (a syntax error or an input limit).
bool RunPreprocessPass(ScriptScanner& scanner, ScriptPreprocessor& preprocessor);
