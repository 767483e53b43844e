#include "Tv/console/text_trim.h"

#include <cstring>

namespace {
// Only ASCII white space: bytes from 0x80 belong to multibyte characters.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
} // namespace

char* TvTrimBlanks(char* text) {
    if (!text) return nullptr;
    while (IsBlank(*text)) ++text;
    size_t length = std::strlen(text);
    while (length > 0 && IsBlank(text[length - 1])) --length;
    text[length] = '\0';
    return length > 0 ? text : nullptr;
}
