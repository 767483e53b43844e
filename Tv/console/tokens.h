#pragma once
// The named numbers of the command language: placed actors' ids under their
// placement names, RES (the result of the commands that create or find an
// actor), FRIENDLY, ENEMY and whatever scripts create. One table, kept in
// creation order; names compare without regard to case and keep the spelling
// they were created with. The server thread's trigger evaluation reads it,
// so every operation takes the table's reader/writer lock (writers alone,
// readers shared). The level unload empties it.

#include <cstddef>
#include <string>

// An observer of TokenTable::Set (tools record what the level build names).
using TokenSetter = void (*)(const char* name, float value);

namespace TokenTable {
// Sets the token's value, appending a token (name copied) when none has the
// name. Then the installed observer, if any, sees the pair.
void Set(const char* name, float value);
// Sets an existing token's value; false when none has the name.
bool SetExisting(const char* name, float value);
// Copies the token's value; false (value untouched) when none has the name.
bool Get(const char* name, float& value);
// The name of the first token whose value equals `value` exactly; false when none.
bool FindName(float value, std::string& name);
// One console line per token, in table order: "NAME = value" (TvFormatFloat).
void Print();
// Deletes every token.
void Clear();
size_t Count();
// Installs the observer of Set; returns the one it replaces (null: none).
TokenSetter Install(TokenSetter setter);
} // namespace TokenTable

// Sets the token RES, creating it when missing.
void TvSetResultToken(float value);

// The token commands. SET: token name, value (float 0); INC, DEC: token name.
// They change only existing tokens (else string 11027) and do nothing while
// the level is over. LIST TOKENS prints the table.
uint8_t TvCmdSet();
uint8_t TvCmdInc();
uint8_t TvCmdDec();
uint8_t TvCmdListTokens();
