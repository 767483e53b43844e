#pragma once
// The resource cache: models and shapes named as (chunk file, name inside the
// file), loaded from the qifs data directory once and kept for the whole run.
//
// The file cache keeps the most recently requested chunk file open, so a run
// of requests naming one file parses it once; a request for another file
// closes it. A reusing request prefers a ".opt" twin of the file that is
// newer than the file, or that stands alone. Names compare without regard to
// case. The cache holds one hold on each model and shape; each caller owns
// the use it gets (released with ReleaseUse). Main thread only.

#include <string>

#include "core/list.h"

class AwModel;
class AwModelFile;
class AwShape;

namespace ResourceCache {

// The open chunk file of that name, or null when it cannot be opened. With
// `reuse` a cached file is returned as it is and the twin may be used;
// without, the file is opened afresh and never from its twin.
AwModelFile* GetFile(const char* fileName, bool reuse);
// The named hierarchy of the file with one use for the caller, or null.
AwModel* GetModel(const char* fileName, const char* hierarchyName);
// The named object's shape with one use for the caller, or null. The shape
// carries the object's orientation from the file.
AwShape* GetShape(const char* fileName, const char* objectName);
// Empties `names` and lists the hierarchy names of the file (nothing when it
// cannot be opened). The names live while the file stays cached.
void ListHierarchies(const char* fileName, List<const std::string*>& names);

// Closes the cached file.
void ReleaseFiles();
// Drops the cache's hold on every model and shape and forgets them (program exit).
void ReleaseModelsAndShapes();

// The (file, name) a cached model or shape was loaded as; false when it is not cached.
bool FindSource(const AwModel* model, const char** fileName, const char** name);
bool FindSource(const AwShape* shape, const char** fileName, const char** name);

} // namespace ResourceCache
