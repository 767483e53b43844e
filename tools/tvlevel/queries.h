#pragma once
// tvlevel's queries on LevelWorldInstance, one per call; each prints its
// answer line(s) to standard output.

#include <string>
#include <vector>

#include "tools/tvlevel/level_loading.h"

// Answers the query given as words; false (nothing printed) when the words
// are not a query.
bool AnswerQuery(const std::vector<std::string>& words, const LoadedLevel& level);

// How many words the query starting at words[first] takes: up to the next
// query's name or its most words (0 when words[first] names no query); for
// queries given as arguments.
size_t QueryLength(const std::vector<std::string>& words, size_t first);
