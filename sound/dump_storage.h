#pragma once
// Debug lines appended to a named file: each line opens the file in append
// mode, writes the text and a line end, and closes it. The first line of a run
// deletes the file first.

// Appends one line to the file (relative to the current directory).
void AppendDebugLine(const char* fileName, const char* line);
