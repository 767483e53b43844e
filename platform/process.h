#pragma once
// Ending the program with the exit codes the game uses (negative codes end up
// as their low 8 bits in the process status, as on any POSIX system).

namespace plat {

constexpr int kExitOutOfMemory = -10;

// Ends the process at once (no exit-time destructors).
[[noreturn]] void ExitProcess(int code);

} // namespace plat
