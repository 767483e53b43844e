#pragma once
// Fixture of the command-script tests: the start-up command table over the
// real print path (every accepted console line recorded in order), a small
// string table of distinct texts, the command "SAY" that prints the rest of
// its line, and every console module reset around each test. Built on the
// simulation fixture, so tests can start a driven server with units.

#include <map>
#include <string>
#include <vector>

#include "core/stringtable.h"
#include "tests/support/temp_dir.h"
#include "tests/tv/sim_fixture.h"

class ConsoleScriptTest : public SimTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The console lines printed so far, in order; Take() also forgets them.
    const std::vector<std::string>& Printed() const;
    std::vector<std::string> Take();
    // Runs a line as a script line does (not a typed one).
    void Run(const char* line);
    // Writes a command script below the test's directory; returns its path.
    std::string Script(const std::string& name, const std::string& text);
    // Runs queued lines one "frame" at a time, at most `frames` of them.
    void RunFrames(int32_t frames);
    // The text of a language string of the fixture's table.
    static std::string Text(uint32_t id);

    TempDir dir;

private:
    std::vector<StringTableEntry> entries_;
    StringTable saved_{};
};
