#pragma once
// The command language's registry and dispatcher. Every line, typed or read
// from a script, is executed here: the registered command whose name begins
// the line wins (the longest such name; among equal lengths the newest), its
// name is cut from the front of ConsoleLine and its handler reads its own
// arguments from what is left (line_parser.h). A line naming no command may
// name a token, whose value is printed. Main thread only; no locks.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Size of every line buffer of the command language, terminating zero included.
constexpr size_t kConsoleLineSize = 250;

// The line being executed. Handlers and the parsers consume it from the front.
extern char ConsoleLine[kConsoleLineSize];

// A command runs only when its level is at most CommandLevel (3; the console
// raises it to 3 for typed lines and restores it afterwards).
extern int32_t CommandLevel;

// A handler reads its arguments from ConsoleLine; its byte result is passed
// back by the dispatcher.
using CommandHandler = uint8_t (*)();

// One registration, owned by the registry with its copies of the texts.
struct ConsoleCommand {
    std::string Name;
    std::string Help;
    CommandHandler Handler = nullptr;
    int32_t Level = 0;
};

// The registry's bucket of a name or line: its first character, upper-cased
// when it lies in 'a'..'z', as a signed character, masked with 63.
uint32_t TvCommandBucket(const char* text);

// Registers a command on the front of its bucket; duplicates are allowed and
// the newest shadows older ones of the same name. Returns 1.
uint8_t TvRegisterCommand(const char* name, const char* help, CommandHandler handler, int32_t level);

// Removes a registration, looking in table order (buckets 0..63, each chain
// newest first) with names compared without regard to case: the first with
// both the name and the handler; failing that, when no registration has the
// handler, the first with the name. Returns 1 when one was removed, else 0.
uint8_t TvUnregisterCommand(const char* name, CommandHandler handler);

// Executes ConsoleLine: an empty line does nothing; the matching command's
// name is cut from the line and, when its level allows, its handler runs
// (its result is returned). With no command matching, the first word is
// consumed and "NAME = value" printed when it names a token, else
// "Unrecognised command or token.". Returns 0 unless a handler ran.
uint8_t TvDispatchCommand();

// Copies `text` into ConsoleLine (cut to 249 characters), dispatches it and
// empties ConsoleLine. Returns the dispatch's result.
uint8_t TvExecuteLine(const char* text);

// The registration whose whole name equals `name` (case-insensitive), looked
// for in the bucket of name's first character, newest first; null when none.
const ConsoleCommand* TvFindCommand(const char* name);

// Visits every registration: buckets 0..63, each chain newest first.
void TvForEachCommand(const std::function<void(const ConsoleCommand&)>& visit);

// Number of registrations.
int32_t TvCommandCount();

// Registers the start-up command table (once, at the console's set-up), then
// runs the start-up lines that create RES, FRIENDLY (1) and ENEMY (2).
void TvRegisterBuiltInCommands();

// Empties the registry and ConsoleLine; CommandLevel back to 3. For the
// console's shutdown and for tests.
void TvResetCommandRegistry();
