#pragma once
// The argument parsers of the command language. Handlers take no parameters:
// each reads its arguments from the front of ConsoleLine with these, which
// consume what they read. A missing argument or an unknown token gives the
// caller's default; nothing here fails. Blanks are spaces only (a tab is an
// ordinary character). Numbers may be given as token names (tokens.h).
// Main thread only.

#include <cstddef>
#include <cstdint>
#include <string>

#include "Tv/console/command_registry.h"

// A word or rest-of-line buffer; what does not fit is cut to 249 characters.
using ConsoleText = char[kConsoleLineSize];

// Deletes `count` characters (at most all) from the front of ConsoleLine.
void TvCutLineFront(size_t count);

// Deletes leading blanks; returns ConsoleLine, or null when nothing is left.
char* TvSkipBlanks();

// Reads and consumes the next argument. Leading blanks are deleted. A word
// starting with '"' runs to the next '"' (blanks kept, both quotes deleted,
// the rest of the line without a closing quote); otherwise it runs up to the
// next blank, which stays on the line. An empty line gives "".
void TvParseWord(ConsoleText& word);

// As TvParseWord, leaving ConsoleLine as it was.
void TvPeekWord(ConsoleText& word);

// Deletes leading blanks and copies the rest of the line; the rest stays.
void TvParseRestOfLine(ConsoleText& text);

// Looking past leading blanks, nothing consumed: the next character, or the
// one after a single '-', is a digit or '.'.
bool TvNextArgIsNumber();

// Looking past leading blanks: something is left and it does not start with
// '-', '.' or a digit.
bool TvNextArgIsWord();

// Any mix of blanks and '-' (each '-' toggles the sign) before either digits
// (the value; the rest of that word and the blanks after it are consumed,
// so "3.7" gives 3; a run past 32 bits saturates) or a word naming a token
// (its value floored; an unknown token gives the default; the word is
// consumed, the blanks after it are not). End of line: the default, never
// negated.
int32_t TvParseInt(int32_t defaultValue);

// Blanks, one optional '-', blanks, then digits with an optional '.' and
// fraction (the first other character stays on the line; the sign flips the
// sign bit, so "-0" is minus zero), or a word naming a token (its value as it
// is, the '-' ignored; unknown: the default). End of line: the default.
float TvParseFloat(float defaultValue);

// A word: "ON"/"TRUE" 1, "OFF"/"FALSE" 0, anything else (empty too) 2.
uint8_t TvParseBool();

// Reads "( a op b )" with op one of = < > != and each operand a number
// starting with a digit or a token name (a token needs a blank after it).
// Returns 1 true, 0 false, 2 error (printing string 11006 for an unknown left
// token, 11007 for a bad operator, 11008 for an unknown right token). The
// command after the condition stays on the line.
uint8_t TvEvaluateCondition();

// On any string of at most 249 characters: deletes leading blanks, one word
// and the blanks after it.
void TvSkipArgument(char* text);

// Inserts `c` at `position` of a string held in a kConsoleLineSize buffer
// (nothing when the string is full or the position past its end), or removes
// the character there (nothing past the end).
void TvInsertChar(size_t position, char* text, char c);
void TvDeleteChar(size_t position, char* text);

// A float as the console prints it: at most four decimals rounded half up,
// no leading zero before the point, trailing zeros dropped, "0" for anything
// that rounds to zero ("-.25", ".0001", "3" for 2.99999). Whole digits of any
// size are printed in full.
std::string TvFormatFloat(float value);
