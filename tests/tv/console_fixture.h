#pragma once
// Fixture of the console's tests: the server tests' still-standing clock,
// the game's own language library, a 640 x 480 screen and the console set up
// as the program sets it up (fonts, commands, hooks). Every line the console
// accepts is recorded. The console is shut down afterwards.

#include <string>
#include <vector>

#include "Awapi/aw3d/screen_geometry.h"
#include "core/stringtable.h"
#include "tests/tv/server_fixture.h"

class ConsoleTest : public ServerTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs a console frame at the RealClock time.
    void Frame();
    // Executes a line as a script does (CommandLevel as it stands).
    void Run(const char* line);
    // Presses a key (key-down event) with these modifiers.
    void Press(uint32_t key, uint32_t modifiers = 0);
    // The scrollback's lines, oldest first.
    std::vector<std::string> Scrollback() const;

    std::vector<std::string> printed;

private:
    AwScreenGeometry savedScreen_;
    StringTable savedStrings_;
};
