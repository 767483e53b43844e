#include "Tv/console/batch.h"

bool TvBatchReadFile(const char*) { return false; }
void TvBatchAppend(const char*) {}
bool TvBatchIsEmpty() { return true; }
int32_t TvBatchCount() { return 0; }
bool TvBatchRunNext() { return false; }
void TvBatchDrain() {}
bool TvBatchWaitPending() { return false; }
void TvBatchReset() {}
