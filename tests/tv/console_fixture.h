#pragma once
// The console as the program sets it up (fonts, commands, hooks) on a 640 x
// 480 screen with the game's own language library, for the console's tests
// and for tests of what reaches the console. Every line it accepts is recorded.

#include <string>
#include <vector>

#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/font.h"
#include "core/stringtable.h"
#include "tests/tv/server_fixture.h"

// What a font queued for drawing, taken off its queue.
struct QueuedText {
    std::string text;
    int32_t length;
    uint32_t flags;
    bool operator==(const QueuedText&) const = default;
};
std::vector<QueuedText> TakeQueued(AwFont& font);

class TestConsole {
public:
    // Sets the console up; shut down by Stop.
    void Start();
    void Stop();

    std::vector<std::string> printed;

private:
    AwScreenGeometry savedScreen_;
    StringTable savedStrings_;
};

// The server tests' still-standing clock with the console set up.
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

    TestConsole console;
    std::vector<std::string>& printed = console.printed;
};
