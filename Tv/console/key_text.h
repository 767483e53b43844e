#pragma once
// Keyboard key codes to text: the characters a key types (US layout, from the
// string table's entries 1-91) and the display names of keys (entries
// 400-499). Any thread may call these (the string table is read-only).

#include <cstdint>

// The text a key types with these modifiers (Shift is bit 0); the keypad's
// digit keys give fixed digits; keys that type nothing give "".
const char* TvKeyToChar(uint32_t keyCode, uint32_t modifiers);
// The key's display name; "" for keys without one.
const char* TvKeyName(uint32_t keyCode);
