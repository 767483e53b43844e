#pragma once
// WAIT, REAL WAIT and REAL WAIT OR CLICK: the deadlines that hold the batch
// queue. They live in GameOptions.WaitState (saved with games), read and
// written there field by field: WAIT deadline (u64 ticks of the game clock,
// or of the server clock while a server thread runs here; 0 none), REAL WAIT
// deadline (u64 RealClock ticks; 0 none), or-click flag (u8), clicked flag
// (u8). Main thread only.

#include <cstdint>

struct WaitDeadlines {
    uint64_t wait = 0;
    uint64_t realWait = 0;
    uint8_t orClick = 0;
    uint8_t clicked = 0;
};

WaitDeadlines TvGetWaits();
void TvSetWaits(const WaitDeadlines& waits);
// Zeroes the 18 bytes: no wait.
void TvClearWaits();

// The time WAIT counts in: the server clock while a server thread runs in
// this process, else the game clock.
uint64_t TvWaitClockNow();

// True when no WAIT or REAL WAIT holds the queue; clears a deadline that has
// passed (and a REAL WAIT OR CLICK that was clicked).
bool TvWaitsPassed();
// True while a WAIT or REAL WAIT would hold the queue (its deadline not yet
// reached, a REAL WAIT OR CLICK not yet clicked); changes nothing.
bool TvWaitsPending();

// When a REAL WAIT OR CLICK is pending and not yet clicked, marks it clicked
// and answers true (the input routing then consumes the Tab key); otherwise false.
bool TvRealWaitClicked();

// Handlers. WAIT seconds (default 1): that many seconds of game (server)
// time. REAL WAIT seconds (default 1): real seconds. REAL WAIT OR CLICK
// seconds: real seconds, ended early by TvRealWaitClicked.
uint8_t TvCmdWait();
uint8_t TvCmdRealWait();
uint8_t TvCmdRealWaitOrClick();
