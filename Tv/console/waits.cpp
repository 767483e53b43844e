#include "Tv/console/waits.h"

WaitDeadlines TvGetWaits() { return {}; }
void TvSetWaits(const WaitDeadlines&) {}
void TvClearWaits() {}
uint64_t TvWaitClockNow() { return 0; }
bool TvWaitsPassed() { return true; }
bool TvWaitsPending() { return false; }
bool TvRealWaitClicked() { return false; }
uint8_t TvCmdWait() { return 1; }
uint8_t TvCmdRealWait() { return 1; }
uint8_t TvCmdRealWaitOrClick() { return 1; }
