#pragma once
// The console's named numbers as the level load sets them (a placed actor's
// id under the name its placement gives). The console core installs its
// table's setter; until then a value set goes nowhere.

using TokenSetter = void (*)(const char* name, float value);

namespace TokenTable {
// Sets the token's value, appending the token when none has that name.
void Set(const char* name, float value);
// Returns the setter it replaces (null: none).
TokenSetter Install(TokenSetter setter);
} // namespace TokenTable
