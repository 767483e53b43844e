#pragma once
// Files, in the shape the program's file code expects: handles with exact
// reads and writes, seek, size, truncate, attributes, delete, rename over a
// target, find-first/next with wildcards, and last-write times as FILETIMEs
// (100-ns units since 1601-01-01 UTC). Every name goes through ResolvePath.

#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

enum FileAccess : uint32_t { kAccessRead = 1, kAccessWrite = 2, kAccessReadWrite = 3 };

// Creation dispositions, with the Win32 values.
enum class FileDisposition : uint32_t {
    CreateNew = 1,        // fails if the file exists
    CreateAlways = 2,     // creates or truncates
    OpenExisting = 3,     // fails if missing
    OpenAlways = 4,       // opens or creates
    TruncateExisting = 5, // fails if missing, truncates
};

enum class SeekOrigin { Begin = 0, Current = 1, End = 2 };

// File attribute bits (Win32 values).
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrNormal = 0x80;
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFF;

class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens or creates a file; check IsOpen() on the result.
    static File Open(std::string_view name, uint32_t access, FileDisposition disposition);

    bool IsOpen() const { return fd_ >= 0; }
    void Close();

    // Reads up to n bytes; *got receives the count (0 at the end of the file).
    bool Read(void* buffer, uint32_t n, uint32_t* got);
    // True only when exactly n bytes were read.
    bool ReadExact(void* buffer, uint32_t n);
    // True only when all n bytes were written.
    bool Write(const void* buffer, uint32_t n);

    // New position from the start, or -1 on failure (a negative result position fails).
    int64_t Seek(int64_t offset, SeekOrigin origin);
    int64_t Tell();
    // Size in bytes, or -1 on failure.
    int64_t Size();
    // Cuts (or extends) the file at the current position.
    bool Truncate();
    // Last-write time as a FILETIME; 0 on failure.
    uint64_t LastWriteTime();
    bool SetLastWriteTime(uint64_t filetime);

private:
    explicit File(int fd) : fd_(fd) {}
    int fd_ = -1;
};

bool DeleteFile(std::string_view name);
// Renames, replacing an existing target atomically.
bool RenameFile(std::string_view from, std::string_view to);
bool CreateDir(std::string_view name);
bool RemoveDir(std::string_view name);
// Attribute bits, or kInvalidAttributes when the name does not exist.
uint32_t GetFileAttributes(std::string_view name);
// Only kAttrReadOnly can be changed (it clears or sets the owner's write bit).
bool SetFileAttributes(std::string_view name, uint32_t attributes);
// Last-write time of a named file as a FILETIME; 0 when it does not exist.
uint64_t GetFileTime(std::string_view name);
// Reads a whole file into a string of bytes; false when it cannot be read.
bool ReadWholeFile(std::string_view name, std::string& out);

// FILETIME <-> Unix time in nanoseconds.
uint64_t FileTimeFromUnixNanoseconds(int64_t ns);
int64_t UnixNanosecondsFromFileTime(uint64_t filetime);

struct FindData {
    std::string name; // the entry's name as stored on disk, without its folder
    uint32_t attributes = 0;
    uint64_t size = 0;
    uint64_t lastWriteTime = 0; // FILETIME
};

// Find-first/next over one folder, with '*' and '?' matched without regard to case
// in the last component of the pattern ("Saves\*.sav"). "." and ".." are never listed.
class FileFinder {
public:
    FileFinder() = default;
    ~FileFinder();
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;

    // Starts a search; false (and nothing in data) when nothing matches.
    bool First(std::string_view pattern, FindData& data);
    // The next match; false at the end.
    bool Next(FindData& data);
    void Close();

private:
    void* dir_ = nullptr;
    std::string folder_;
    std::string pattern_;
};

// True when name matches a pattern of '*' and '?' without regard to case.
bool WildcardMatch(std::string_view pattern, std::string_view name);

} // namespace plat
