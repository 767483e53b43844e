#include "Tv/console/tokens.h"

#include <string>
#include <utility>
#include <vector>

#include "Tv/console/command_args.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/line_parser.h"
#include "core/hashtable.h"
#include "core/list.h"
#include "core/rwlock.h"

namespace {

struct Token {
    std::string Name;
    float Value = 0.0f;
};

List<Token> tokens;
RwLock tokensLock;
TokenSetter observer = nullptr;

Token* Find(const char* name) {
    for (Token& token : tokens)
        if (NameEquals(token.Name.c_str(), name)) return &token;
    return nullptr;
}

// The token named by the next word, changed by `delta`; 11027 when none.
uint8_t StepToken(float delta) {
    if (!TvGuardLevelNotOver()) return 0;
    ConsoleText name;
    TvParseWord(name);
    bool found = false;
    {
        RwLockHold hold(&tokensLock, true);
        if (Token* token = Find(name)) {
            token->Value += delta;
            found = true;
        }
    }
    if (!found) TvPrintString(11027);
    return 0;
}

} // namespace

void TokenTable::Set(const char* name, float value) {
    {
        RwLockHold hold(&tokensLock, true);
        if (Token* token = Find(name))
            token->Value = value;
        else
            tokens.PushBack(Token{name, value});
    }
    if (observer) observer(name, value);
}

bool TokenTable::SetExisting(const char* name, float value) {
    RwLockHold hold(&tokensLock, true);
    Token* token = Find(name);
    if (token) token->Value = value;
    return token != nullptr;
}

bool TokenTable::Get(const char* name, float& value) {
    RwLockHold hold(&tokensLock, false);
    const Token* token = Find(name);
    if (token) value = token->Value;
    return token != nullptr;
}

bool TokenTable::FindName(float value, std::string& name) {
    RwLockHold hold(&tokensLock, false);
    for (const Token& token : tokens)
        if (token.Value == value) {
            name = token.Name;
            return true;
        }
    return false;
}

void TokenTable::Print() {
    // Printed after the lock is released: the print path may read tokens.
    std::vector<std::string> lines;
    {
        RwLockHold hold(&tokensLock, false);
        for (const Token& token : tokens) lines.push_back(token.Name + " = " + TvFormatFloat(token.Value));
    }
    for (const std::string& line : lines) TvConsolePrint(line.c_str());
}

void TokenTable::Clear() {
    RwLockHold hold(&tokensLock, true);
    tokens.Clear();
}

size_t TokenTable::Count() {
    RwLockHold hold(&tokensLock, false);
    return static_cast<size_t>(tokens.Count());
}

TokenSetter TokenTable::Install(TokenSetter setter) { return std::exchange(observer, setter); }

void TvSetResultToken(float value) { TokenTable::Set("res", value); }

uint8_t TvCmdSet() {
    if (!TvGuardLevelNotOver()) return 0;
    ConsoleText name;
    TvParseWord(name);
    if (!TokenTable::SetExisting(name, TvParseFloat(0.0f))) TvPrintString(11027);
    return 0;
}

uint8_t TvCmdInc() { return StepToken(1.0f); }
uint8_t TvCmdDec() { return StepToken(-1.0f); }

uint8_t TvCmdListTokens() {
    TokenTable::Print();
    return 0;
}
