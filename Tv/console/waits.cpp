#include "Tv/console/waits.h"

#include "Tv/console/line_parser.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_speed.h"
#include "core/bytes.h"
#include "core/clock.h"
#include "core/serverthread.h"

namespace {

// A deadline of 0 means "no wait", so a wait that would end at 0 ends a tick later.
uint64_t Deadline(uint64_t now, float seconds) {
    const uint64_t deadline = TicksAfter(now, seconds);
    return deadline == 0 ? 1 : deadline;
}

bool WaitHolds(const WaitDeadlines& waits) { return waits.wait != 0 && TvWaitClockNow() < waits.wait; }

bool RealWaitHolds(const WaitDeadlines& waits) {
    if (waits.realWait == 0 || (waits.orClick && waits.clicked)) return false;
    return RealClock.GetTime() < waits.realWait;
}

void StartRealWait(bool orClick) {
    WaitDeadlines waits = TvGetWaits();
    waits.realWait = Deadline(RealClock.GetTime(), TvParseFloat(1.0f));
    waits.orClick = orClick ? 1 : 0;
    waits.clicked = 0;
    TvSetWaits(waits);
}

} // namespace

WaitDeadlines TvGetWaits() {
    ByteReader in(GameOptions.WaitState, kWaitStateSize);
    WaitDeadlines waits;
    in.U64(waits.wait);
    in.U64(waits.realWait);
    in.U8(waits.orClick);
    in.U8(waits.clicked);
    return waits;
}

void TvSetWaits(const WaitDeadlines& waits) {
    ByteWriter out;
    out.U64(waits.wait);
    out.U64(waits.realWait);
    out.U8(waits.orClick);
    out.U8(waits.clicked);
    std::copy(out.bytes().begin(), out.bytes().end(), GameOptions.WaitState);
}

void TvClearWaits() { TvSetWaits({}); }

uint64_t TvWaitClockNow() { return TvIsServerRunning() ? TvGetServerTime() : GameClock.GetTime(); }

bool TvWaitsPassed() {
    WaitDeadlines waits = TvGetWaits();
    if (WaitHolds(waits)) return false;
    waits.wait = 0;
    const bool realHolds = RealWaitHolds(waits);
    if (!realHolds) waits.realWait = waits.orClick = waits.clicked = 0;
    TvSetWaits(waits);
    return !realHolds;
}

bool TvWaitsPending() {
    const WaitDeadlines waits = TvGetWaits();
    return WaitHolds(waits) || RealWaitHolds(waits);
}

bool TvRealWaitClicked() {
    WaitDeadlines waits = TvGetWaits();
    if (waits.realWait == 0 || !waits.orClick || waits.clicked) return false;
    waits.clicked = 1;
    TvSetWaits(waits);
    return true;
}

uint8_t TvCmdWait() {
    WaitDeadlines waits = TvGetWaits();
    waits.wait = Deadline(TvWaitClockNow(), TvParseFloat(1.0f));
    waits.orClick = 0;
    TvSetWaits(waits);
    return 1;
}

uint8_t TvCmdRealWait() {
    StartRealWait(false);
    return 1;
}

uint8_t TvCmdRealWaitOrClick() {
    StartRealWait(true);
    return 1;
}
