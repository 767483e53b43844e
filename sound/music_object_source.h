#pragma once
// What the music reads of the client's game objects each frame. The client
// core sits above sound, so it installs a source at start-up; until then no
// one is seen.

#include <cstdint>
#include <functional>

struct MusicObjectView {
    bool alive = false; // false for a dead object, and for a unit while dying
    bool drawn = false; // drawn in the last rendered frame
    bool unit = false;
    bool firing = false;
    int32_t team = 0; // 0 is neutral
};

class MusicObjectSource {
public:
    virtual ~MusicObjectSource() = default;
    // Calls visit for every client object.
    virtual void ForEachObject(const std::function<void(const MusicObjectView&)>& visit) = 0;
    // The local player's team, -1 for none.
    virtual int32_t LocalTeam() = 0;
};

// Returns the source it replaces (null for none). The caller keeps ownership.
MusicObjectSource* InstallMusicObjectSource(MusicObjectSource* source);
