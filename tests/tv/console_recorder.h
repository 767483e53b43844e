#pragma once
// What the command language's tests share: the console lines printed
// (through the console hook, the others kept), language strings that read "#<id>" for every id
// from 10,000 to 13,999, and the command language's state (registry, tokens,
// selected actor, ConsoleLine) emptied before and after. Compose it into any
// fixture.

#include <string>
#include <vector>

#include "Tv/console/console_hooks.h"
#include "core/stringtable.h"

class ConsoleRecorder {
public:
    ConsoleRecorder();
    ~ConsoleRecorder();
    ConsoleRecorder(const ConsoleRecorder&) = delete;
    ConsoleRecorder& operator=(const ConsoleRecorder&) = delete;

    // Puts `text` in ConsoleLine, as a handler finds its arguments.
    static void SetLine(const char* text);
    // What is left of ConsoleLine.
    static std::string Line();
    // The text language string `id` has here.
    static std::string String(uint32_t id) { return "#" + std::to_string(id); }

    std::vector<std::string> lines; // printed, oldest first

private:
    static void Reset();
    StringTable savedStrings_;
    ConsoleHooks savedHooks_;
};
