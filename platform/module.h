#pragma once
// Language resource libraries: the RT_STRING resources of a PE32 or PE32+
// file (a Windows DLL), read without Windows. Texts are UTF-16 in the file and
// come out as Windows-1252 (characters it cannot hold become '?').

#include <cstdint>
#include <string_view>

namespace plat {

struct ResourceModule;

// Loads a library's string table; null when the file cannot be read or is not a PE image.
ResourceModule* LoadResourceModule(std::string_view name);
void FreeResourceModule(ResourceModule* module);

// LoadStringA: copies the text of id into buffer (at most size - 1 bytes and a
// terminating 0) and returns its length; 0 (and an empty buffer) when the id
// has no text. Cut texts keep their first size - 1 characters.
int LoadResourceString(const ResourceModule* module, uint32_t id, char* buffer, int size);

} // namespace plat
