#pragma once
// The data directory table: the seven folders the game's data files live in,
// declared by the start-up directory script ("tvdirs.tvs").
//
// A file reader enters the folder of its kind, opens its file by a relative
// name and restores the base directory:
//   DataDirEnter(kDataDirQifs); ... open "Robot.qif" ...; DataDirRestore();
// Both act on the calling thread's own current directory, so the main thread
// and the server thread never disturb each other's opens. The table is written
// once at start-up, on the main thread, and only read afterwards.

#include <cstdint>
#include <string>
#include <string_view>

enum DataDirectory : int32_t {
    kDataDirScripts = 0, // command and level scripts, key bindings, bot scripts
    kDataDirFmvs = 1,    // full-screen movies
    kDataDirQifs = 2,    // model and level files and their cache files
    kDataDirGraphics = 3,
    kDataDirSounds = 4, // "sounds22" or "sounds", by the machine's memory
    kDataDirFonts = 5,
    kDataDirDumps = 6, // screenshots
};
constexpr int32_t kDataDirectoryCount = 7;

// Above this many bytes of physical memory the "sounds22" entry is taken, at
// or below it the "sounds" entry.
constexpr uint64_t kSounds22MemoryThreshold = 73400320;

// Makes the calling thread's current directory the base, compiles `path`
// (relative to it) as a directory script and applies it. A script that is
// missing or fails to compile leaves the table as it was.
void TvLoadDirectoryScript(std::string_view path);

// Makes entry `index` the calling thread's current directory; a relative
// entry is taken from the base directory. Answers true also when the entry is
// unset or does not exist (the current directory then stays as it was).
bool DataDirEnter(int32_t index);
// Makes the base directory current again (when one is set); always true.
bool DataDirRestore();

// The path of an entry as the script gave it; null when unset.
const char* DataDirGet(int32_t index);
// Replaces an entry with a copy of `text` (null clears it).
void DataDirSet(int32_t index, const char* text);
// The directory that was current when the directory script was loaded; "" before.
const std::string& DataDirBase();
// Frees every entry and forgets the base (program exit).
void DataDirClear();

// The physical memory figure the sound entry is chosen by; null restores the
// machine's own (plat::PhysicalMemoryBytes).
using PhysicalMemoryQuery = uint64_t (*)();
void SetPhysicalMemoryQuery(PhysicalMemoryQuery query);
