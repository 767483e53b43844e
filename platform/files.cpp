#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>

#include "platform/paths.h"

namespace plat {
namespace {

// Seconds from 1601-01-01 to 1970-01-01; a FILETIME counts 100-ns units from 1601.
constexpr int64_t kUnixEpochSeconds = 11644473600;
constexpr int64_t kFileTimeUnitsPerSecond = 10'000'000;
constexpr int64_t kNanosecondsPerSecond = 1'000'000'000;
constexpr int64_t kNanosecondsPerFileTimeUnit = 100;

// nanoseconds in [0, 10^9); times before 1601 give 0, times past the year 30828 the largest FILETIME.
uint64_t FileTimeFromUnixTime(int64_t seconds, int64_t nanoseconds) {
    if (seconds < -kUnixEpochSeconds) return 0;
    uint64_t units;
    if (__builtin_mul_overflow(static_cast<uint64_t>(seconds + kUnixEpochSeconds), kFileTimeUnitsPerSecond, &units) ||
        __builtin_add_overflow(units, static_cast<uint64_t>(nanoseconds / kNanosecondsPerFileTimeUnit), &units))
        return UINT64_MAX;
    return units;
}

timespec UnixTimeFromFileTime(uint64_t filetime) {
    timespec t;
    t.tv_sec = static_cast<int64_t>(filetime / kFileTimeUnitsPerSecond) - kUnixEpochSeconds;
    t.tv_nsec = static_cast<long>(filetime % kFileTimeUnitsPerSecond) * kNanosecondsPerFileTimeUnit;
    return t;
}

uint64_t FileTimeOf(const struct stat& st) { return FileTimeFromUnixTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec); }

bool IsReadOnly(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

uint32_t AttributesOf(const struct stat& st) {
    uint32_t attributes = 0;
    if (S_ISDIR(st.st_mode)) attributes |= kAttrDirectory;
    if (IsReadOnly(st)) attributes |= kAttrReadOnly;
    return attributes ? attributes : kAttrNormal;
}

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// Like Windows, a read-only file can be neither deleted nor replaced.
bool IsReadOnlyFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && IsReadOnly(st);
}

int OpenFlags(uint32_t access, FileDisposition disposition) {
    int flags = O_CLOEXEC;
    switch (access & kAccessReadWrite) {
    case kAccessRead: flags |= O_RDONLY; break;
    case kAccessWrite: flags |= O_WRONLY; break;
    case kAccessReadWrite: flags |= O_RDWR; break;
    default: return -1;
    }
    switch (disposition) {
    case FileDisposition::CreateNew: return flags | O_CREAT | O_EXCL;
    case FileDisposition::CreateAlways: return flags | O_CREAT | O_TRUNC;
    case FileDisposition::OpenExisting: return flags;
    case FileDisposition::OpenAlways: return flags | O_CREAT;
    case FileDisposition::TruncateExisting: return (access & kAccessWrite) ? flags | O_TRUNC : -1;
    }
    return -1;
}

} // namespace

File::~File() { Close(); }

File::File(File&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

File File::Open(std::string_view name, uint32_t access, FileDisposition disposition) {
    const int flags = OpenFlags(access, disposition);
    if (flags < 0) return File();
    const std::string path = ResolvePath(name);
    const bool creates = (flags & O_CREAT) != 0 && !Exists(path);
    const int fd = open(path.c_str(), flags, 0666);
    if (fd < 0) return File();
    File file(fd);
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) return File();
    if (creates) detail::ForgetResolvedPath(path);
    return file;
}

void File::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

bool File::Read(void* buffer, uint32_t n, uint32_t* got) {
    uint32_t total = 0;
    bool ok = fd_ >= 0;
    while (ok && total < n) {
        const ssize_t r = read(fd_, static_cast<char*>(buffer) + total, n - total);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            ok = r == 0;
            break;
        }
        total += static_cast<uint32_t>(r);
    }
    if (got) *got = total;
    return ok;
}

bool File::ReadExact(void* buffer, uint32_t n) {
    uint32_t got = 0;
    return Read(buffer, n, &got) && got == n;
}

bool File::Write(const void* buffer, uint32_t n) {
    if (fd_ < 0) return false;
    uint32_t total = 0;
    while (total < n) {
        const ssize_t w = write(fd_, static_cast<const char*>(buffer) + total, n - total);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        total += static_cast<uint32_t>(w);
    }
    return true;
}

int64_t File::Seek(int64_t offset, SeekOrigin origin) {
    if (fd_ < 0) return -1;
    const int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
    return lseek(fd_, offset, whence);
}

int64_t File::Tell() { return Seek(0, SeekOrigin::Current); }

int64_t File::Size() {
    struct stat st;
    if (fd_ < 0 || fstat(fd_, &st) != 0) return -1;
    return st.st_size;
}

bool File::Truncate() {
    const int64_t position = Tell();
    return position >= 0 && ftruncate(fd_, position) == 0;
}

