#pragma once
// Floating-point mode of the program's threads.
//
// The main thread, the server thread and the test threads compute with rounding
// toward minus infinity; float-to-integer conversions made through the core's
// helpers rely on it. Calls into outside libraries (SDL, OpenGL, FFmpeg, ENet)
// run with round-to-nearest and the game mode is set again after them.

namespace plat {

// Sets the calling thread to the game mode (rounding toward minus infinity).
void SetGameFpuMode();

// True when the calling thread is in the game mode.
bool IsGameFpuMode();

// Round-to-nearest for the lifetime of the scope (around an outside library
// call); the game mode is set again when the scope ends.
class NearestRoundingScope {
public:
    NearestRoundingScope();
    ~NearestRoundingScope();
    NearestRoundingScope(const NearestRoundingScope&) = delete;
    NearestRoundingScope& operator=(const NearestRoundingScope&) = delete;
};

} // namespace plat
