#include "Tv/console/console_window.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/font.h"
#include "Tv/app/input_event.h"
#include "Tv/console/command_registry.h"
#include "Tv/console/console_fonts.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/key_text.h"
#include "Tv/console/line_parser.h"
#include "Tv/console/text_draw.h"
#include "Tv/server/client_service_hooks.h"
#include "Tv/server/game_options.h"
#include "core/clock.h"
#include "core/hashtable.h"
#include "core/list.h"
#include "core/numeric.h"
#include "core/stringtable.h"

int32_t ConsoleScrollbackCap = 20;
int32_t ConsolePendingCap = 20;
int32_t ConsoleVisibleLines = 1;
int32_t ConsoleMaxLines = 14;
float ConsoleSlide = -1.0f;
float ConsoleSlideTarget = -1.0f;
uint8_t ConsoleInstantSlide = 0;
uint64_t ConsoleCloseTime = 0;
uint32_t ConsoleTextColour = kConsoleDefaultTextColour;
uint8_t ConsoleEnabled = 1;
uint8_t FullConsole = 0;
uint32_t ConsoleKeyCode = 41;
uint32_t ConsoleKeyModifiers = 0;

namespace {

constexpr float kSlideStep = 0.09f;
constexpr float kHidden = -1.0f;
constexpr float kRowX = 0.07f;
constexpr float kCursorRowRight = 0.9f; // the typed line's own wrap for moving the cursor between rows
constexpr float kCloseSeconds = 14.0f;
constexpr uint32_t kMorePromptId = 10605;
constexpr uint32_t kRowFlags = kTextGrowUp;

enum Key : uint32_t {
    kKeyEscape = 1,
    kKeyBackspace = 14,
    kKeyTab = 15,
    kKeyEnter = 28,
    kKeyHome = 199,
    kKeyUp = 200,
    kKeyLeft = 203,
    kKeyRight = 205,
    kKeyEnd = 207,
    kKeyDown = 208,
    kKeyDelete = 211,
};

struct ConsoleRow {
    std::string text;
    uint32_t colour = 0;
    uint32_t stamp = 0; // low 32 bits of RealClock ticks
};

List<ConsoleRow> scrollback;
List<ConsoleRow> pending;
int32_t recallIndex = 0; // into the scrollback
char stash[kConsoleLineSize] = {};
void (*outputSink)(const char*) = nullptr;

int32_t& State() { return GameOptions.ConsoleState; }

// A string cut to the longest line the console keeps.
std::string Cut(const char* text) { return std::string(text, strnlen(text, kConsoleLineSize - 1)); }

void Trim(List<ConsoleRow>& list, int32_t cap) {
    while (list.Count() > std::max(cap, 0)) list.PopFront();
}

void SetVisibleLines(int32_t lines) {
    ConsoleVisibleLines = lines;
    ConsoleSlideTarget = static_cast<float>(lines) * TvSmallLineHeight() - 1.0f;
}

// Rows of a text in the console's box, at whatever height (no limit).
int32_t RowsOf(const char* text) {
    return SmallFont().QueueText({kRowX, 0.0f, 0.85f, 1.0f}, text, 0, nullptr, kConsoleLineSize, kTextMeasureOnly, 0.0f,
                                 nullptr, 0);
}

// Rows of a text whose bottom row lies at y in the window; 0 when it would not fit.
int32_t RowsAt(float y, const char* text) { return TvConsoleDrawText(kRowX, y, text, 0, kRowFlags | kTextMeasureOnly); }

void SetCaret(int32_t index) { ConsoleCaretIndex = index; }
int32_t LineLength() { return static_cast<int32_t>(std::strlen(ConsoleLine)); }

void SetLine(const char* text) {
    const std::string cut = Cut(text);
    std::memcpy(ConsoleLine, cut.c_str(), cut.size() + 1);
    SetCaret(LineLength());
}

void Recall(int32_t step) {
    const int32_t n = scrollback.Count();
    if (n == 0) return;
    recallIndex = ((recallIndex + step) % n + n) % n;
    SetLine(scrollback.At(recallIndex)->text.c_str());
}

// Row starts of the typed line wrapped (by characters) at the cursor rows' right edge.
std::vector<int32_t> CursorRowStarts() {
    const int32_t limit = FloorToInt((kCursorRowRight - kRowX) * ScreenGeometry.ScreenWidthF);
    std::vector<int32_t> starts{0};
    int32_t width = 0;
    for (int32_t i = 0; ConsoleLine[i] != '\0'; ++i) {
        const int32_t w = TvTextWidthN(SmallFont(), ConsoleLine + i, 1);
        if (width + w > limit && width > 0) {
            starts.push_back(i);
            width = 0;
        }
        width += w;
    }
    return starts;
}

// Moves the cursor one row up or down keeping its pixel column as nearly as
// the glyph widths allow; false when the line has a single row or there is no
// row that way.
bool MoveCursorRow(int32_t step) {
    const std::vector<int32_t> starts = CursorRowStarts();
    if (starts.size() < 2) return false;
    const int32_t cursor = ConsoleCaretIndex;
    int32_t row = 0;
    while (row + 1 < static_cast<int32_t>(starts.size()) && starts[row + 1] <= cursor) ++row;
    const int32_t target = row + step;
    if (target < 0 || target >= static_cast<int32_t>(starts.size())) return false;
    const int32_t column = TvTextWidthN(SmallFont(), ConsoleLine + starts[row], cursor - starts[row]);
    const int32_t end = target + 1 < static_cast<int32_t>(starts.size()) ? starts[target + 1] : LineLength();
    int32_t best = starts[target];
    for (int32_t i = starts[target]; i <= end; ++i) {
        const int32_t x = TvTextWidthN(SmallFont(), ConsoleLine + starts[target], i - starts[target]);
        const int32_t bestX = TvTextWidthN(SmallFont(), ConsoleLine + starts[target], best - starts[target]);
        if (std::abs(x - column) < std::abs(bestX - column)) best = i;
    }
    SetCaret(best);
    return true;
}

// The shortest registered name that the typed line begins (the first found
// among equal lengths) becomes the line.
void CompleteCommand() {
    const size_t typed = std::strlen(ConsoleLine);
    const ConsoleCommand* best = nullptr;
    TvForEachCommand([&](const ConsoleCommand& command) {
        if (command.Name.size() < typed) return;
        for (size_t i = 0; i < typed; ++i)
            if (NameLower(command.Name[i]) != NameLower(ConsoleLine[i])) return;
        if (!best || command.Name.size() < best->Name.size()) best = &command;
    });
    if (best) SetLine(best->Name.c_str());
    SetCaret(LineLength());
}

void InsertText(const char* text) {
    for (; *text != '\0'; ++text) {
        if (LineLength() >= kConsoleLineChars) break;
        TvInsertChar(static_cast<size_t>(ConsoleCaretIndex), ConsoleLine, *text);
        SetCaret(ConsoleCaretIndex + 1);
    }
}

void EditKey(const InputEvent& event) {
    const int32_t length = LineLength();
    switch (event.KeyCode) {
    case kKeyEscape:
        if (length > 0) {
            std::memcpy(stash, ConsoleLine, sizeof stash);
            ConsoleLine[0] = '\0';
            SetCaret(0);
        } else {
            SetLine(stash);
        }
        break;
    case kKeyBackspace:
        if (ConsoleCaretIndex > 0) {
            TvDeleteChar(static_cast<size_t>(ConsoleCaretIndex - 1), ConsoleLine);
            SetCaret(ConsoleCaretIndex - 1);
        }
        break;
    case kKeyTab:
        if (FullConsole) CompleteCommand();
        break;
    case kKeyEnter: TvConsoleSubmitLine(ConsoleLine); break;
    case kKeyHome: SetCaret(0); break;
    case kKeyEnd: SetCaret(length); break;
    case kKeyLeft: SetCaret(std::max(ConsoleCaretIndex - 1, 0)); break;
    case kKeyRight: SetCaret(std::min(ConsoleCaretIndex + 1, length)); break;
    case kKeyDelete: TvDeleteChar(static_cast<size_t>(ConsoleCaretIndex), ConsoleLine); break;
    case kKeyUp:
        if (ConsoleCaretIndex == 0 || !MoveCursorRow(-1)) Recall(-1);
        break;
    case kKeyDown:
        if (ConsoleCaretIndex == length || !MoveCursorRow(1)) Recall(1);
        break;
    default: {
        const char* text = TvKeyToChar(event.KeyCode, event.Modifiers);
        if (*text != '\0')
            InsertText(text);
        else
            TvHandleDebugKey(event.KeyCode, event.Modifiers);
        break;
    }
    }
}

void PrintOnMainThread(const char* text) {
    if (GameOptions.EchoOn == 0) return;
    if (outputSink) outputSink(text);
    const float lineHeight = TvSmallLineHeight();
    const bool full = ConsoleVisibleLines == ConsoleMaxLines ||
                      (State() == kConsolePoppedUp && ConsoleVisibleLines == GameOptions.ConsolePopupMaxLines);
    if (!full) {
        TvConsoleAddLine(text, ConsoleTextColour);
    } else {
        // Would the new line push a line still being read out of view?
        float y = 1.0f - lineHeight;
        if (State() == kConsoleOpen) {
            const int32_t rows = RowsAt(y, text);
            if (rows == 0 || y < 0.0f || scrollback.IsEmpty()) {
                TvConsoleAddPending(text);
                return;
            }
            y -= static_cast<float>(rows) * lineHeight;
        }
        const ConsoleRow* pushedOut = nullptr;
        for (int32_t i = scrollback.Count() - 1; i >= 0; --i) {
            const int32_t rows = RowsAt(y, scrollback.At(i)->text.c_str());
            if (rows == 0) {
                pushedOut = scrollback.At(i);
                break;
            }
            y -= static_cast<float>(rows) * lineHeight;
        }
        const uint32_t age = RealClock.GetTime32() - (pushedOut ? pushedOut->stamp : 0);
        const bool read = !pushedOut || age > static_cast<uint32_t>(CurrentTicksPerSecond()) * 2u ||
                          pending.Count() >= ConsolePendingCap;
        if (read)
            TvConsoleAddLine(text, ConsoleTextColour);
        else
            TvConsoleAddPending(text);
    }

    switch (State()) {
    case kConsoleClosed:
        State() = kConsolePoppedUp;
        TvConsoleToggle();
        State() = kConsolePoppedUp;
        [[fallthrough]];
    case kConsolePoppedUp:
        if (ConsoleVisibleLines < ConsoleMaxLines && ConsoleVisibleLines < GameOptions.ConsolePopupMaxLines) {
            SetVisibleLines(
                std::min({ConsoleVisibleLines + RowsOf(text), ConsoleMaxLines, GameOptions.ConsolePopupMaxLines}));
        }
        break;
    case kConsoleOpen:
        if (ConsoleVisibleLines < ConsoleMaxLines)
            SetVisibleLines(std::min(ConsoleVisibleLines + RowsOf(text) + 1, ConsoleMaxLines));
        break;
    default: break;
    }
}

void SlideToward(float target) {
    if (ConsoleInstantSlide)
        ConsoleSlide = target;
    else if (ConsoleSlide < target)
        ConsoleSlide = std::min(ConsoleSlide + kSlideStep, target);
    else
        ConsoleSlide = std::max(ConsoleSlide - kSlideStep, target);
}

void DrawRows() {
    const float lineHeight = TvSmallLineHeight();
    float y = 1.0f - lineHeight;
    if (State() == kConsoleOpen) {
        const int32_t rows =
            pending.IsEmpty()
                ? TvConsoleDrawText(kRowX, y, ConsoleLine, ConsoleTextColour, kRowFlags | kTextCaret)
                : TvConsoleDrawText(kRowX, y, StringTableLookup(kMorePromptId), ConsoleTextColour, kRowFlags);
        if (rows == 0) return;
        y -= static_cast<float>(rows) * lineHeight;
    }
    for (int32_t i = scrollback.Count() - 1; i >= 0; --i) {
        const ConsoleRow& row = *scrollback.At(i);
        const int32_t rows = TvConsoleDrawText(kRowX, y, row.text.c_str(), row.colour, kRowFlags);
        if (rows == 0) return;
        y -= static_cast<float>(rows) * lineHeight;
    }
}

} // namespace

