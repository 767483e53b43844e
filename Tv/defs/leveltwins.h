#pragma once
// The two lighter twins of a level model file, written beside it in the qifs
// directory whenever the level cache is rebuilt: ".opt", the model without
// the level object, and ".loc", which further gives every object one small
// shape, so that a load from the cache reads the level's objects, dummies and
// sounds without their geometry. Main thread only.

class AwModelFile;

// Writes both twins of the model file `modelName` from a copy of its own (the
// resource cache's copy stays as it is): ".opt" without the object
// `levelObject` and its shape; ".loc" from that, keeping the shape of the
// first object named `keptObject` that has one (none or not found: the
// shape of fewest polygons, the first such in the file), to which the other
// shapes' objects move up to the first object named "sky", whose shape
// stays; shapes left unused go. False when the model cannot be read or a twin
// cannot be saved (a twin of no safe name is not written).
bool WriteLevelTwins(const char* modelName, const char* levelObject, const char* keptObject);

// The level model through the resource cache: its ".loc" twin when one opens
// in the qifs directory (a file of its own), else the model itself (reused,
// so a newer ".opt" twin may serve). Null when neither opens.
AwModelFile* TvOpenLevelModelFile(const char* modelName);
