#pragma once
// Path resolution for Windows-authored data names.
//
// Data names use backslashes and any letter case ("Qifs\Level1.QIF"). The
// resolver maps '\' to '/', matches each existing component without regard to
// case (results are cached), and resolves relative names against the calling
// thread's current directory. The program never calls chdir: each thread has
// its own current directory, which a new thread inherits from its creator, so
// the server thread's file opens never race the main thread's.

#include <string>
#include <string_view>

namespace plat {

// Host path for a data name. Components that exist on disk are matched without
// regard to case; the first component that does not exist and everything
// after it are kept as written (so new files can be created). Never fails.
std::string ResolvePath(std::string_view name);

// The calling thread's current directory, an absolute host path without a
// trailing slash (except for "/").
std::string GetCurrentDir();

// Sets the calling thread's current directory; false when the name does not
// resolve to an existing directory (the current directory is then unchanged).
bool SetCurrentDir(std::string_view name);

// Forgets cached case matches (after files were created or removed behind the
// resolver's back, e.g. by another process).
void ClearPathCache();

// For the layer's own file and thread code.
namespace detail {
// Data names match as on Windows: ASCII letters without regard to case.
inline char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
// Sets the calling thread's current directory to a host path as it stands (a
// new thread takes its creator's directory, even one removed since).
void InheritCurrentDir(std::string dir);
// Forgets the cached matches of a host path and of everything below it, after
// the layer created, removed or renamed it.
void ForgetResolvedPath(std::string_view hostPath);
} // namespace detail

} // namespace plat
