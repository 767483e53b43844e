#pragma once
// The repeating text: a training hint that a script sets before it waits for
// the player. While the wait is unmet the batch runner ticks it, and every
// interval (25 s of RealClock) it clears the console and prints the hint
// again. Main thread only.

#include <cstdint>

class ByteReader;
class ByteWriter;

constexpr float kRepeatTextDefaultInterval = 25.0f;

// Copies at most 249 characters, activates it, first repeat one interval from now.
void TvSetRepeatText(const char* text);
// When active and due: hides the console (clearing it), prints the text,
// next repeat one interval later.
void TvRepeatTextTick();
// Deactivates it; the text stays.
void TvStopRepeatText();
// Flag, next time and text cleared, interval back to 25 s (level unload; the
// module's reset for tests and shutdown).
void TvClearRepeatText();
bool TvIsRepeatTextActive();
const char* TvRepeatText();
uint64_t TvRepeatTextNextTime(); // RealClock ticks
void TvSetRepeatTextInterval(float seconds);

// The saved-game block: active byte; when active a u32 length below 250, the
// text without terminator and the u64 next time. Write errors answer false.
bool TvSaveRepeatText(ByteWriter& out);
// Reads the block. A next time more than one interval ahead of now (a tick of
// the saving run) becomes now plus one interval. A short read or a length of
// 250 or more clears the repeating text and answers false.
bool TvLoadRepeatText(ByteReader& in);

// REPTXT <number>: the training text of that number in the current training
// area becomes the repeating text; no such text changes nothing.
uint8_t TvCmdRepeatText();
