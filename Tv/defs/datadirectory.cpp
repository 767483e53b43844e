#include "Tv/defs/datadirectory.h"

#include "Tv/defs/compiler.h"
#include "Tv/defs/definitiontypes.h"
#include "core/hashtable.h"
#include "platform/paths.h"
#include "platform/threads.h"

namespace {

OwnedText table[kDataDirectoryCount];
std::string base;
PhysicalMemoryQuery memoryQuery = nullptr;

bool ValidIndex(int32_t index) { return index >= 0 && index < kDataDirectoryCount; }

bool IsAbsolute(std::string_view path) { return !path.empty() && (path[0] == '/' || path[0] == '\\'); }

uint64_t PhysicalMemory() { return memoryQuery ? memoryQuery() : plat::PhysicalMemoryBytes(); }

} // namespace

void TvLoadDirectoryScript(std::string_view path) {
    base = plat::GetCurrentDir();
    ScriptObjectList* list = TvCompileScript(path, kScriptModeDirectory);
    ScriptObjectList::ApplyAll(list);
    ScriptObjectList::Delete(list);
}

bool DataDirEnter(int32_t index) {
    const char* entry = DataDirGet(index);
    if (!entry) return true;
    if (base.empty() || IsAbsolute(entry))
        plat::SetCurrentDir(entry);
    else
        plat::SetCurrentDir(base + "/" + entry);
    return true;
}

bool DataDirRestore() {
    if (!base.empty()) plat::SetCurrentDir(base);
    return true;
}

const char* DataDirGet(int32_t index) { return ValidIndex(index) ? table[index].Get() : nullptr; }

void DataDirSet(int32_t index, const char* text) {
    if (!ValidIndex(index) || text == table[index].Get()) return;
    table[index] = OwnedText::FromNullable(text);
}

const std::string& DataDirBase() { return base; }

void DataDirClear() {
    for (int32_t i = kDataDirectoryCount - 1; i >= 0; --i) table[i] = OwnedText();
    base.clear();
}

void SetPhysicalMemoryQuery(PhysicalMemoryQuery query) { memoryQuery = query; }

void DirectoryScriptObject::Apply() {
    if (!IsComplete()) return;
    static constexpr struct {
        const char* name;
        DataDirectory index;
    } kEntries[] = {{"scripts", kDataDirScripts},   {"fmvs", kDataDirFmvs},   {"qifs", kDataDirQifs},
                    {"graphics", kDataDirGraphics}, {"fonts", kDataDirFonts}, {"dumps", kDataDirDumps}};
    const char* name = GetString(0);
    for (const auto& entry : kEntries)
        if (NameEquals(name, entry.name)) {
            DataDirSet(entry.index, GetString(1));
            return;
        }
    // One sound entry fits the machine; the other name is ignored.
    const char* sounds = PhysicalMemory() > kSounds22MemoryThreshold ? "sounds22" : "sounds";
    if (NameEquals(name, sounds)) DataDirSet(kDataDirSounds, GetString(1));
}
