#pragma once
// What applying definition scripts produced, one field a line, for tvsc --apply.

#include <cstdio>

// The seven data directory entries: `directory INDEX NAME "PATH"` (or none).
void PrintDataDirectories(std::FILE* out);
// Every definition in id order (`definition ID "NAME"` and its fields, nested
// records indented), then every weapon-table row and every ammunition row
// that holds something.
void PrintAppliedLevel(std::FILE* out);
