#pragma once
// Longest-match recognition of the definition language's keywords.

#include <cstddef>

#include "Tv/defs/keywords.h"

struct KeywordMatch {
    size_t length = 0;                      // 0: no keyword starts here
    const ScriptKeyword* keyword = nullptr;
};

// The longest keyword that [begin, end) starts with. Between the words of a
// multi-word keyword any run of blanks and tabs, or none, may stand (exactly
// one blank for the keywords that require it). The match is by characters
// only: whether a longer identifier wins is the caller's decision.
KeywordMatch MatchScriptKeyword(const char* begin, const char* end);
