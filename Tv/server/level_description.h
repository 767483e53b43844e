#pragma once
// The current level's place in the single-player mission list (level script
// names compared without regard to case) and its description texts, string
// 3268 + that position. A line of a text ends at a line break; consecutive
// line breaks end one line.

#include <cstdint>

#include "Tv/defs/ownedtext.h"

// The position, or -1 when the current level is not in the list.
int32_t TvGetLevelIndex();
// The description's line count, or -1 when the level is not in the list.
int32_t TvGetLevelDescriptionLineCount();
// Line n (from 0) of the description; none when it has fewer lines.
OwnedText TvGetLevelDescriptionLine(int32_t n);
// Text 3298, a line break and the description (text 3299 in its place when it
// has no line); none when the level is not in the list or text 3298 is empty.
OwnedText TvGetLevelDescriptionText();