uint64_t File::LastWriteTime() {
    struct stat st;
    if (fd_ < 0 || fstat(fd_, &st) != 0) return 0;
    return FileTimeOf(st);
}

bool File::SetLastWriteTime(uint64_t filetime) {
    if (fd_ < 0) return false;
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = UnixTimeFromFileTime(filetime);
    return futimens(fd_, times) == 0;
}

bool DeleteFile(std::string_view name) {
    const std::string path = ResolvePath(name);
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode) || IsReadOnly(st)) return false;
    if (unlink(path.c_str()) != 0) return false;
    detail::ForgetResolvedPath(path);
    return true;
}

bool RenameFile(std::string_view from, std::string_view to) {
    const std::string source = ResolvePath(from);
    const std::string target = ResolvePath(to);
    if (IsReadOnlyFile(target)) return false;
    if (rename(source.c_str(), target.c_str()) != 0) return false;
    detail::ForgetResolvedPath(source);
    detail::ForgetResolvedPath(target);
    return true;
}

bool CreateDir(std::string_view name) {
    const std::string path = ResolvePath(name);
    if (mkdir(path.c_str(), 0777) != 0) return false;
    detail::ForgetResolvedPath(path);
    return true;
}

bool RemoveDir(std::string_view name) {
    const std::string path = ResolvePath(name);
    if (rmdir(path.c_str()) != 0) return false;
    detail::ForgetResolvedPath(path);
    return true;
}

uint32_t GetFileAttributes(std::string_view name) {
    struct stat st;
    if (stat(ResolvePath(name).c_str(), &st) != 0) return kInvalidAttributes;
    return AttributesOf(st);
}

bool SetFileAttributes(std::string_view name, uint32_t attributes) {
    const std::string path = ResolvePath(name);
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    const mode_t mode = (attributes & kAttrReadOnly) ? (st.st_mode & ~S_IWUSR) : (st.st_mode | S_IWUSR);
    return chmod(path.c_str(), mode & 07777) == 0;
}

uint64_t GetFileTime(std::string_view name) {
    struct stat st;
    if (stat(ResolvePath(name).c_str(), &st) != 0) return 0;
    return FileTimeOf(st);
}

bool ReadWholeFile(std::string_view name, std::string& out) {
    File file = File::Open(name, kAccessRead, FileDisposition::OpenExisting);
    if (!file.IsOpen()) return false;
    out.clear();
    char chunk[65536];
    uint32_t got = 0;
    do {
        if (!file.Read(chunk, sizeof chunk, &got)) return false;
        out.append(chunk, got);
    } while (got == sizeof chunk);
    return true;
}

uint64_t FileTimeFromUnixNanoseconds(int64_t ns) {
    int64_t seconds = ns / kNanosecondsPerSecond;
    int64_t rest = ns % kNanosecondsPerSecond;
    if (rest < 0) {
        --seconds;
        rest += kNanosecondsPerSecond;
    }
    return FileTimeFromUnixTime(seconds, rest);
}

int64_t UnixNanosecondsFromFileTime(uint64_t filetime) {
    const timespec t = UnixTimeFromFileTime(filetime);
    int64_t ns;
    // Times outside the years 1678 to 2262 do not fit and are clamped.
    if (__builtin_mul_overflow(static_cast<int64_t>(t.tv_sec), kNanosecondsPerSecond, &ns) ||
        __builtin_add_overflow(ns, static_cast<int64_t>(t.tv_nsec), &ns))
        return t.tv_sec < 0 ? INT64_MIN : INT64_MAX;
    return ns;
}

FileFinder::~FileFinder() { Close(); }

bool FileFinder::First(std::string_view pattern, FindData& data) {
    Close();
    const size_t slash = pattern.find_last_of("/\\");
    const std::string_view folder = slash == std::string_view::npos ? std::string_view() : pattern.substr(0, slash + 1);
    folder_ = ResolvePath(folder);
    pattern_ = pattern.substr(folder.size());
    dir_ = opendir(folder_.c_str());
    if (Next(data)) return true;
    Close();
    return false;
}

bool FileFinder::Next(FindData& data) {
    if (!dir_) return false;
    DIR* dir = static_cast<DIR*>(dir_);
    while (dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == ".." || !WildcardMatch(pattern_, name)) continue;
        struct stat st;
        if (fstatat(dirfd(dir), entry->d_name, &st, 0) != 0) continue; // vanished, or a dangling link
        data.name = name;
        data.attributes = AttributesOf(st);
        data.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
        data.lastWriteTime = FileTimeOf(st);
        return true;
    }
    return false;
}

void FileFinder::Close() {
    if (dir_) closedir(static_cast<DIR*>(dir_));
    dir_ = nullptr;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    size_t p = 0, n = 0;
    // Where the last '*' was seen and how much of name it has taken so far.
    size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || detail::FoldCase(pattern[p]) == detail::FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

} // namespace plat
