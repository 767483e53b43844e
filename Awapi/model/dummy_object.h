#pragma once
// Invisible markers of a model file (DUMMYOBJ): named positions with an
// orientation, two further vectors and a text, which scripts use as named
// places; and the hand-over of a file's named cutscene to the front end's
// cutscene builder.

#include <optional>
#include <string>
#include <vector>

#include "core/matrix.h"

class AwModelFile;
class Cutscene;
class DummyObjectChunk;

struct AwDummyObject {
    std::optional<std::string> Name;
    Vector3 Position{0, 0, 0};    // file units as read; world units once loaded from a file
    Quaternion Orientation{0, 0, 0, 1};
    Vector3 FirstVector{0, 0, 0}; // file units, never scaled
    Vector3 SecondVector{0, 0, 0};
    std::optional<std::string> Text;

    // Null for a dummy without DUMOBJDT.
    static std::optional<AwDummyObject> ConstructFromChunk(const DummyObjectChunk& chunk);
};

// Appends the file's dummies in file order, placed at position x world
// scale - origin; dummies without data are skipped.
void AwLoadDummies(std::vector<AwDummyObject>& out, const AwModelFile& file, Vector3 origin);

// Builds the cutscene named so (ignoring case) from the file's special
// objects, placing its positions at integer x world scale + origin; false
// when the file has no such cutscene or no cutscene builder is installed.
bool AwBuildCutscene(Cutscene* cutscene, const AwModelFile& file, const char* name, Vector3 origin);
