#pragma once
// Captions: timed messages drawn over the game (subtitles, pickup notices,
// status texts, briefing lines). Each lasts its text's length / 7 seconds of
// GameClock; captions of one kind (0..4, chosen by the caller) queue behind
// each other, a kind-4 caption made while one exists never shows, and
// captions of other kinds that would overlap on screen move apart.
// Main thread only.

#include <cstdint>

#include "core/list.h"

constexpr uint32_t kCaptionColour = 0xFFCCCCD6;
constexpr int32_t kCaptionKindSubtitle = 2; // cutscene subtitles
constexpr int32_t kCaptionKindSingle = 4;   // never queues

class Caption {
public:
    // Boxes the text at (x, y) of the given width inside the screen, queues
    // it behind the captions of its kind, moves it clear of other kinds'
    // overlapping captions, plays the caption sound (not during a cutscene)
    // and appends it to CaptionList, which owns it.
    Caption(float x, float y, const char* text, int32_t kind, float width);
    virtual ~Caption();
    Caption(const Caption&) = delete;
    Caption& operator=(const Caption&) = delete;

    // Letters then appear one at a time (TypewriterRate a second).
    void SetTypewriter(bool on) { typewriter = on ? 1 : 0; }
    // Queues the text for drawing in SmallFont (the typewriter's letters so far).
    virtual void Draw(bool typewriterMode);

    float left = 0.0f, y = 0.0f, right = 0.0f; // the box; y of the bottom row
    uint8_t typewriter = 0;
    char* text = nullptr;
    uint64_t endTime = 0, startTime = 0; // GameClock ticks
    int32_t kind = 0;
};

extern List<Caption*> CaptionList;
extern float TypewriterRate; // 25 letters a second

// Makes a caption (the console hook's caption handler).
void TvMakeCaption(float x, float y, const char* text, int32_t kind, float width);
// Every frame in the HUD's place: per kind, deletes the expired first
// captions and draws the first live one.
void TvDrawCaptions();
void TvRemoveCaptionsOfKind(int32_t kind);
bool TvHasCaptionOfKind(int32_t kind);
// Deletes every caption (also the module's reset for tests and shutdown).
void TvClearCaptions();
