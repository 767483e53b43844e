#include "Tv/console/repeat_text.h"

#include <cstring>
#include <string>

#include "Tv/console/console_commands.h"
#include "Tv/console/console_hooks.h"
#include "Tv/console/line_parser.h"
#include "Tv/console/training_commands.h"
#include "core/bytes.h"
#include "core/clock.h"

namespace {

constexpr uint32_t kLongestText = 249;

struct RepeatTextState {
    uint8_t active = 0;
    std::string text;
    uint64_t nextTime = 0; // RealClock ticks
    float interval = kRepeatTextDefaultInterval;
};
RepeatTextState repeat;

uint64_t OneIntervalFromNow() { return TicksAfter(RealClock.GetTime(), repeat.interval); }

} // namespace

void TvSetRepeatText(const char* text) {
    repeat.text.assign(text, strnlen(text, kLongestText));
    repeat.active = 1;
    repeat.nextTime = OneIntervalFromNow();
}

void TvRepeatTextTick() {
    if (!repeat.active || RealClock.GetTime() < repeat.nextTime) return;
    TvCmdHideConsole();
    TvConsolePrint(repeat.text.c_str());
    repeat.nextTime = OneIntervalFromNow();
}

void TvStopRepeatText() { repeat.active = 0; }

void TvClearRepeatText() { repeat = RepeatTextState{}; }

bool TvIsRepeatTextActive() { return repeat.active != 0; }
const char* TvRepeatText() { return repeat.text.c_str(); }
uint64_t TvRepeatTextNextTime() { return repeat.nextTime; }
void TvSetRepeatTextInterval(float seconds) { repeat.interval = seconds; }

bool TvSaveRepeatText(ByteWriter& out) {
    out.U8(repeat.active);
    if (!repeat.active) return true;
    out.U32(static_cast<uint32_t>(repeat.text.size()));
    out.Bytes(repeat.text.data(), repeat.text.size());
    out.U64(repeat.nextTime);
    return true;
}

bool TvLoadRepeatText(ByteReader& in) {
    uint8_t active = 0;
    uint32_t length = 0;
    uint64_t nextTime = 0;
    std::string text;
    bool ok = in.U8(active);
    if (ok && active) {
        ok = in.U32(length) && length <= kLongestText;
        if (ok) {
            text.resize(length);
            ok = in.Bytes(text.data(), length) && in.U64(nextTime);
        }
    }
    const float interval = repeat.interval;
    TvClearRepeatText();
    repeat.interval = interval;
    if (!ok) return false;
    repeat.active = active;
    repeat.text = text;
    // The stored time is a tick of the saving run, whose clock started elsewhere.
    const uint64_t latest = OneIntervalFromNow();
    repeat.nextTime = active && nextTime > latest ? latest : nextTime;
    return true;
}

uint8_t TvCmdRepeatText() {
    if (const char* text = TvTrainingText(TvParseInt(-1))) TvSetRepeatText(text);
    return 1;
}
