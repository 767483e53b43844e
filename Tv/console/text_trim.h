#pragma once
// Blank trimming for text read from files (command scripts, subtitles).

// Trims leading and trailing white space (blanks, tabs, line ends) in place,
// leaving the bytes of multibyte characters alone; returns the trimmed start
// within text, or null when nothing remains (or text is null).
char* TvTrimBlanks(char* text);