void TvConsoleWindowPrint(const char* text) {
    if (!text) return;
    PrintOnMainThread(text);
}

void TvSetConsoleOutputSink(void (*sink)(const char*)) { outputSink = sink; }

void TvConsoleAddLine(const char* text, uint32_t colour) {
    scrollback.PushBack({text, colour, RealClock.GetTime32()});
    ConsoleCloseTime = TicksAfter(RealClock.GetTime(), kCloseSeconds);
    recallIndex = 0;
    Trim(scrollback, ConsoleScrollbackCap);
}

void TvConsoleAddPending(const char* text) {
    pending.PushBack({text, ConsoleTextColour, 0});
    Trim(pending, ConsolePendingCap);
}

void TvConsoleShowPending() {
    if (pending.IsEmpty()) return;
    const ConsoleRow row = pending.Front();
    pending.PopFront();
    TvConsoleAddLine(row.text.c_str(), row.colour);
}

void TvConsoleClearScreen() {
    scrollback.Clear();
    recallIndex = 0;
}

void TvConsoleToggle() {
    switch (State()) {
    case kConsoleOpen:
        State() = kConsoleClosed;
        pending.Clear();
        break;
    case kConsoleClosed:
    case kConsolePoppedUp:
        SetCaret(0);
        if (ConsoleSlide == kHidden) SetVisibleLines(State() == kConsolePoppedUp ? 0 : 1);
        State() = kConsoleOpen;
        break;
    default: break;
    }
}

