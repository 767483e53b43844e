#include "tests/tv/console_recorder.h"

#include <cstring>

#include "Tv/console/command_args.h"
#include "Tv/console/command_registry.h"
#include "Tv/console/tokens.h"
#include "Tv/defs/ownedtext.h"
#include "core/mem.h"

namespace {

constexpr uint32_t kFirstId = 10000, kLastId = 13999;

ConsoleRecorder* recording = nullptr;

} // namespace

ConsoleRecorder::ConsoleRecorder() : savedStrings_(ResourceStrings), savedHooks_(GetConsoleHooks()) {
    recording = this;
    ConsoleHooks hooks = savedHooks_;
    hooks.print = [](const char* text) { recording->lines.emplace_back(text); };
    SetConsoleHooks(hooks);
    StringTable table;
    table.count = kLastId - kFirstId + 1;
    table.entries = static_cast<StringTableEntry*>(MemAlloc(table.count * sizeof(StringTableEntry)));
    for (uint32_t i = 0; i < table.count; ++i) table.entries[i] = {kFirstId + i, TextCopy(String(kFirstId + i))};
    ResourceStrings = table;
    Reset();
}

ConsoleRecorder::~ConsoleRecorder() {
    Reset();
    StringTableFree(ResourceStrings);
    ResourceStrings = savedStrings_;
    SetConsoleHooks(savedHooks_);
    recording = nullptr;
}

void ConsoleRecorder::SetLine(const char* text) {
    std::strncpy(ConsoleLine, text, kConsoleLineSize - 1);
    ConsoleLine[kConsoleLineSize - 1] = '\0';
}

std::string ConsoleRecorder::Line() { return ConsoleLine; }

void ConsoleRecorder::Reset() {
    TvResetCommandRegistry();
    TokenTable::Clear();
    TvResetCommandArgs();
}
