#pragma once
// A timed caption at a client object's place on the screen.

#include <cstdint>

class ClientObject;

// The caption of `kind` (box width 0.4) at the object's screen rectangle: x
// its left edge, y its bottom edge as fractions of the screen; the screen's
// middle when the object was not on screen in the last frame.
void TvShowObjectCaption(const ClientObject& object, const char* text, int32_t kind);
