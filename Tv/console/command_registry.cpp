#include "Tv/console/command_registry.h"

#include <cstring>
#include <string>

#include "Tv/console/console_hooks.h"
#include "Tv/console/line_parser.h"
#include "Tv/console/tokens.h"
#include "core/hashtable.h"

char ConsoleLine[kConsoleLineSize] = {};
int32_t CommandLevel = 3;

namespace {

constexpr uint32_t kBucketCount = 64;
constexpr int32_t kDefaultCommandLevel = 3;

// The registry owns its commands, also when the program ends through exit()
// (the quit command) and the table goes with the other statics.
struct CommandTable : HashTable<ConsoleCommand*> {
    using HashTable::HashTable;
    ~CommandTable() { DeleteCommands(); }
    void DeleteCommands() {
        Iterator it;
        for (it.Begin(*this); !it.AtEnd(); it.Next()) delete it.Current()->Payload;
        Clear();
    }
};

CommandTable registry{kBucketCount};

// Case-insensitive comparison of name's length of bytes; the line must be at
// least as long.
bool LineBeginsWith(const char* line, const std::string& name) {
    for (size_t i = 0; i < name.size(); ++i)
        if (NameLower(line[i]) != NameLower(name[i])) return false;
    return true;
}

// The first registration, in table order, that satisfies `matches`.
template <class Pred>
ConsoleCommand* FirstInTable(Pred matches) {
    HashTable<ConsoleCommand*>::Iterator it;
    for (it.Begin(registry); !it.AtEnd(); it.Next())
        if (matches(*it.Current()->Payload)) return it.Current()->Payload;
    return nullptr;
}

void PrintTokenOrComplain() {
    ConsoleText word;
    TvParseWord(word);
    float value = 0.0f;
    if (!TokenTable::Get(word, value)) {
        TvConsolePrint("Unrecognised command or token.");
        return;
    }
    const std::string text = std::string(word) + " = " + TvFormatFloat(value);
    TvConsolePrint(text.c_str());
}

} // namespace

uint32_t TvCommandBucket(const char* text) {
    char first = text[0];
    if (first >= 'a' && first <= 'z') first = static_cast<char>(first - 'a' + 'A');
    return static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(first))) & (kBucketCount - 1);
}

uint8_t TvRegisterCommand(const char* name, const char* help, CommandHandler handler, int32_t level) {
    registry.Insert(new ConsoleCommand{name ? name : "", help ? help : "", handler, level},
                    TvCommandBucket(name ? name : ""));
    return 1;
}

uint8_t TvUnregisterCommand(const char* name, CommandHandler handler) {
    ConsoleCommand* chosen =
        FirstInTable([&](const ConsoleCommand& c) { return c.Handler == handler && NameEquals(c.Name.c_str(), name); });
    if (!chosen && !FirstInTable([&](const ConsoleCommand& c) { return c.Handler == handler; }))
        chosen = FirstInTable([&](const ConsoleCommand& c) { return NameEquals(c.Name.c_str(), name); });
    if (!chosen) return 0;
    registry.Remove(chosen, TvCommandBucket(chosen->Name.c_str()));
    delete chosen;
    return 1;
}

uint8_t TvDispatchCommand() {
    if (ConsoleLine[0] == '\0') return 0;
    const ConsoleCommand* best = nullptr;
    size_t bestLength = 0;
    for (HashEntry<ConsoleCommand*>* e = registry.Find(TvCommandBucket(ConsoleLine), [](auto) { return true; }); e;
         e = e->Next) {
        const ConsoleCommand& command = *e->Payload;
        if (command.Name.size() > bestLength && LineBeginsWith(ConsoleLine, command.Name)) {
            best = &command;
            bestLength = command.Name.size();
        }
    }
    if (!best) {
        PrintTokenOrComplain();
        return 0;
    }
    TvCutLineFront(bestLength);
    if (best->Level > CommandLevel || !best->Handler) return 0;
    return best->Handler();
}

uint8_t TvExecuteLine(const char* text) {
    std::strncpy(ConsoleLine, text, kConsoleLineSize - 1);
    ConsoleLine[kConsoleLineSize - 1] = '\0';
    const uint8_t result = TvDispatchCommand();
    ConsoleLine[0] = '\0';
    return result;
}

const ConsoleCommand* TvFindCommand(const char* name) {
    HashEntry<ConsoleCommand*>* entry =
        registry.Find(TvCommandBucket(name), [&](ConsoleCommand* c) { return NameEquals(c->Name.c_str(), name); });
    return entry ? entry->Payload : nullptr;
}

void TvForEachCommand(const std::function<void(const ConsoleCommand&)>& visit) {
    HashTable<ConsoleCommand*>::Iterator it;
    for (it.Begin(registry); !it.AtEnd(); it.Next()) visit(*it.Current()->Payload);
}

int32_t TvCommandCount() { return registry.Count(); }

void TvResetCommandRegistry() {
    registry.DeleteCommands();
    ConsoleLine[0] = '\0';
    CommandLevel = kDefaultCommandLevel;
}
