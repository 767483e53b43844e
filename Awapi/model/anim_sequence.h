#pragma once
// Animation data of model nodes: a node's sequences by number, each a list
// of keyframes in frame order (the frame after the last is the first) with
// the frame sounds sorted by time. Times are ticks of the loading thread's
// tick counter.

#include <cstdint>
#include <memory>
#include <vector>

#include "core/matrix.h"

// Frame flags.
constexpr uint32_t kFrameRotationChanges = 0x1;
constexpr uint32_t kFrameOffsetChanges = 0x2;
constexpr uint32_t kFrameReference = 0x4;
constexpr uint32_t kFrameBlend = 0x8; // a node's blend frame
// Sequence flags.
constexpr uint32_t kSequenceBase = 0x3;
constexpr uint32_t kSequenceRelative = 0x4;

struct AwAnimFrame {
    uint32_t Time = 0;
    int32_t Duration = 0; // ticks until the next frame; the last until the sequence length
    Vector3 Offset{0, 0, 0};
    Quaternion Rotation{0, 0, 0, 1};
    uint32_t Flags = 0;
    int32_t FrameNumber = 0;
    SlerpRecord Interpolation{}; // from this rotation toward the next frame's
};

struct AwFrameSound {
    uint32_t Time = 0;
    int32_t Sample = 0;
};

struct AwAnimSequence {
    std::vector<AwAnimFrame> Frames;     // at least one
    std::vector<AwFrameSound> Sounds;    // sorted by time; empty when none
    uint32_t Flags = kSequenceBase;
    int32_t Number = 0;
    uint32_t Length = 0;                 // ticks of one loop
    Vector3 BoundsFirst{0, 0, 0}, BoundsSecond{0, 0, 0};

    bool IsRelative() const { return (Flags & kSequenceRelative) != 0; }
    // Moves every frame by the offset; relative sequences stay as they are.
    void Translate(const Vector3& offset);
};

// Entry n is sequence number n, or null where the node has none.
using AwAnimSequenceList = std::vector<std::unique_ptr<AwAnimSequence>>;

// A deep copy of every sequence (null entries stay null), without the frame sounds.
std::unique_ptr<AwAnimSequenceList> AwCopySequenceList(const AwAnimSequenceList& source);
// The first frame of the first sequence; null without one.
const AwAnimFrame* AwFirstKey(const AwAnimSequenceList* list);

// True when the list exists, has more than n entries (n taken unsigned) and entry n is set.
bool AwHasSequence(const AwAnimSequenceList* list, int32_t n);
