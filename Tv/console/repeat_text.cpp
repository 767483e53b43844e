#include "Tv/console/repeat_text.h"

#include "core/bytes.h"

void TvSetRepeatText(const char*) {}
void TvRepeatTextTick() {}
void TvStopRepeatText() {}
void TvClearRepeatText() {}
bool TvIsRepeatTextActive() { return false; }
const char* TvRepeatText() { return ""; }
uint64_t TvRepeatTextNextTime() { return 0; }
void TvSetRepeatTextInterval(float) {}
bool TvSaveRepeatText(ByteWriter&) { return true; }
bool TvLoadRepeatText(ByteReader&) { return false; }
uint8_t TvCmdRepeatText() { return 1; }
