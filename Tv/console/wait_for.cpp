#include "Tv/console/wait_for.h"

bool TvIsWaitForPending() { return false; }

bool TvPollWaitFor() { return false; }

void TvClearWaitFor() {}
