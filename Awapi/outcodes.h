#pragma once
// Clip outcodes of a point against a chosen subset of the six clip planes,
// one function per 7-bit plane mask, so a caller that knows which planes a
// primitive may cross tests only those.
//
// Mask bits 1 left, 2 right, 4 top, 8 bottom, 16 near, 32 far select the
// planes; bit 64 chooses the homogeneous tests (x against +-z) over the unit
// cube (x against +-1). Near and far are the current camera's active range,
// read at every call; without a current camera no point lies beyond them.
// A coordinate that is not a number lies beyond planes 1, 4 and 16 only.

#include <array>
#include <cstdint>

using AwClipOutcodeFunction = uint32_t (*)(float x, float y, float z);

extern const std::array<AwClipOutcodeFunction, 128> AwClipOutcodeTable;
