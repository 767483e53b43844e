#include "Tv/defs/preprocessor.h"

#include <algorithm>
#include <cstring>
#include <string>

ScriptPreprocessor::~ScriptPreprocessor() {
    DiscardInputs();
    delete output_;
}

bool ScriptPreprocessor::PushInput(ScriptInputStream* stream) {
    if (inputs_.Count() >= kMaxInputDepth) {
        delete stream;
        return false;
    }
    Input* input = new Input(stream);
    if (const char* name = stream->FileName()) {
        input->savedFile = position_.file;
        input->savedLine = position_.line;
        input->savedConditionalDepth = conditionals_.Count();
        position_.line = 1;
        position_.file = OwnedText(name);
        WriteMarker(1, name);
    }
    inputs_.PushBack(input);
    current_ = &input->buffer;
    return true;
}

bool ScriptPreprocessor::InputEnded(ScriptScanner& scanner) {
    Input* input = inputs_.Back();
    if (input->stream->FileName()) {
        while (conditionals_.Count() > input->savedConditionalDepth) {
            CompilerWarning("missing '#endif'");
            conditionals_.PopBack();
        }
        scanner.CloseOpenComment();
        position_.line = input->savedLine;
        position_.file = std::move(input->savedFile);
        WriteMarker(position_.line, position_.file.Get());
    }
    inputs_.PopBack();
    delete input;
    current_ = inputs_.IsEmpty() ? nullptr : &inputs_.Back()->buffer;
    return inputs_.IsEmpty();
}

void ScriptPreprocessor::DiscardInputs() {
    while (!inputs_.IsEmpty()) {
        delete inputs_.Back();
        inputs_.PopBack();
    }
    current_ = nullptr;
}

void ScriptPreprocessor::StartOutput() {
    delete output_;
    output_ = new ScriptTokenStream;
}

ScriptTokenStream* ScriptPreprocessor::TakeOutput() {
    ScriptTokenStream* output = output_;
    output_ = nullptr;
    return output;
}

void ScriptPreprocessor::WriteToken(std::string_view token) {
    if (output_) output_->AppendToken(token);
}

void ScriptPreprocessor::WriteNewline() {
    if (output_) output_->AppendNewline();
}

void ScriptPreprocessor::WriteLineMarker() { WriteMarker(position_.line, position_.file.Get()); }

void ScriptPreprocessor::WriteMarker(int32_t line, const char* file) {
    if (!output_) return;
    std::string marker = "\n# line " + std::to_string(line) + " \"" + (file ? file : "") + "\"\n";
    output_->AppendToken(marker);
}

// Most identifiers name no macro: a name whose length or first character no
// macro has is not looked up. Lengths of 63 and more share one bit, and so do
// characters 64 apart.
uint64_t ScriptPreprocessor::LengthBit(size_t length) { return uint64_t{1} << std::min<size_t>(length, 63); }
uint64_t ScriptPreprocessor::FirstCharacterBit(std::string_view name) {
    return name.empty() ? 1 : uint64_t{1} << (static_cast<unsigned char>(name[0]) & 63);
}

const OwnedText* ScriptPreprocessor::FindMacro(std::string_view name) const {
    const bool possible = (macroLengths_ & LengthBit(name.size())) && (macroFirstCharacters_ & FirstCharacterBit(name));
    return possible ? macros_.Find(name) : nullptr;
}

void ScriptPreprocessor::DefineMacro(std::string_view name, std::string_view joinedBody) {
    if (macros_.Remove(name, [](OwnedText&) {})) CompilerWarning("macro redefinition");
    macros_.Insert(name, OwnedText(joinedBody));
    macroLengths_ |= LengthBit(name.size());
    macroFirstCharacters_ |= FirstCharacterBit(name);
}

bool ScriptPreprocessor::ExpandMacro(std::string_view name, const OwnedText& body) {
    size_t length = std::strlen(body.Get()) + 1; // with the stream's leading blank
    if (macroTextRead_ + static_cast<int64_t>(length) > kMaxMacroText) {
        CompilerError("macro expansion too large");
        return false;
    }
    macroTextRead_ += static_cast<int64_t>(length);
    if (!PushInput(new ScriptTokenStream(body.Get()))) {
        CompilerError("macro '%.*s' nested too deeply", static_cast<int>(name.size()), name.data());
        return false;
    }
    return true;
}

void ScriptPreprocessor::ClearMacros() {
    macros_.Clear([](OwnedText&) {});
    macroLengths_ = 0;
    macroFirstCharacters_ = 0;
}

bool ScriptPreprocessor::IsActive() const {
    if (conditionals_.IsEmpty()) return true;
    uint8_t flags = conditionals_.Back();
    return (flags & 8) && (flags & 2);
}

void ScriptPreprocessor::OpenConditional(bool value) {
    uint8_t flags = value ? 3 : 0;
    if (IsActive()) flags |= 8;
    conditionals_.PushBack(flags);
}

void ScriptPreprocessor::Else() {
    if (conditionals_.IsEmpty()) {
        CompilerWarning("'#else' not within conditional block");
        return;
    }
    uint8_t& flags = conditionals_.Back();
    if (flags & 4) CompilerWarning("'#else' already found");
    // The branch flips and becomes the value, so a second '#else' flips it back.
    bool taken = !(flags & 1);
    flags = static_cast<uint8_t>((flags & ~3) | 4 | (taken ? 3 : 0));
}

void ScriptPreprocessor::Endif() {
    if (conditionals_.IsEmpty()) {
        CompilerWarning("unexpected '#endif'");
        return;
    }
    conditionals_.PopBack();
}
