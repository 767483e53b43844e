#include "core/log.h"

#include <cstdio>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/textfile.h"

namespace {
LogFile& ProgramLog() {
    static LogFile log("LOGFILE.TXT");
    return log;
}
} // namespace

void LogFile::ResetLocked() {
    path_ = plat::GetCurrentDir();
    if (path_.empty() || path_.back() != '/') path_ += '/';
    path_ += name_;
    plat::DeleteFile(path_);
    started_ = true;
}

void LogFile::Reset() {
    plat::CriticalSectionLock hold(guard_);
    ResetLocked();
}

void LogFile::WriteLine(std::string_view text) {
    plat::CriticalSectionLock hold(guard_);
    if (!started_) ResetLocked();
    plat::TextFile file = plat::TextFile::Open(path_, "a+");
    if (!file.IsOpen()) return;
    file.Write(text);
    file.Write("\n");
    file.Close();
}

void LogFile::WriteFormatted(const char* format, va_list args) {
    char entry[kLogEntrySize] = {};
    std::vsnprintf(entry, sizeof entry, format, args);
    WriteLine(entry);
}

void LogPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    ProgramLog().WriteFormatted(format, args);
    va_end(args);
}

void LogLine(std::string_view text) { ProgramLog().WriteLine(text); }

void LogReset() { ProgramLog().Reset(); }
