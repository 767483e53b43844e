#pragma once
// An IFF file held as a chunk tree: one top-level FORM, LIST or CAT.

#include "core/refcounted.h"

class IffChunk;
class MediaStream;

class IffFile : public RefCounted {
public:
    ~IffFile() override;

    // Reads the top-level chunk from the stream's position, leaving the stream
    // after it; false (with no tree kept) when the file is malformed or the
    // stream reports a problem.
    bool ReadFromStream(MediaStream& stream);
    IffChunk* Top() const { return top_; }

private:
    IffChunk* top_ = nullptr;
};
