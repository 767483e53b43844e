#pragma once
// The game's mouse pointer: a 3D model drawn over the scene with a camera and
// a light set of its own. The interface chooses the model, input handling
// moves it to the mouse position, and the end of the frame queues it first.
// Main thread only.
//
// The model is placed in the cursor camera's space: x = pixel x / screen
// width, y = 0.75 x pixel y / screen height + 0.125, z = 0.

#include <cstdint>

#include "core/matrix.h"

class AwCamera;
class AwModel;
class AwObject;

// A new cursor object made from the model node (null removes the cursor).
// The camera's depth range is fitted to the model's bounds, so the whole
// model always lies inside it.
void AwSetCursorModel(AwModel* node);
void AwSetCursorPosition(int32_t x, int32_t y);
void AwGetCursorPosition(int32_t& x, int32_t& y);
void AwSetCursorOrientation(const Quaternion& orientation);
// Refits the pixel scales to the screen (after a display-mode change).
void AwUpdateCursorScale();
AwCamera* AwGetCursorCamera();
// Hides nest: each hide needs a show. A show with no hide outstanding leaves
// no cursor until the next model is set.
void AwHideCursor();
void AwShowCursor();
// Plays sequence n looping whenever no one-shot runs; false when it did not start now.
bool AwSetCursorIdleSequence(int32_t n);
// Plays sequence n once; *done (when given) becomes 1 when it ends, at once
// without a cursor. A relative sequence plays layered over the idle loop (and
// only when done is given); any other replaces the loop, which comes back
// after it.
void AwPlayCursorSequence(int32_t n, uint8_t* done);
// Queues the cursor object for drawing (once per frame, before the draw
// lists) and returns it to its idle loop when a one-shot has ended.
void AwUpdateCursor();
// Puts the cursor, and the system pointer, in the middle of the screen.
void AwCentreCursor();
// The cursor object (null when none or hidden) and the hide nesting.
AwObject* AwCursorObject();
int32_t AwCursorHideCount();
// Releases the cursor objects and leaves the camera list (at exit).
void AwReleaseCursor();