bool TvConsoleCloseOnClick(int32_t mouseY) {
    if (static_cast<float>(mouseY) / ScreenGeometry.ScreenHeightF >= ConsoleSlide + 1.0f) return false;
    State() = kConsoleClosed;
    return true;
}

void TvConsoleKey(const InputEvent& event) {
    if (event.Message != kInputKeyDown) return;
    if (!pending.IsEmpty()) {
        for (int32_t i = 0; i < ConsoleVisibleLines; ++i) TvConsoleShowPending();
        return;
    }
    if (event.KeyCode == ConsoleKeyCode && StripShiftFlag(event.Modifiers) == StripShiftFlag(ConsoleKeyModifiers)) {
        if (ConsoleEnabled) TvConsoleToggle();
        return;
    }
    EditKey(event);
    if (LineLength() > kConsoleLineChars) ConsoleLine[kConsoleLineChars] = '\0';
    SetCaret(std::min(ConsoleCaretIndex, LineLength()));
}

void TvConsoleSubmitLine(const char* text) {
    if (text != ConsoleLine) SetLine(text);
    TvConsoleAddLine(ConsoleLine, kConsoleInputColour);
    SetCaret(0);
    const int32_t visible = ConsoleVisibleLines;
    const int32_t level = CommandLevel;
    CommandLevel = 3;
    TvDispatchCommand();
    CommandLevel = level;
    ConsoleLine[0] = '\0';
    if (ConsoleVisibleLines == visible && ConsoleVisibleLines < ConsoleMaxLines) SetVisibleLines(visible + 1);
}

