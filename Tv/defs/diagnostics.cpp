#include "Tv/defs/diagnostics.h"

#include <cstdarg>
#include <cstdio>

int32_t ScriptErrorCount = 0;
int32_t ScriptWarningCount = 0;

namespace {

constexpr size_t kMessageSize = 2048;

ScriptDiagnosticSink* activeSink = nullptr;
const ScriptSourcePosition* activePosition = nullptr;

constexpr int32_t kTokenLine = -1; // Report's line: the latest token's

void Report(bool isError, int32_t line, const char* format, va_list args) {
    ++(isError ? ScriptErrorCount : ScriptWarningCount);
    if (!activeSink) return; // nobody listens: counting is all there is to do
    char text[kMessageSize];
    int length = std::vsnprintf(text, sizeof text, format, args);
    size_t used = length < 0 ? 0 : (static_cast<size_t>(length) < sizeof text ? length : sizeof text - 1);
    ScriptDiagnostic diagnostic{isError, {}, 0, {text, used}};
    if (activePosition) {
        if (const char* file = activePosition->file.Get()) diagnostic.file = file;
        diagnostic.line = line == kTokenLine ? activePosition->tokenLine : line;
    }
    activeSink->Report(diagnostic);
}

} // namespace

void StderrErrorSink::Report(const ScriptDiagnostic& d) {
    if (!d.isError) return;
    std::fprintf(stderr, "%.*s:%d: error: %.*s\n", static_cast<int>(d.file.size()), d.file.data(), d.line,
                 static_cast<int>(d.text.size()), d.text.data());
}

ScriptDiagnosticSink* SetScriptDiagnosticSink(ScriptDiagnosticSink* sink) {
    ScriptDiagnosticSink* previous = activeSink;
    activeSink = sink;
    return previous;
}

const ScriptSourcePosition* SetScriptSourcePosition(const ScriptSourcePosition* position) {
    const ScriptSourcePosition* previous = activePosition;
    activePosition = position;
    return previous;
}

void CompilerError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Report(true, kTokenLine, format, args);
    va_end(args);
}

void CompilerWarning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Report(false, kTokenLine, format, args);
    va_end(args);
}

void CompilerWarningAtLine(int32_t line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Report(false, line, format, args);
    va_end(args);
}

int32_t ScriptTokenLine() { return activePosition ? activePosition->tokenLine : 0; }
