#pragma once
// Making a camera current on the device. The application shell owns the
// notion of the current camera and installs its own switch at start-up; until
// then the engine's switch below does the same work.

class AwCamera;

// Returns the camera that was current before; does nothing when the camera
// already is current; a null camera is recorded without touching the device.
using AwCameraSwitch = AwCamera* (*)(AwCamera* camera);
extern AwCameraSwitch AwCameraSwitchHook;

// Through the installed switch.
AwCamera* AwSetCurrentCamera(AwCamera* camera);

// The engine's switch: records the camera as AwCurrentCamera and applies its
// viewport and transforms.
AwCamera* AwApplyCurrentCamera(AwCamera* camera);
