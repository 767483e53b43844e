// The preprocess half of the definition grammar: text outside directives is
// copied to the output (identifiers naming macros expand in place), and each
// directive line is read whole and acted on at its end.
#include <string>

#include "Tv/defs/preprocessor.h"

namespace {

struct LineToken {
    ScriptToken kind;
    OwnedText text;
};

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

class PreprocessPass {
public:
    PreprocessPass(ScriptScanner& scanner, ScriptPreprocessor& preprocessor)
        : scanner_(scanner), pp_(preprocessor) {}

    bool Run();

private:
    // The tokens of a directive up to its end; false when the input ends
    // first or a lone double quote comes.
    bool ReadDirectiveLine(List<LineToken>& line);
    // False when the pass must stop.
    bool Directive(ScriptToken kind, const List<LineToken>& line);
    bool Include(const List<LineToken>& line);
    void Define(const List<LineToken>& line);
    bool SyntaxError();

    ScriptScanner& scanner_;
    ScriptPreprocessor& pp_;
    ScriptTokenValue value_;
};

bool PreprocessPass::Run() {
    if (scanner_.Lex(value_) != ScriptToken::PpStart) return SyntaxError();
    for (;;) {
        ScriptToken token = scanner_.Lex(value_);
        switch (token) {
        case ScriptToken::End: return true;
        case ScriptToken::Identifier:
            if (!pp_.IsActive()) break;
            if (const OwnedText* body = pp_.FindMacro(value_.text)) {
                if (!pp_.ExpandMacro(value_.text, *body)) return false;
            } else {
                pp_.WriteToken(value_.text);
            }
            break;
        case ScriptToken::PpText:
            if (pp_.IsActive()) pp_.WriteToken(value_.text);
            break;
        case ScriptToken::String:
            if (pp_.IsActive()) pp_.WriteToken(Quoted(value_.text));
            break;
        case ScriptToken::PpIfdef:
        case ScriptToken::PpIfndef:
        case ScriptToken::PpElse:
        case ScriptToken::PpEndif:
        case ScriptToken::PpDefine:
        case ScriptToken::PpInclude:
        case ScriptToken::PpHash: {
            List<LineToken> line;
            if (!ReadDirectiveLine(line)) return SyntaxError();
            if (!Directive(token, line)) return false;
            break;
        }
        default: return SyntaxError();
        }
    }
}

bool PreprocessPass::ReadDirectiveLine(List<LineToken>& line) {
    for (;;) {
        ScriptToken token = scanner_.Lex(value_);
        switch (token) {
        case ScriptToken::PpEnd: return true;
        case ScriptToken::Identifier:
        case ScriptToken::PpText:
        case ScriptToken::String: line.PushBack({token, OwnedText(value_.text)}); break;
        default: return false;
        }
    }
}

bool PreprocessPass::Directive(ScriptToken kind, const List<LineToken>& line) {
    auto argumentIs = [&](ScriptToken k) { return !line.IsEmpty() && line.Front().kind == k; };
    auto extraTokens = [&](int32_t allowed) {
        if (line.Count() > allowed) CompilerWarning("unexpected symbols in preprocessor directive");
    };
    switch (kind) {
    case ScriptToken::PpIfdef:
    case ScriptToken::PpIfndef: {
        bool value = false;
        if (argumentIs(ScriptToken::Identifier))
            value = pp_.IsMacro(line.Front().text.Get());
        else
            CompilerWarning("invalid '#ifdef' or '#ifndef' directive");
        extraTokens(1);
        pp_.OpenConditional(kind == ScriptToken::PpIfndef ? !value : value);
        return true;
    }
    case ScriptToken::PpElse:
        extraTokens(0);
        pp_.Else();
        return true;
    case ScriptToken::PpEndif:
        extraTokens(0);
        pp_.Endif();
        return true;
    case ScriptToken::PpDefine:
        if (!argumentIs(ScriptToken::Identifier))
            CompilerWarning("invalid #define directive");
        else if (pp_.IsActive())
            Define(line);
        return true;
    case ScriptToken::PpInclude: return !pp_.IsActive() || Include(line);
    default: CompilerWarning("unrecognized preprocessor directive"); return true;
    }
}

void PreprocessPass::Define(const List<LineToken>& line) {
    // The body keeps its tokens as written (strings with their quotes), each
    // followed by a blank as a token stream reads them back.
    std::string body;
    bool first = true;
    for (const LineToken& token : line) {
        if (first) {
            first = false;
            continue;
        }
        body += token.kind == ScriptToken::String ? Quoted(token.text.Get()) : std::string(token.text.Get());
        body += ' ';
    }
    pp_.DefineMacro(line.Front().text.Get(), body);
}

bool PreprocessPass::Include(const List<LineToken>& line) {
    if (line.Count() > 1) CompilerWarning("unexpected symbols in preprocessor directive");
    if (line.IsEmpty() || line.Front().kind != ScriptToken::String) {
        CompilerWarning("invalid #include directive");
        return true;
    }
    const char* path = line.Front().text.Get();
    auto* file = new ScriptFileStream(path);
    if (!file->IsOpen()) CompilerError("unable to open file '%s'", path);
    if (!pp_.PushInput(file)) {
        CompilerError("#include nested too deeply");
        return false;
    }
    return true;
}

bool PreprocessPass::SyntaxError() {
    CompilerError("syntax error");
    return false;
}

} // namespace

bool RunPreprocessPass(ScriptScanner& scanner, ScriptPreprocessor& preprocessor) {
    return PreprocessPass(scanner, preprocessor).Run();
}
