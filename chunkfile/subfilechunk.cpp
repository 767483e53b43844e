#include "chunkfile/subfilechunk.h"

#include "chunkfile/chunkreading.h"
#include "chunkfile/filelinks.h"

SubFileChunk::SubFileChunk(ParentChunk* parent, std::string_view path) : ParentChunk(parent, "SUBQIFFL") {
    if (ReadChunkFile(*this, path, nullptr)) PostInputProcessing();
}

void SubFileChunk::PostInputProcessing() {
    LinkObjectsToShapes(*this, DuplicateShapeNumbers::FirstWins);
    ParentChunk::PostInputProcessing();
}
