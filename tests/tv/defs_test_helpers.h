#pragma once
// Fixtures of the definition compiler tests: scripts written to a fresh
// directory (made the thread's current one, so includes resolve there),
// every diagnostic recorded, and the compiled list freed afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Tv/defs/compiler.h"
#include "Tv/defs/definitiontypes.h"
#include "Tv/defs/diagnostics.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

class RecordedDiagnostics final : public ScriptDiagnosticSink {
public:
    struct Entry {
        bool isError;
        std::string file;
        int32_t line;
        std::string text;
    };

    RecordedDiagnostics() { previous_ = SetScriptDiagnosticSink(this); }
    ~RecordedDiagnostics() { SetScriptDiagnosticSink(previous_); }

    void Report(const ScriptDiagnostic& d) override {
        entries.push_back({d.isError, std::string(d.file), d.line, std::string(d.text)});
    }

    // Texts of the errors (or warnings), in order.
    std::vector<std::string> Errors() const { return Texts(true); }
    std::vector<std::string> Warnings() const { return Texts(false); }
    int Count(const std::string& text) const {
        return static_cast<int>(std::count_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.text == text; }));
    }
    // Everything but the "default value assumed" warnings, which most blocks give.
    std::vector<std::string> Notable() const {
        std::vector<std::string> texts;
        for (const Entry& e : entries)
            if (e.text.rfind("default value assumed", 0) != 0) texts.push_back(e.text);
        return texts;
    }
    void Clear() { entries.clear(); }

    std::vector<Entry> entries;

private:
    std::vector<std::string> Texts(bool errors) const {
        std::vector<std::string> texts;
        for (const Entry& e : entries)
            if (e.isError == errors) texts.push_back(e.text);
        return texts;
    }

    ScriptDiagnosticSink* previous_;
};

class DefsTest : public ::testing::Test {
protected:
    DefsTest() : previousDir_(plat::GetCurrentDir()) { plat::SetCurrentDir(dir_.path()); }
    ~DefsTest() override {
        ScriptObjectList::Delete(list_);
        plat::SetCurrentDir(previousDir_);
    }

    void Write(const std::string& name, const std::string& text) { dir_.Write(name, text); }

    // Compiles `text` as the file "test.tvs"; the list lives until the next compile.
    ScriptObjectList* Compile(const std::string& text, uint32_t mode = kScriptModeLevel) {
        Write("test.tvs", text);
        return CompileFile("test.tvs", mode);
    }
    ScriptObjectList* CompileFile(const std::string& name, uint32_t mode = kScriptModeLevel) {
        ScriptObjectList::Delete(list_);
        diagnostics.Clear();
        list_ = TvCompileScript(name, mode);
        return list_;
    }

    // The listed object of that name, or null.
    ScriptObject* Listed(const std::string& name) const {
        if (!list_) return nullptr;
        for (ScriptObject* object : list_->objects)
            if (object->Name() && name == object->Name()) return object;
        return nullptr;
    }
    int32_t ListedCount() const { return list_ ? list_->objects.Count() : -1; }
    ScriptObject* ListedAt(int32_t index) const { return *list_->objects.At(index); }

    TempDir dir_;
    RecordedDiagnostics diagnostics;

private:
    std::string previousDir_;
    ScriptObjectList* list_ = nullptr;
};

// Blocks that complete the required properties of a role, for tests about something else.
inline const char* kRoleParts = R"(
light lamp { red 1 green 1 blue 1 specular red 0 specular green 0 specular blue 0 range 1 }
projectile bolt { damage 1 gravity no }
destructibility boom { type 0 }
character walker { walking speed 1 turning speed 1 strength 1 aim 1 sight angle 10 sight range 1
                   hearing range 1 aggression 0.5 }
)";
// The body of a complete role block naming those parts.
inline const char* kRoleBody =
    "identifier \"r\" character walker light lamp projectile bolt destructibility boom "
    "alpha fogging no per vertex fogging no";
