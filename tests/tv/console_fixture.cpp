#include "tests/tv/console_fixture.h"

#include "Tv/app/input_event.h"
#include "Tv/console/command_registry.h"
#include "Tv/console/console_setup.h"
#include "Tv/console/console_window.h"
#include "core/clock.h"

namespace {

std::vector<std::string>* recording = nullptr;

void Record(const char* text) { recording->push_back(text); }

// The game's language library, loaded once for the whole run.
const StringTable& GameStrings() {
    static StringTable table = [] {
        StringTable loaded;
        plat::ResourceModule* module = LoadResourceDll((std::string(TAVRIN_DATA_DIR) + "/tvreseng.dll").c_str());
        if (module) {
            StringTableLoad(module, kResourceStringFirstId, kResourceStringLastId, loaded);
            FreeResourceDll(module);
        }
        return loaded;
    }();
    return table;
}

} // namespace

std::vector<QueuedText> TakeQueued(AwFont& font) {
    std::vector<QueuedText> taken;
    while (!font.queue.IsEmpty()) {
        const AwQueuedText* queued = font.queue.Front();
        taken.push_back({queued->text, queued->length, queued->flags});
        delete queued;
        font.queue.PopFront();
    }
    return taken;
}

void TestConsole::Start() {
    savedStrings_ = ResourceStrings;
    ResourceStrings = GameStrings();
    ASSERT_STREQ(StringTableLookup(1), "A") << "the language library did not load";
    savedScreen_ = ScreenGeometry;
    ScreenGeometry.Screen.right = 640;
    ScreenGeometry.Screen.bottom = 480;
    ScreenGeometry.ScreenWidthF = 640.0f;
    ScreenGeometry.ScreenHeightF = 480.0f;
    TvLoadConsoleFonts();
    recording = &printed;
    TvSetConsoleOutputSink(Record);
}

void TestConsole::Stop() {
    TvConsoleShutdown();
    recording = nullptr;
    ScreenGeometry = savedScreen_;
    ResourceStrings = savedStrings_;
}

void ConsoleTest::SetUp() {
    ServerTest::SetUp();
    console.Start();
}

void ConsoleTest::TearDown() {
    console.Stop();
    ServerTest::TearDown();
}

void ConsoleTest::Frame() { TvConsoleFrame(RealClock.GetTime()); }

void ConsoleTest::Run(const char* line) { TvExecuteLine(line); }

void ConsoleTest::Press(uint32_t key, uint32_t modifiers) {
    TvConsoleKey(InputEvent{kInputKeyDown, key, 0, 0, key, modifiers});
}

std::vector<std::string> ConsoleTest::Scrollback() const {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < TvConsoleScrollbackCount(); ++i) lines.emplace_back(TvConsoleScrollbackLine(i));
    return lines;
}
