#pragma once
// The program's log, "LOGFILE.TXT" in the current directory. Each entry is one
// line appended to the file, which is opened and closed for every entry so the
// log survives a crash. The first entry of a run (or LogReset) deletes the
// previous run's file; the path is fixed from then on, even if the current
// directory changes. Nothing is reported: an entry that cannot be written is
// dropped.

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/threads.h"

// Longest entry of LogPrintf, terminator included; longer entries are cut.
constexpr size_t kLogEntrySize = 1024;

// One log file: the state behind the functions below.
class LogFile {
public:
    explicit LogFile(std::string_view name) : name_(name) {}
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Fixes the path in the current directory and deletes the file there.
    void Reset();
    // Appends text and a line end, starting the log first if needed.
    void WriteLine(std::string_view text);
    // Formats into kLogEntrySize bytes, then as WriteLine.
    void WriteFormatted(const char* format, va_list args) __attribute__((format(printf, 2, 0)));

private:
    void ResetLocked();

    std::string name_;
    std::string path_;
    bool started_ = false;
    plat::CriticalSection guard_;
};

// Formats an entry printf-style and appends it as a line.
void LogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Appends the text as a line, unformatted ('%' is written as it is).
void LogLine(std::string_view text);
// Starts a fresh log without writing.
void LogReset();
