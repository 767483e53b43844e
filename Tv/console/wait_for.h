#pragma once
// The WAIT FOR condition the batch runner polls. Until the condition engine
// exists nothing is ever pending. Main thread only.

// True while a WAIT FOR condition is armed.
bool TvIsWaitForPending();
// Tests the pending condition; true (and cleared) when it holds.
bool TvPollWaitFor();
// Forgets the pending condition.
void TvClearWaitFor();
