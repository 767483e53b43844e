#pragma once
// Errors and warnings of the definition compiler.
//
// Every diagnostic is counted in ScriptErrorCount or ScriptWarningCount. The
// program itself shows none of them; a sink installed with
// SetScriptDiagnosticSink (the tvsc tool, tests) receives each one with the
// file name and line the scanner is at. Texts are cut at 2,047 characters.

#include <cstdint>
#include <string_view>

#include "Tv/defs/ownedtext.h"

extern int32_t ScriptErrorCount;
extern int32_t ScriptWarningCount;

struct ScriptDiagnostic {
    bool isError;
    std::string_view file; // "" when no file is being read
    int32_t line;
    std::string_view text;
};

class ScriptDiagnosticSink {
public:
    virtual void Report(const ScriptDiagnostic& diagnostic) = 0;

protected:
    ~ScriptDiagnosticSink() = default;
};

// The tools' sink: each error as `FILE:LINE: error: TEXT` on stderr; warnings are dropped.
class StderrErrorSink final : public ScriptDiagnosticSink {
public:
    void Report(const ScriptDiagnostic& diagnostic) override;
};

// Installs the sink (null: none); returns the previous one.
ScriptDiagnosticSink* SetScriptDiagnosticSink(ScriptDiagnosticSink* sink);

// Where the scanner is; a compilation installs its own for its duration.
struct ScriptSourcePosition {
    OwnedText file;        // none before the first file
    int32_t line = 0;      // the line being read
    int32_t tokenLine = 0; // where the latest token began: the line diagnostics name
};
// Installs the position diagnostics are attributed to (null: none); returns the previous one.
const ScriptSourcePosition* SetScriptSourcePosition(const ScriptSourcePosition* position);

void CompilerError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void CompilerWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A warning about an earlier token of the current file, on the given line.
void CompilerWarningAtLine(int32_t line, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The line of the latest token (0 without a position).
int32_t ScriptTokenLine();
