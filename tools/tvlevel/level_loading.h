#pragma once
// The level tvlevel asks about: a level script loaded as a level load does,
// or the level object of a bare model file, and what the load placed.

#include <string>
#include <vector>

#include "core/matrix.h"

struct Placement {
    int32_t id;
    int32_t team;
    std::string definition;
    Vector3 position;
    std::string variable; // "" when the placement names none
};

struct LoadedLevel {
    std::vector<Placement> placements; // in creation order
};

// Loads LevelWorldInstance: a level script `name` from the scripts directory
// of the tree at `directory` (its tvdirs.tvs applied), with teams 0 to 9
// active and the objects it places recorded as an attached client would
// make them; or, for a name ending in ".qif",
// the object `object` ("" for the first with a shape) of that model file,
// without caches. Errors go to standard error; false when no level world was built.
bool LoadLevel(const std::string& directory, const std::string& name, const std::string& object, LoadedLevel& out);

// The level's teardown.
void UnloadLevel();