void TvConsoleFrame(uint64_t now) {
    TvPrintHandedOverLines();
    switch (State()) {
    case kConsoleNeverShown: return;
    case kConsoleClosed: SlideToward(kHidden); break;
    case kConsolePoppedUp:
        if (now > ConsoleCloseTime) State() = kConsoleClosed;
        SlideToward(ConsoleSlideTarget);
        break;
    default: SlideToward(ConsoleSlideTarget); break;
    }
    if (ConsoleSlide <= kHidden) return;
    DrawRows();
}

int32_t TvConsoleScrollbackCount() { return scrollback.Count(); }
const char* TvConsoleScrollbackLine(int32_t index) { return scrollback.At(index)->text.c_str(); }
uint32_t TvConsoleScrollbackColour(int32_t index) { return scrollback.At(index)->colour; }
int32_t TvConsolePendingCount() { return pending.Count(); }
const char* TvConsolePendingLine(int32_t index) { return pending.At(index)->text.c_str(); }
const char* TvConsoleInputLine() { return ConsoleLine; }
int32_t TvConsoleCursor() { return ConsoleCaretIndex; }

void TvConsoleWindowReset() {
    State() = kConsoleClosed;
    ConsoleSlide = kHidden;
    pending.Clear();
    TvConsoleClearScreen();
}

void TvConsoleWindowClear() {
    TvConsoleWindowReset();
    TvDropHandedOverLines();
    ConsoleScrollbackCap = 20;
    ConsolePendingCap = 20;
    ConsoleVisibleLines = 1;
    ConsoleMaxLines = 14;
    ConsoleSlideTarget = kHidden;
    ConsoleInstantSlide = 0;
    ConsoleCloseTime = 0;
    ConsoleTextColour = kConsoleDefaultTextColour;
    ConsoleCaretColour = kConsoleDefaultCursorColour;
    ConsoleEnabled = 1;
    FullConsole = 0;
    ConsoleKeyCode = 41;
    ConsoleKeyModifiers = 0;
    SetCaret(0);
    stash[0] = '\0';
    outputSink = nullptr;
}
