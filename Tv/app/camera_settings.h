#pragma once
// The overhead camera's limits that a level sets when it loads: the plane the
// camera moves over, its largest zoom and the range of its focus height.
// Main thread only.

#include "core/maths.h"

extern Real CameraMaxZoom;                  // 80 until a level or a command sets it
extern Real FocusMinHeight, FocusMaxHeight; // 0 and 100 until a level sets them
extern Vector3 CameraPlanePoint, CameraPlaneNormal;
