#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace plat {
namespace {

// Empty until the thread first needs it; then the process's directory, which
// never changes because the program never calls chdir.
thread_local std::string t_currentDir;

std::string& CurrentDirOfThread() {
    if (t_currentDir.empty()) {
        char* dir = getcwd(nullptr, 0);
        t_currentDir = dir ? dir : "/";
        std::free(dir);
    }
    return t_currentDir;
}

using detail::FoldCase;

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = FoldCase(c);
    return out;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

// "" stands for the root while a path is being built.
std::string Join(std::string_view folder, std::string_view name) {
    std::string out(folder == "/" ? "" : folder);
    out += '/';
    out += name;
    return out;
}

// Case matches found on disk, keyed by the folder's host path joined with the
// lower-cased component; each entry lists every name of that folder that
// matches (usually one), so an exact match can be preferred without a lookup.
// Keys of everything below a folder share the prefix "folder/".
struct MatchCache {
    std::mutex mutex;
    std::map<std::string, std::vector<std::string>, std::less<>> entries;
};

MatchCache& Cache() {
    static MatchCache cache;
    return cache;
}

const std::string& Pick(const std::vector<std::string>& names, std::string_view component) {
    for (const std::string& name : names)
        if (name == component) return name;
    return names.front();
}

std::vector<std::string> ScanFolder(const std::string& folder, std::string_view component) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* entry = readdir(dir))
        if (SameIgnoringCase(entry->d_name, component)) names.emplace_back(entry->d_name);
    closedir(dir);
    return names;
}

// The on-disk name of component inside folder, or nothing when none matches.
std::optional<std::string> MatchComponent(const std::string& folder, std::string_view component) {
    const std::string key = Join(folder, Lower(component));
    MatchCache& cache = Cache();
    {
        std::lock_guard lock(cache.mutex);
        auto it = cache.entries.find(key);
        if (it != cache.entries.end()) return Pick(it->second, component);
    }
    std::vector<std::string> names = ScanFolder(folder, component);
    if (names.empty()) return std::nullopt;
    std::string match = Pick(names, component);
    std::lock_guard lock(cache.mutex);
    cache.entries[key] = std::move(names);
    return match;
}

} // namespace

// A drive letter ("C:\Games\...") is dropped and the rest taken from the host's root.
std::string ResolvePath(std::string_view name) {
    std::string text(name);
    for (char& c : text)
        if (c == '\\') c = '/';
    bool absolute = !text.empty() && text[0] == '/';
    if (text.size() >= 2 && text[1] == ':' && FoldCase(text[0]) >= 'a' && FoldCase(text[0]) <= 'z') {
        text.erase(0, 2);
        absolute = true;
    }

    std::string out = absolute ? std::string() : CurrentDirOfThread();
    if (out == "/") out.clear();
    // Length of out where the first component missing on disk begins; no
    // matching is done past it.
    size_t missingFrom = std::string::npos;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('/', pos);
        if (end == std::string::npos) end = text.size();
        std::string_view component(text.data() + pos, end - pos);
        pos = end + 1;
        if (component.empty() || component == ".") continue;
        if (component == "..") {
            out.erase(out.empty() ? 0 : out.rfind('/'));
            if (missingFrom != std::string::npos && out.size() <= missingFrom) missingFrom = std::string::npos;
            continue;
        }
        std::optional<std::string> match;
        if (missingFrom == std::string::npos) {
            match = MatchComponent(out.empty() ? "/" : out, component);
            if (!match) missingFrom = out.size();
        }
        out = Join(out, match ? std::string_view(*match) : component);
    }
    return out.empty() ? "/" : out;
}

std::string GetCurrentDir() { return CurrentDirOfThread(); }

bool SetCurrentDir(std::string_view name) {
    std::string dir = ResolvePath(name);
    struct stat st;
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    CurrentDirOfThread() = std::move(dir);
    return true;
}

void ClearPathCache() {
    MatchCache& cache = Cache();
    std::lock_guard lock(cache.mutex);
    cache.entries.clear();
}

namespace detail {

void InheritCurrentDir(std::string dir) { CurrentDirOfThread() = std::move(dir); }

void ForgetResolvedPath(std::string_view hostPath) {
    while (hostPath.size() > 1 && hostPath.back() == '/') hostPath.remove_suffix(1);
    MatchCache& cache = Cache();
    std::lock_guard lock(cache.mutex);
    size_t slash = hostPath.rfind('/');
    if (hostPath.empty() || slash == std::string_view::npos || hostPath == "/") {
        cache.entries.clear();
        return;
    }
    std::string_view folder = slash == 0 ? std::string_view("/") : hostPath.substr(0, slash);
    cache.entries.erase(Join(folder, Lower(hostPath.substr(slash + 1))));
    const std::string below = std::string(hostPath) + '/';
    auto first = cache.entries.lower_bound(below);
    auto last = first;
    while (last != cache.entries.end() && last->first.starts_with(below)) ++last;
    cache.entries.erase(first, last);
}

} // namespace detail

} // namespace plat
