#pragma once
// Drawing and presenting one frame: the scene's draw list, the particles and
// the queued text between the callers' overlay callbacks, then the present
// and the frame clock. Main thread only.

#include <cstdint>

#include "platform/d3d/results.h"

class AwCamera;

// The end-of-frame routine's overlay callbacks: the first runs after the 3D
// scene, the second after the particles (both may be null).
using AwFrameCallback = void (*)();

// Draws and presents one frame; nothing while the device is not ready.
void AwRenderFrame(AwCamera* camera, AwFrameCallback first, AwFrameCallback second);
// Presents the back buffer without drawing.
void AwPresent();
// Opens the scene once per frame; a failure is reported and the scene counts as open.
void AwBeginScene();
// Clears target and Z-buffer to AwClearColour, Z 1, stencil 0.
void AwClear();
// Clears and flips every buffer of the flip chain; the result of the last flip.
plat::HResult AwClearAllBuffers();
// Waits for pending blits and flips (only while the device is ready).
void AwWaitForFlip();
// LastFrameTicks = the real-clock time since the previous step (never 0).
void AwTickFrameClock();
