#pragma once
// The SDL2 sound backend: SDL's audio callback takes the mixer's frames in
// the primary buffer's format (SDL converts them for the device if it must).
// The callback only mixes: it allocates nothing, and nothing slow holds the
// mixer's lock.

namespace plat {

// After this, TAVRIN_AUDIO=sdl (or unset) selects SDL's audio; when no
// device opens, the reason goes to standard error and the silent backend
// stands in.
void RegisterSdlAudioBackend();

} // namespace plat
