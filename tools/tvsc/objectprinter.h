#pragma once
// Text form of compiled script objects, for modders.

#include <cstdio>

class ScriptObject;

// Writes the object's type and name, then one line per declared property:
// its value, "(no value)" when it has none, "(default)" when the script did
// not set it. Particle generators add their life, maps their placements.
void PrintScriptObject(std::FILE* out, const ScriptObject& object);
